#include "app/TextReplace.h"

#include <cassert>

namespace pictova {

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    assert(!what.empty());
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(what, pos)) != std::string_view::npos;
         pos = hit + what.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(with);
    }
    out.append(text.substr(pos));
    return out;
}

std::string
ReplacePlaceholders(std::string_view text,
                    const std::vector<std::pair<std::string_view, std::string>>& replacements) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        bool replaced = false;
        for (const auto& [placeholder, value] : replacements) {
            assert(!placeholder.empty());
            if (text.substr(pos, placeholder.size()) == placeholder) {
                out.append(value);
                pos += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[pos++];
    }
    return out;
}

} // namespace pictova
