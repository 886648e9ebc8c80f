#pragma once
// Texts read from the language file lng/Deutsch.lng beside the program: the
// file-type names of two file dialogs ([GUI] Audio, SWF), the default output
// folder name ([GUI] DefaultDir) and the messages of the output checks
// ([Messages] OutDirNExist, CantCreateOutDir, ConfOverwr, with "%1%" for the
// folder or file).
//
// Encoding: the file is single-byte Windows-1252 text, as language files have
// always been; texts are handed out as UTF-8. A file that starts with a UTF-8
// byte order mark or is valid UTF-8 throughout is taken as UTF-8, so a file
// saved by a current editor works too (German 1252 text with umlauts is never
// valid UTF-8, so the two cannot be mistaken for each other).

#include "app/Messages.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace pictova {

class TSettings;

inline constexpr std::string_view kLanguageName = "Deutsch";

// programFolder / "lng" / "Deutsch.lng".
std::filesystem::path LanguageFile(const std::filesystem::path& programFolder);

// The bytes of a language file as UTF-8 (see above).
std::string DecodeLanguageText(std::string_view bytes);

class TLanguage {
public:
    // report shows the message for a missing text; it may be empty.
    TLanguage(std::filesystem::path programFolder, TShowMessage report);

    // The text of the key. When it is empty (key or file missing) the
    // message "LNG ERR at <key>" is shown and the empty text is the result.
    std::string GetLangString(std::string_view section, std::string_view key) const;
    // The same with every "%1%" replaced by arg.
    std::string GetLangString(std::string_view section, std::string_view key,
                              std::string_view arg) const;

private:
    std::filesystem::path File;
    TShowMessage Report;
};

// The filters of the own-music open dialog and the movie save dialog, in the
// "name|patterns" form: the language's file-type name and the patterns.
std::string AudioDialogFilter(const TLanguage& language); // "… (*.mp3, *.wav)|*.mp3;*.wav"
std::string MovieDialogFilter(const TLanguage& language); // "… (*.swf)|*.swf"

// Stores [Main] Language = "Deutsch" in the settings (called when the
// overwrite box is shown; the window name is not used). A failed write is
// dropped: the value is read by nothing and must not stop the question.
void ApplyLanguage(std::string_view windowName, TSettings& settings);

} // namespace pictova
