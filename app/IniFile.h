#pragma once
// INI text as the settings and language files use it: "[Section]" lines and
// "Key=Value" lines. Reading follows the usual profile-file rules: section
// and key names match without regard to ASCII case, names and values are
// trimmed, a value in matching quotes loses them, lines starting with ';'
// are comments, and the first match wins. Writing changes only the line of
// the key (or adds it), so comments and the order of the file survive.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {

class TIniText {
public:
    TIniText() = default;
    explicit TIniText(std::string_view text);

    // Nothing when the section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // A decimal integer (optional sign); anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

    // Replaces the key's value, or adds the key at the end of its section,
    // or adds the section at the end. Names and values must not contain line
    // breaks (std::invalid_argument).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The lines, each ended by the line break the text used (LF by default).
    std::string Text() const;

private:
    std::vector<std::string> Lines;
    std::string LineBreak = "\n";
};

// The file's text; a missing or unreadable file reads as empty, so every key
// takes its default.
std::string ReadIniFileBytes(const std::filesystem::path& file);

} // namespace pictova
