#pragma once
// The texts a user reads beyond the few the language file always had: the
// messages made from the library's typed errors and the command line's
// reports. Each has a key in the language file (lng/<language>.lng) and a
// built-in German text, used when the file lacks the key, so that a new
// language is only a file and a missing key never leaves a message empty.

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {

class TLanguage;

struct TBuiltInText {
    std::string_view Section;
    std::string_view Key;
    std::string_view Text; // German, UTF-8; "%1%", "%2%" … for the values
};

// Every text with a built-in German default.
const std::vector<TBuiltInText>& BuiltInTexts();

// The built-in German text of the key, or the empty text when there is none.
std::string_view BuiltInText(std::string_view section, std::string_view key);

// text with "%1%", "%2%" … replaced by args[0], args[1] …, in one pass.
std::string FormatText(std::string_view text, const std::vector<std::string>& args);

// The built-in German text of the key with its values, for code below the
// front ends that needs a text before any language file is known.
std::string BuiltInText(std::string_view section, std::string_view key,
                        const std::vector<std::string>& args);

// The message the user reads for an error: worded from the fields of the
// program's typed errors in the language; any other error gives its what().
std::string UserMessage(const std::exception& error, const TLanguage& language);

} // namespace pictova
