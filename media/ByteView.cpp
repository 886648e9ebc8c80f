#include "media/ByteView.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace pictova {

TBytes SubBytes(TBytes data, size_t offset, size_t count) {
    if (offset >= data.size())
        return {};
    return data.subspan(offset, std::min(count, data.size() - offset));
}

bool HasChars(TBytes data, size_t offset, std::string_view text) {
    if (offset > data.size() || data.size() - offset < text.size())
        return false;
    return std::memcmp(data.data() + offset, text.data(), text.size()) == 0;
}

uint16_t ReadLE16(TBytes data, size_t offset) {
    assert(offset + 2 <= data.size());
    return uint16_t(data[offset] | data[offset + 1] << 8);
}

uint32_t ReadLE32(TBytes data, size_t offset) {
    assert(offset + 4 <= data.size());
    return uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 |
           uint32_t(data[offset + 2]) << 16 | uint32_t(data[offset + 3]) << 24;
}

uint16_t ReadBE16(TBytes data, size_t offset) {
    assert(offset + 2 <= data.size());
    return uint16_t(data[offset] << 8 | data[offset + 1]);
}

uint32_t ReadBE32(TBytes data, size_t offset) {
    assert(offset + 4 <= data.size());
    return uint32_t(data[offset]) << 24 | uint32_t(data[offset + 1]) << 16 |
           uint32_t(data[offset + 2]) << 8 | uint32_t(data[offset + 3]);
}

} // namespace pictova
