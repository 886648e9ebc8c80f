#include "app/Language.h"

#include "app/IniFile.h"
#include "app/Settings.h"
#include "app/TextReplace.h"
#include "platform/CodePage.h"

#include <exception>
#include <utility>

namespace pictova {

std::filesystem::path LanguageFile(const std::filesystem::path& programFolder) {
    return programFolder / "lng" / (std::string(kLanguageName) + ".lng");
}

std::string DecodeLanguageText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (IsUtf8(bytes, TUtf8Check::Strict))
        return std::string(bytes);
    return AnsiToUtf8(bytes);
}

TLanguage::TLanguage(std::filesystem::path programFolder, TShowMessage report)
    : File(LanguageFile(programFolder)), Report(std::move(report)) {}

std::string TLanguage::GetLangString(std::string_view section, std::string_view key) const {
    const TIniText ini(DecodeLanguageText(ReadIniFileBytes(File)));
    std::string text = ini.ReadString(section, key, "");
    if (text.empty() && Report)
        Report("LNG ERR at " + std::string(key), TMessageKind::Plain);
    return text;
}

std::string TLanguage::GetLangString(std::string_view section, std::string_view key,
                                     std::string_view arg) const {
    return ReplaceAll(GetLangString(section, key), "%1%", arg);
}

std::string AudioDialogFilter(const TLanguage& language) {
    return language.GetLangString("GUI", "Audio") + " (*.mp3, *.wav)|*.mp3;*.wav";
}

std::string MovieDialogFilter(const TLanguage& language) {
    return language.GetLangString("GUI", "SWF") + " (*.swf)|*.swf";
}

void ApplyLanguage(std::string_view /*windowName*/, TSettings& settings) {
    try {
        settings.WriteString("Main", "Language", kLanguageName);
    } catch (const std::exception&) {
        // Nothing reads the value; the question it accompanies matters more.
    }
}

} // namespace pictova
