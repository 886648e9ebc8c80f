#include "app/Version.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

namespace pictova {

namespace {

// The four 16-bit words of a file version.
std::optional<std::array<unsigned, 4>> ParseVersion(std::string_view text) {
    std::array<unsigned, 4> numbers{};
    std::size_t count = 0;
    while (true) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (count == numbers.size() || part.empty() || error != std::errc() ||
            end != part.data() + part.size() || value > 0xFFFF)
            return std::nullopt;
        numbers[count++] = value;
        if (dot == std::string_view::npos)
            return numbers;
        text.remove_prefix(dot + 1);
    }
}

} // namespace

std::string FormatVersionString(std::string_view version, TVersionDigits digits) {
    const auto numbers = ParseVersion(version);
    if (!numbers)
        return "0";
    const auto [a, b, c, d] = *numbers;
    char buffer[32];
    if (digits == TVersionDigits::Four)
        std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", a, b, c, d);
    else
        std::snprintf(buffer, sizeof buffer, "%u.%u.%u", a, b, c);
    std::string text = buffer;
    // Looked for by position: with one-digit a and b, characters 4 to 7 are
    // ".0.0" exactly when c and d are 0. Longer texts may keep a zero but
    // never lose a number that is not 0.
    if (text.size() >= 4 && text.substr(3, 4) == ".0.0")
        text.erase(text.size() - 4);
    else if (text.ends_with(".0"))
        text.erase(text.size() - 2);
    return text;
}

std::string GetVersionString(TVersionDigits digits) {
#ifdef PICTOVA_VERSION
    return FormatVersionString(PICTOVA_VERSION, digits);
#else
    return FormatVersionString("", digits);
#endif
}

} // namespace pictova
