#pragma once
// Test-only SWF reader: header (inflating CWS files) and the flat tag list,
// so tests can assert structure without trusting the writer's own numbers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace pictova::test {

struct WalkedTag {
    uint16_t Code = 0;
    uint32_t Length = 0;
    bool LongHeader = false;
    size_t Offset = 0; // of the tag header within the uncompressed file
    std::string Body;
};

struct WalkedRect {
    int32_t Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    unsigned Nbits = 0;
};

struct WalkedMovie {
    std::string Signature;
    uint8_t Version = 0;
    uint32_t FileLength = 0;
    WalkedRect FrameSize;
    uint16_t FrameRate = 0; // 8.8
    uint16_t FrameCount = 0;
    size_t HeaderSize = 0;
    std::string Uncompressed; // the whole file as if it were FWS
    std::vector<WalkedTag> Tags;

    std::vector<const WalkedTag*> TagsWithCode(uint16_t code) const;
};

// Throws std::runtime_error when the file is not a well-formed SWF: a tag
// running past the end, a length that disagrees with the file, trailing data.
WalkedMovie WalkSwf(const std::string& fileBytes);
WalkedMovie WalkSwfFile(const std::filesystem::path& path);

// Tags of a tag body that itself holds tags (DefineSprite after its 4 bytes).
std::vector<WalkedTag> WalkTags(const std::string& bytes, size_t offset);

std::string Inflate(const std::string& zlibData);
std::string ReadFileBytes(const std::filesystem::path& path);
std::string Hex(const std::string& bytes);
std::string Bytes(std::initializer_list<int> values);

// MSB-first bit reader over a byte string, for records inside tag bodies.
class BitReader {
public:
    BitReader(std::string bytes, size_t offset = 0) : Data(std::move(bytes)), Pos(offset) {}
    uint32_t Bits(unsigned n);
    int32_t SignedBits(unsigned n);
    // Skips the rest of a partly read byte.
    void Align() {
        if (BitPos) {
            BitPos = 0;
            ++Pos;
        }
    }
    size_t BytePos() const { return Pos + (BitPos ? 1 : 0); }

private:
    std::string Data;
    size_t Pos;
    unsigned BitPos = 0;
};

} // namespace pictova::test
