#pragma once
// The ANSI code page of the texts we handle is Windows-1252. These convert it
// to Unicode the way the Windows conversion service does, and write and read
// UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace pictova {

char16_t AnsiCharToUnicode(unsigned char c);
std::u16string AnsiToUtf16(std::string_view ansi);
std::string AnsiToUtf8(std::string_view ansi);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// How much a UTF-8 reader lets pass. Strict takes only well-formed UTF-8.
// Lenient takes any lead byte followed by its continuation bytes, so
// overlong forms, surrogates and values past U+10FFFF decode as written.
enum class TUtf8Check { Strict, Lenient };

struct TUtf8Char {
    char32_t Code = 0;
    std::size_t Length = 0; // bytes taken; 0 when no character starts here
};

// The character at the front of bytes; Length 0 for a stray continuation or
// invalid lead byte, a sequence cut short, or (strict) a form it refuses.
TUtf8Char DecodeUtf8Char(std::string_view bytes, TUtf8Check check);
// True when bytes are UTF-8 to the end under check.
bool IsUtf8(std::string_view bytes, TUtf8Check check);

} // namespace pictova
