#pragma once
// The ANSI code page of the texts we handle is Windows-1252. These convert it
// to Unicode the way the Windows conversion service does.

#include <string>
#include <string_view>

namespace pictova {

char16_t AnsiCharToUnicode(unsigned char c);
std::u16string AnsiToUtf16(std::string_view ansi);
std::string AnsiToUtf8(std::string_view ansi);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

} // namespace pictova
