#include "app/IniFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pictova {

namespace {

std::string_view Trim(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct TEntry {
    std::string_view Key;
    std::string_view Value;
};

std::optional<TEntry> Entry(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return std::nullopt;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return TEntry{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

void CheckNoLineBreak(std::string_view text, std::string_view what) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw std::invalid_argument("Cannot store a line break in the " + std::string(what) +
                                    " of an INI entry: \"" + std::string(text) + "\"");
}

} // namespace

TIniText::TIniText(std::string_view text) {
    if (text.find("\r\n") != std::string_view::npos)
        LineBreak = "\r\n";
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        Lines.emplace_back(line);
        pos = end + 1;
    }
}

std::optional<std::string> TIniText::Find(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : Lines) {
        if (const auto name = SectionName(line)) {
            if (inSection)
                break; // only the first section of that name is used
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto entry = Entry(line);
        if (!entry || !SameName(entry->Key, key))
            continue;
        std::string_view value = entry->Value;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

std::string TIniText::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    if (auto value = Find(section, key))
        return std::move(*value);
    return std::string(defaultValue);
}

int TIniText::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const auto text = Find(section, key);
    if (!text)
        return defaultValue;
    std::string_view digits = *text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return defaultValue;
    return value;
}

void TIniText::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    CheckNoLineBreak(section, "section name");
    CheckNoLineBreak(key, "key");
    CheckNoLineBreak(value, "value");
    const std::string newLine = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> lastOfSection; // the section line or its last entry
    bool inSection = false;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (const auto name = SectionName(Lines[i])) {
            if (inSection)
                break; // only the first section of that name is used
            inSection = SameName(*name, section);
            if (inSection)
                lastOfSection = i;
            continue;
        }
        if (!inSection)
            continue;
        const auto entry = Entry(Lines[i]);
        if (!entry)
            continue;
        if (SameName(entry->Key, key)) {
            Lines[i] = newLine;
            return;
        }
        lastOfSection = i;
    }
    if (lastOfSection) {
        Lines.insert(Lines.begin() + std::ptrdiff_t(*lastOfSection + 1), newLine);
        return;
    }
    Lines.push_back("[" + std::string(section) + "]");
    Lines.push_back(newLine);
}

std::string TIniText::Text() const {
    std::string out;
    for (const std::string& line : Lines)
        out += line + LineBreak;
    return out;
}

std::string ReadIniFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace pictova
