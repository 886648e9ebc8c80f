#include "swf/SWFReader.h"

namespace pictova {

void TSWFReader::Need(size_t count, const char* what) const {
    if (count > Remaining())
        throw TSWFReadError(std::string(what) + " of " + std::to_string(count) +
                            " bytes at offset " + std::to_string(Position()) + " passes the end (" +
                            std::to_string(Remaining()) + " bytes left)");
}

uint8_t TSWFReader::ReadByte() {
    Need(1, "byte");
    return uint8_t(Data[Pos++]);
}

uint16_t TSWFReader::ReadWord() {
    Need(2, "word");
    const uint16_t w = uint16_t(uint8_t(Data[Pos]) | uint8_t(Data[Pos + 1]) << 8);
    Pos += 2;
    return w;
}

uint32_t TSWFReader::ReadDWord() {
    Need(4, "double word");
    uint32_t d = 0;
    for (int i = 3; i >= 0; --i)
        d = d << 8 | uint8_t(Data[Pos + size_t(i)]);
    Pos += 4;
    return d;
}

std::string TSWFReader::ReadString() {
    const size_t end = Data.find('\0', Pos);
    if (end == std::string_view::npos)
        throw TSWFReadError("string at offset " + std::to_string(Position()) +
                            " has no terminating 0 within the " + std::to_string(Remaining()) +
                            " bytes left");
    std::string s(Data.substr(Pos, end - Pos));
    Pos = end + 1;
    return s;
}

std::string TSWFReader::ReadBytes(size_t count) {
    Need(count, "block");
    std::string s(Data.substr(Pos, count));
    Pos += count;
    return s;
}

void TSWFReader::Skip(size_t count) {
    Need(count, "skip");
    Pos += count;
}

TSWFReader TSWFReader::Split(size_t count) {
    Need(count, "record");
    TSWFReader part(Data.substr(Pos, count), Position());
    Pos += count;
    return part;
}

} // namespace pictova
