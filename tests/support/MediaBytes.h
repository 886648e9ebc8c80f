#pragma once
// Test-only helpers for media readers: fixture loading and byte building, so
// tests can assemble and corrupt files in memory.

#include "media/ByteView.h"
#include "platform/FileBytes.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pictova::test {

using ByteVec = std::vector<uint8_t>;

inline ByteVec AudioFixture(const std::string& name) {
    return pictova::ReadFileBytes(std::string(PICTOVA_TEST_DATA) + "/audio/" + name);
}

inline ByteVec Raw(std::string_view s) {
    return ByteVec(s.begin(), s.end());
}

inline ByteVec Cat(std::initializer_list<ByteVec> parts) {
    ByteVec out;
    for (const ByteVec& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline ByteVec Fill(size_t count, uint8_t value = 0) {
    return ByteVec(count, value);
}

inline ByteVec LE16(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8)};
}

inline ByteVec LE32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

inline ByteVec BE32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// Finds text in bytes, from offset; npos when absent.
inline size_t Find(const ByteVec& bytes, std::string_view text, size_t offset = 0) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return all.find(text, offset);
}

// The frames of an MP3 fixture: after its ID3v2 tag (syncsafe size) and
// before its ID3v1 tag, cut independently of the readers under test.
inline std::string MP3Frames(const std::string& file) {
    size_t start = 0;
    if (file.compare(0, 3, "ID3") == 0)
        start = 10 + (size_t(uint8_t(file[6])) << 21 | size_t(uint8_t(file[7])) << 14 |
                      size_t(uint8_t(file[8])) << 7 | size_t(uint8_t(file[9])));
    size_t end = file.size();
    if (end >= 128 && file.compare(end - 128, 3, "TAG") == 0)
        end -= 128;
    return file.substr(start, end - start);
}

} // namespace pictova::test
