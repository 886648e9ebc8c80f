#pragma once
// Texts read from the language file lng/<language>.lng beside the program
// ("Deutsch" unless the user chose another): the file-type names of two file
// dialogs ([GUI] Audio, SWF), the default output folder name ([GUI]
// DefaultDir), the messages of the output checks ([Messages] OutDirNExist,
// CantCreateOutDir, ConfOverwr, with "%1%" for the folder or file), and the
// error messages and command-line reports of UserTexts.h ([Errors], [CLI]),
// which fall back to their built-in German text when the file lacks them.
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
#include <vector>

namespace pictova {

class TSettings;

inline constexpr std::string_view kLanguageName = "Deutsch";

// programFolder / "lng" / (language + ".lng").
std::filesystem::path LanguageFile(const std::filesystem::path& programFolder,
                                   std::string_view language = kLanguageName);

// The language the settings file names ([Main] Language), "Deutsch" when it
// names none.
std::string SettingsLanguage(const TSettings& settings);

// The bytes of a language file as UTF-8 (see above).
std::string DecodeLanguageText(std::string_view bytes);

class TLanguage {
public:
    // report shows the message for a missing text; it may be empty.
    TLanguage(std::filesystem::path programFolder, TShowMessage report,
              std::string_view language = kLanguageName);

    const std::string& Name() const { return FName; }

    // The text of the key. When it is empty (key or file missing) the
    // message "LNG ERR at <key>" is shown and the empty text is the result.
    std::string GetLangString(std::string_view section, std::string_view key) const;
    // The same with every "%1%" replaced by arg.
    std::string GetLangString(std::string_view section, std::string_view key,
                              std::string_view arg) const;

    // A text of UserTexts.h: the file's text of the key, else the built-in
    // German one, never a report; "%1%", "%2%" … become args[0], args[1] ….
    std::string Text(std::string_view section, std::string_view key,
                     const std::vector<std::string>& args = {}) const;

    // The file's text of the key, else fallback: for the texts whose German
    // defaults are data of a lower layer (effect captions, picture filter).
    std::string TextOr(std::string_view section, std::string_view key,
                       std::string_view fallback) const;

private:
    std::string FName;
    std::filesystem::path File;
    TShowMessage Report;
};

// The filters of the own-music open dialog and the movie save dialog, in the
// "name|patterns" form: the language's file-type name and the patterns.
std::string AudioDialogFilter(const TLanguage& language); // "… (*.mp3, *.wav)|*.mp3;*.wav"
std::string MovieDialogFilter(const TLanguage& language); // "… (*.swf)|*.swf"

// The caption of an effect (0..16) in the effect list: [Effects] Effect<N>,
// the built-in German caption when the file lacks it.
std::string EffectCaptionText(const TLanguage& language, int effect);
// The filter of the add-pictures dialog ([GUI] Pictures), "name|patterns|…".
std::string PictureDialogFilter(const TLanguage& language);

// Stores [Main] Language in the settings: the language they name, "Deutsch"
// when none (called when the overwrite box is shown; the window name is not
// used). A failed write is dropped: it must not stop the question.
void ApplyLanguage(std::string_view windowName, TSettings& settings);

} // namespace pictova
