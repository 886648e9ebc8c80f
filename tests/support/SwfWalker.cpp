#include "tests/support/SwfWalker.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <zlib.h>

namespace pictova::test {

uint32_t BitReader::Bits(unsigned n) {
    uint32_t v = 0;
    for (unsigned i = 0; i < n; ++i) {
        if (Pos >= Data.size())
            throw std::runtime_error("bit field runs past the data");
        const unsigned bit = (uint8_t(Data[Pos]) >> (7 - BitPos)) & 1;
        v = (v << 1) | bit;
        if (++BitPos == 8) {
            BitPos = 0;
            ++Pos;
        }
    }
    return v;
}

int32_t BitReader::SignedBits(unsigned n) {
    if (n == 0)
        return 0;
    const uint32_t v = Bits(n);
    if (n < 32 && (v & (uint32_t{1} << (n - 1))))
        return int32_t(v | ~((uint32_t{1} << n) - 1));
    return int32_t(v);
}

std::string Inflate(const std::string& data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw std::runtime_error("inflateInit failed");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    std::string out;
    char buffer[65536];
    int rc;
    do {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&z);
            throw std::runtime_error("zlib data is corrupt");
        }
        out.append(buffer, sizeof buffer - z.avail_out);
    } while (rc != Z_STREAM_END);
    const bool trailing = z.avail_in != 0;
    inflateEnd(&z);
    if (trailing)
        throw std::runtime_error("data after the end of the zlib stream");
    return out;
}

namespace {

uint32_t Le(const std::string& s, size_t at, int bytes) {
    if (at + size_t(bytes) > s.size())
        throw std::runtime_error("read past the end at offset " + std::to_string(at));
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | uint8_t(s[at + size_t(i)]);
    return v;
}

} // namespace

std::vector<WalkedTag> WalkTags(const std::string& bytes, size_t offset) {
    std::vector<WalkedTag> tags;
    size_t pos = offset;
    while (pos < bytes.size()) {
        WalkedTag tag;
        tag.Offset = pos;
        const uint32_t word = Le(bytes, pos, 2);
        pos += 2;
        tag.Code = uint16_t(word >> 6);
        tag.Length = word & 63;
        if (tag.Length == 63) {
            tag.LongHeader = true;
            tag.Length = Le(bytes, pos, 4);
            pos += 4;
        }
        if (pos + tag.Length > bytes.size())
            throw std::runtime_error("tag " + std::to_string(tag.Code) + " at offset " +
                                     std::to_string(tag.Offset) + " runs past the end");
        tag.Body = bytes.substr(pos, tag.Length);
        pos += tag.Length;
        const bool end = tag.Code == 0;
        tags.push_back(std::move(tag));
        if (end)
            break;
    }
    if (pos != bytes.size())
        throw std::runtime_error("data after the End tag at offset " + std::to_string(pos));
    return tags;
}

WalkedMovie WalkSwf(const std::string& file) {
    if (file.size() < 8)
        throw std::runtime_error("shorter than a SWF header");
    WalkedMovie m;
    m.Signature = file.substr(0, 3);
    m.Version = uint8_t(file[3]);
    m.FileLength = Le(file, 4, 4);
    if (m.Signature == "FWS")
        m.Uncompressed = file;
    else if (m.Signature == "CWS")
        m.Uncompressed = file.substr(0, 8) + Inflate(file.substr(8));
    else
        throw std::runtime_error("unknown signature " + m.Signature);
    if (m.Uncompressed.size() != m.FileLength)
        throw std::runtime_error("file length field " + std::to_string(m.FileLength) + " but " +
                                 std::to_string(m.Uncompressed.size()) + " bytes");
    BitReader bits(m.Uncompressed, 8);
    m.FrameSize.Nbits = bits.Bits(5);
    m.FrameSize.Xmin = bits.SignedBits(m.FrameSize.Nbits);
    m.FrameSize.Xmax = bits.SignedBits(m.FrameSize.Nbits);
    m.FrameSize.Ymin = bits.SignedBits(m.FrameSize.Nbits);
    m.FrameSize.Ymax = bits.SignedBits(m.FrameSize.Nbits);
    size_t pos = bits.BytePos();
    m.FrameRate = uint16_t(Le(m.Uncompressed, pos, 2));
    m.FrameCount = uint16_t(Le(m.Uncompressed, pos + 2, 2));
    m.HeaderSize = pos + 4;
    m.Tags = WalkTags(m.Uncompressed, m.HeaderSize);
    return m;
}

std::vector<const WalkedTag*> WalkedMovie::TagsWithCode(uint16_t code) const {
    std::vector<const WalkedTag*> found;
    for (const WalkedTag& t : Tags)
        if (t.Code == code)
            found.push_back(&t);
    return found;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return std::move(s).str();
}

WalkedMovie WalkSwfFile(const std::filesystem::path& path) {
    return WalkSwf(ReadFileBytes(path));
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ' ';
        out += digits[uint8_t(bytes[i]) >> 4];
        out += digits[uint8_t(bytes[i]) & 15];
    }
    return out;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += char(uint8_t(v));
    return out;
}

} // namespace pictova::test
