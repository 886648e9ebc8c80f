#pragma once
// Placeholder replacement for the language texts and the HTML page.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pictova {

// Every occurrence of what, case-sensitively, left to right; the inserted
// text is not searched again (a value may itself contain the placeholder).
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);

// All placeholders in one pass: at each position the first pair whose
// placeholder starts there is replaced; inserted values are never searched,
// so a value cannot smuggle in a placeholder of a later pair.
std::string
ReplacePlaceholders(std::string_view text,
                    const std::vector<std::pair<std::string_view, std::string>>& replacements);

} // namespace pictova
