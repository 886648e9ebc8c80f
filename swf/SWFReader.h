#pragma once
// TSWFReader: a bounded little-endian reader over bytes of a tag body. It
// never reads past its end; a read that would throws TSWFReadError with the
// offset and the numbers involved.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pictova {

class TSWFReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSWFReader {
public:
    // The bytes are not copied and must outlive the reader. baseOffset is the
    // offset of data[0] within whatever the caller reports offsets against.
    explicit TSWFReader(std::string_view data, size_t baseOffset = 0)
        : Data(data), Base(baseOffset) {}

    // Offset of the next byte, counted like baseOffset.
    size_t Position() const { return Base + Pos; }
    size_t Remaining() const { return Data.size() - Pos; }
    bool AtEnd() const { return Pos == Data.size(); }

    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDWord();
    // Bytes up to a 0 byte, which is consumed and not returned.
    std::string ReadString();
    std::string ReadBytes(size_t count);
    void Skip(size_t count);
    // The next `count` bytes as a reader of their own; this reader moves past them.
    TSWFReader Split(size_t count);

private:
    void Need(size_t count, const char* what) const;

    std::string_view Data;
    size_t Base = 0;
    size_t Pos = 0;
};

} // namespace pictova
