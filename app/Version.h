#pragma once
// The program's version text, from the project version the build defines
// (PICTOVA_VERSION, "a.b.c" or "a.b.c.d"; missing numbers are 0).

#include <string>
#include <string_view>

namespace pictova {

enum class TVersionDigits { Three, Four };

// "a.b.c" or "a.b.c.d"; then a trailing ".0.0" at characters 4 to 7 is
// dropped, or else one trailing ".0" (1.0.0.0 gives "1.0" in either mode,
// 2.1.3.0 gives "2.1.3"). A version that is not up to four dot-separated
// numbers of 0..65535 gives "0", as no version information does.
std::string FormatVersionString(std::string_view version, TVersionDigits digits);

// FormatVersionString(PICTOVA_VERSION, digits).
std::string GetVersionString(TVersionDigits digits);

} // namespace pictova
