#include "app/HtmlPage.h"

#include "app/OutputCheck.h"
#include "app/TextReplace.h"
#include "app/Version.h"
#include "platform/FileBytes.h"
#include "platform/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace pictova {

namespace fs = std::filesystem;

std::string ReadTextFile(const fs::path& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string text;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view line = all.substr(start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (start > 0)
            text += "\r\n";
        text += line;
        start = end + 1;
    }
    return text;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string EncodeUrlPathSegment(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string MakeHtmlPage(std::string_view page, std::string_view fragment, int width, int height,
                         const fs::path& moviePath) {
    const std::string withFragment = ReplaceAll(page, "%SWF_EMBED%", fragment);
    // One pass for the rest, so that a value (the file name above all) is
    // never searched for placeholders itself.
    return ReplacePlaceholders(
        withFragment,
        {
            {"%PAGE_TITLE%", "Pictova"},
            {"%GENERATOR%", "Pictova " + GetVersionString(TVersionDigits::Three) + " (" +
                                std::string(kProductWebAddress) + ")"},
            {"%WIDTH%", std::to_string(width)},
            {"%HEIGHT%", std::to_string(height)},
            {"%FILENAME%", EscapeHtml(EncodeUrlPathSegment(moviePath.filename().string()))},
            {"%CODE_BEGIN%", "HTML-Code zum Einbetten der Pictova beginnt hier."},
            {"%CODE_END%", "HTML-Code zum Einbetten der Pictova endet hier."},
        });
}

fs::path HtmlPagePath(const fs::path& moviePath) {
    fs::path page = moviePath;
    page.replace_extension(".html");
    return page;
}

namespace {

std::string HtmlPageText(const fs::path& programFolder, const fs::path& moviePath, int width,
                         int height) {
    const std::string page = ReadTextFile(programFolder / "data" / "template.html");
    const std::string fragment = ReadTextFile(programFolder / "data" / "swfembed.html");
    return MakeHtmlPage(page, fragment, width, height, moviePath);
}

void SavePage(const fs::path& moviePath, const std::string& text) {
    SaveFileReplacing(HtmlPagePath(moviePath), [&](std::ostream& out) { out << text; });
}

} // namespace

bool WriteHtmlPage(const fs::path& programFolder, const fs::path& moviePath, int width, int height,
                   TOutputCheck& check) {
    const std::string text = HtmlPageText(programFolder, moviePath, width, height);
    if (!check.CheckOutputFile(HtmlPagePath(moviePath)))
        return false;
    SavePage(moviePath, text);
    return true;
}

void WriteHtmlPage(const fs::path& programFolder, const fs::path& moviePath, int width,
                   int height) {
    SavePage(moviePath, HtmlPageText(programFolder, moviePath, width, height));
}

} // namespace pictova
