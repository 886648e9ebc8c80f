#include "app/Language.h"

#include "app/IniFile.h"
#include "app/Settings.h"
#include "app/TextReplace.h"
#include "app/UserTexts.h"
#include "platform/CodePage.h"
#include "show/EffectCaptions.h"
#include "show/SlideShowProject.h"

#include <exception>
#include <utility>

namespace pictova {

std::filesystem::path LanguageFile(const std::filesystem::path& programFolder,
                                   std::string_view language) {
    return programFolder / "lng" / (std::string(language) + ".lng");
}

std::string SettingsLanguage(const TSettings& settings) {
    std::string language = settings.ReadString("Main", "Language", "");
    return language.empty() ? std::string(kLanguageName) : language;
}

std::string DecodeLanguageText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (IsUtf8(bytes, TUtf8Check::Strict))
        return std::string(bytes);
    return AnsiToUtf8(bytes);
}

TLanguage::TLanguage(std::filesystem::path programFolder, TShowMessage report,
                     std::string_view language)
    : FName(language), File(LanguageFile(programFolder, language)), Report(std::move(report)) {}

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

std::string TLanguage::Text(std::string_view section, std::string_view key,
                            const std::vector<std::string>& args) const {
    const TIniText ini(DecodeLanguageText(ReadIniFileBytes(File)));
    std::string text = ini.ReadString(section, key, "");
    if (text.empty())
        text = BuiltInText(section, key);
    return FormatText(text, args);
}

std::string TLanguage::TextOr(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    const TIniText ini(DecodeLanguageText(ReadIniFileBytes(File)));
    std::string text = ini.ReadString(section, key, "");
    return text.empty() ? std::string(fallback) : text;
}

std::string EffectCaptionText(const TLanguage& language, int effect) {
    return language.TextOr("Effects", "Effect" + std::to_string(effect), EffectCaption(effect));
}

std::string PictureDialogFilter(const TLanguage& language) {
    return language.TextOr("GUI", "Pictures", kPictureFileFilter);
}

std::string AudioDialogFilter(const TLanguage& language) {
    return language.GetLangString("GUI", "Audio") + " (*.mp3, *.wav)|*.mp3;*.wav";
}

std::string MovieDialogFilter(const TLanguage& language) {
    return language.GetLangString("GUI", "SWF") + " (*.swf)|*.swf";
}

void ApplyLanguage(std::string_view /*windowName*/, TSettings& settings) {
    try {
        settings.WriteString("Main", "Language", SettingsLanguage(settings));
    } catch (const std::exception&) {
        // Nothing reads the value; the question it accompanies matters more.
    }
}

} // namespace pictova
