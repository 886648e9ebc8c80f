#pragma once
// In-memory file bytes for the media readers: every reader works on a span,
// so tests can hand it a corrupted copy, and reads past its end are refused.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace pictova {

using TBytes = std::span<const uint8_t>;

// Media data or a media file that cannot be used; the message names the file
// or offset and the numbers involved.
class TMediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// At most count bytes of data from offset; empty when offset lies past the end.
TBytes SubBytes(TBytes data, size_t offset, size_t count = SIZE_MAX);

// True when data holds the characters of text at offset (false past the end).
bool HasChars(TBytes data, size_t offset, std::string_view text);

// Fixed-width values; the caller has checked that they lie inside data.
uint16_t ReadLE16(TBytes data, size_t offset);
uint32_t ReadLE32(TBytes data, size_t offset);
uint16_t ReadBE16(TBytes data, size_t offset);
uint32_t ReadBE32(TBytes data, size_t offset);

} // namespace pictova
