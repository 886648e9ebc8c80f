#pragma once
// Test-only packer for expected bit fields: golden bytes are written as a
// list of (value, width) fields, most significant bit first, each line
// naming its field, instead of hand-packed hex.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace pictova::test {

struct BitField {
    int64_t Value;  // the low Width bits are taken (two's complement)
    unsigned Width; // 0 to 32
};

// The fields packed and padded with 0 bits to a whole byte.
inline std::string Pack(std::initializer_list<BitField> fields) {
    std::string out;
    uint32_t acc = 0;
    unsigned pending = 0;
    for (const BitField& f : fields) {
        for (unsigned i = f.Width; i-- > 0;) {
            acc = (acc << 1) | uint32_t((uint64_t(f.Value) >> i) & 1);
            if (++pending == 8) {
                out += char(acc);
                acc = 0;
                pending = 0;
            }
        }
    }
    if (pending > 0)
        out += char(acc << (8 - pending));
    return out;
}

// Little-endian words and dwords, for the byte-aligned parts.
inline std::string U16(uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)};
}
inline std::string U32(uint32_t v) {
    return U16(v & 0xFFFF) + U16(v >> 16);
}

} // namespace pictova::test
