#pragma once
// MD5 message digest and the "$1$" MD5-crypt password hash stored in the
// Protect tag.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pictova {

using TMD5Digest = std::array<uint8_t, 16>;

class TMD5Context {
public:
    TMD5Context() { Init(); }
    void Init();
    void Update(const void* data, size_t length);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    // Returns the digest and wipes the context.
    TMD5Digest Final();

private:
    void Transform(const uint8_t block[64]);

    uint32_t State[4] = {};
    uint64_t BitCount = 0;
    uint8_t Buffer[64] = {};
};

TMD5Digest MD5(std::string_view bytes);
std::string MD5Hex(std::string_view bytes);

// A salt starting with "$1$" loses that prefix; of the rest the first two
// characters are used. With fewer than two, a random salt is drawn.
std::string MD5Crypt(std::string_view password, std::string_view salt);

} // namespace pictova
