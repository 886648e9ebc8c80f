#include "app/DialogFilter.h"

#include <vector>

namespace pictova {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

} // namespace

std::string ToQtFileFilter(std::string_view filter) {
    const std::vector<std::string_view> parts = Split(filter, '|');
    std::string result;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        if (!result.empty())
            result += ";;";
        result += parts[i];
        if (i + 1 >= parts.size())
            break;
        std::string patterns;
        for (std::string_view pattern : Split(parts[i + 1], ';')) {
            if (pattern.empty())
                continue;
            if (!patterns.empty())
                patterns += ' ';
            patterns += pattern;
        }
        result += " (" + patterns + ")";
    }
    return result;
}

} // namespace pictova
