#include "platform/CodePage.h"

namespace pictova {

namespace {

// 0x80-0x9F of Windows-1252; the five unassigned bytes map to the C1
// control of the same value, as the Windows conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

} // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

TUtf8Char DecodeUtf8Char(std::string_view bytes, TUtf8Check check) {
    if (bytes.empty())
        return {};
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    char32_t min = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return {lead, 1};
    if ((lead & 0xE0) == 0xC0)
        length = 2, min = 0x80, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, min = 0x800, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, min = 0x10000, code = lead & 0x07;
    else
        return {};
    if (bytes.size() < length)
        return {};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return {};
        code = code << 6 | (next & 0x3F);
    }
    if (check == TUtf8Check::Strict &&
        (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
        return {};
    return {code, length};
}

bool IsUtf8(std::string_view bytes, TUtf8Check check) {
    while (!bytes.empty()) {
        const TUtf8Char c = DecodeUtf8Char(bytes, check);
        if (c.Length == 0)
            return false;
        bytes.remove_prefix(c.Length);
    }
    return true;
}

char16_t AnsiCharToUnicode(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F)
        return kHighControls[c - 0x80];
    return char16_t(c);
}

std::u16string AnsiToUtf16(std::string_view ansi) {
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        out += AnsiCharToUnicode(static_cast<unsigned char>(c));
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        AppendUtf8(out, AnsiCharToUnicode(static_cast<unsigned char>(c)));
    return out;
}

} // namespace pictova
