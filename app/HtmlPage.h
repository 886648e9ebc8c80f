#pragma once
// The HTML page written beside the movie in a final build, made from the
// templates data/template.html (the page) and data/swfembed.html (the code
// that embeds the movie) in the program folder.
//
// Placeholders (case-sensitive, every occurrence): %SWF_EMBED% (the fragment;
// its own placeholders are replaced too), %PAGE_TITLE%, %GENERATOR%,
// %WIDTH%, %HEIGHT% (pixels), %FILENAME% (the movie's file name, as a
// relative URL: percent-encoded, then escaped for HTML, so that names with
// & < > " ' # ? % or spaces reach the browser intact), %CODE_BEGIN% and
// %CODE_END%.

#include <filesystem>
#include <string>
#include <string_view>

namespace pictova {

class TOutputCheck;

inline constexpr std::string_view kProductWebAddress = "https://pictova.example";

// The file's lines, each followed by CR LF, without the last CR LF (the
// text ends without a line break). Throws EFileError when it cannot be read.
std::string ReadTextFile(const std::filesystem::path& path);

// & < > " ' as character references.
std::string EscapeHtml(std::string_view text);
// Every byte but the unreserved A-Z a-z 0-9 - . _ ~ as %XX (UTF-8 names
// byte by byte).
std::string EncodeUrlPathSegment(std::string_view text);

// The page text from the two templates.
std::string MakeHtmlPage(std::string_view page, std::string_view fragment, int width, int height,
                         const std::filesystem::path& moviePath);

// The movie path with the extension ".html".
std::filesystem::path HtmlPagePath(const std::filesystem::path& moviePath);

// Reads the templates, then writes the page for the movie when
// check.CheckOutputFile(page path) allows it, replacing an existing page
// (through a temporary file, so a failure keeps the old one). False when the
// check refused; throws when a template is missing or the page cannot be
// written.
bool WriteHtmlPage(const std::filesystem::path& programFolder,
                   const std::filesystem::path& moviePath, int width, int height,
                   TOutputCheck& check);
// The same for a page whose output check has passed already.
void WriteHtmlPage(const std::filesystem::path& programFolder,
                   const std::filesystem::path& moviePath, int width, int height);

} // namespace pictova
