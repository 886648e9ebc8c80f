#include "swf/MD5.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace pictova {

namespace {

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr uint8_t kShifts[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, //
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, //
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, //
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, //
};

constexpr char kMagic[] = "$1$";
constexpr char kAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

uint32_t RotateLeft(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

} // namespace

void TMD5Context::Init() {
    State[0] = 0x67452301;
    State[1] = 0xefcdab89;
    State[2] = 0x98badcfe;
    State[3] = 0x10325476;
    BitCount = 0;
    std::memset(Buffer, 0, sizeof Buffer);
}

void TMD5Context::Transform(const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 |
               uint32_t(block[4 * i + 2]) << 16 | uint32_t(block[4 * i + 3]) << 24;
    uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    for (unsigned i = 0; i < 64; ++i) {
        uint32_t f;
        unsigned g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t rotated = RotateLeft(a + f + kSines[i] + x[g], kShifts[i]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    State[0] += a;
    State[1] += b;
    State[2] += c;
    State[3] += d;
}

void TMD5Context::Update(const void* data, size_t length) {
    const auto* in = static_cast<const uint8_t*>(data);
    size_t used = size_t((BitCount / 8) % 64);
    BitCount += uint64_t(length) * 8;
    while (length > 0) {
        const size_t take = std::min(length, 64 - used);
        std::memcpy(Buffer + used, in, take);
        used += take;
        in += take;
        length -= take;
        if (used == 64) {
            Transform(Buffer);
            used = 0;
        }
    }
}

TMD5Digest TMD5Context::Final() {
    const uint64_t bits = BitCount;
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = uint8_t(bits >> (8 * i));
    const uint8_t pad = 0x80;
    Update(&pad, 1);
    const uint8_t zero = 0;
    while ((BitCount / 8) % 64 != 56)
        Update(&zero, 1);
    Update(length, 8);
    TMD5Digest digest;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            digest[size_t(4 * i + j)] = uint8_t(State[i] >> (8 * j));
    std::memset(State, 0, sizeof State);
    std::memset(Buffer, 0, sizeof Buffer);
    BitCount = 0;
    return digest;
}

TMD5Digest MD5(std::string_view bytes) {
    TMD5Context ctx;
    ctx.Update(bytes);
    return ctx.Final();
}

std::string MD5Hex(std::string_view bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : MD5(bytes)) {
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

namespace {

std::string PickSalt(std::string_view salt) {
    if (salt.substr(0, 3) == kMagic)
        salt.remove_prefix(3);
    if (salt.size() >= 2)
        return std::string(salt.substr(0, 2));
    // Uniqueness only matters against precomputed tables; no cryptographic
    // quality is needed.
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, 63);
    return {kAlphabet[pick(random)], kAlphabet[pick(random)]};
}

void Encode(std::string& out, uint32_t v, int count) {
    for (int i = 0; i < count; ++i) {
        out += kAlphabet[v % 64];
        v /= 64;
    }
}

} // namespace

std::string MD5Crypt(std::string_view password, std::string_view saltArg) {
    const std::string salt = PickSalt(saltArg);
    const size_t length = password.size();

    TMD5Context a;
    a.Update(password);
    a.Update(kMagic, 3);
    a.Update(salt);

    TMD5Context bctx;
    bctx.Update(password);
    bctx.Update(salt);
    bctx.Update(password);
    const TMD5Digest b = bctx.Final();

    for (size_t n = length; n > 0; n -= std::min<size_t>(16, n))
        a.Update(b.data(), std::min<size_t>(16, n));
    for (size_t i = length; i > 0; i >>= 1) {
        if (i & 1) {
            const uint8_t zero = 0;
            a.Update(&zero, 1);
        } else {
            a.Update(password.data(), 1);
        }
    }
    TMD5Digest f = a.Final();

    for (int r = 0; r < 1000; ++r) {
        TMD5Context c;
        if (r & 1)
            c.Update(password);
        else
            c.Update(f.data(), f.size());
        if (r % 3 != 0)
            c.Update(salt);
        if (r % 7 != 0)
            c.Update(password);
        if (r & 1)
            c.Update(f.data(), f.size());
        else
            c.Update(password);
        f = c.Final();
    }

    std::string out = std::string(kMagic) + salt + "$";
    const int triples[5][3] = {{0, 6, 12}, {1, 7, 13}, {2, 8, 14}, {3, 9, 15}, {4, 10, 5}};
    for (const auto& t : triples)
        Encode(out,
               uint32_t(f[size_t(t[0])]) << 16 | uint32_t(f[size_t(t[1])]) << 8 | f[size_t(t[2])],
               4);
    Encode(out, f[11], 2);
    return out;
}

} // namespace pictova
