#pragma once
// Random access to the bytes of a file: a whole buffer in memory, or a file
// read piecewise, so that a header behind large metadata costs only the
// reads of what lies on the way.

#include <cstdint>
#include <fstream>
#include <span>

namespace pictova {

class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Fills out from offset; false when the source ends before out is full.
    virtual bool Read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;

    bool ReadByte(std::uint64_t offset, std::uint8_t& value) {
        return Read(offset, std::span<std::uint8_t>(&value, 1));
    }
};

class TMemorySource final : public TByteSource {
public:
    explicit TMemorySource(std::span<const std::uint8_t> data) : Data(data) {}
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> Data;
};

// Reads through a stream the caller has opened in binary mode.
class TFileSource final : public TByteSource {
public:
    explicit TFileSource(std::ifstream& in) : In(in) {}
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::ifstream& In;
    // Where the last read ended, so that reading on needs no seek.
    std::uint64_t At = 0;
    bool Positioned = false;
};

} // namespace pictova
