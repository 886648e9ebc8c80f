#include "app/UserTexts.h"

#include "app/Language.h"
#include "app/Settings.h"
#include "movie/FlashImage.h"
#include "platform/Errors.h"
#include "show/EffectCaptions.h"
#include "show/SlideShowProject.h"

#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;

const fs::path kShippedProgramFolder = fs::path(PICTOVA_TEST_DATA).parent_path().parent_path();

// "Section/Key" -> text (UTF-8) of a shipped language file.
std::map<std::string, std::string> Entries(std::string_view language) {
    const std::string text =
        DecodeLanguageText(test::ReadFileBytes(LanguageFile(kShippedProgramFolder, language)));
    std::map<std::string, std::string> entries;
    std::string section;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find('=');
        EXPECT_NE(eq, std::string::npos) << line;
        const std::string key = section + "/" + line.substr(0, eq);
        EXPECT_FALSE(entries.contains(key)) << "twice: " << key;
        entries[key] = line.substr(eq + 1);
    }
    return entries;
}

std::set<std::string> Placeholders(const std::string& text) {
    std::set<std::string> found;
    for (int n = 1; n <= 9; ++n)
        if (text.find("%" + std::to_string(n) + "%") != std::string::npos)
            found.insert(std::to_string(n));
    return found;
}

// A second language is only a file: it must name every text the first does,
// with the same values to insert, and the built-in German texts are exactly
// those of Deutsch.lng, so a missing key changes nothing for a German user.
TEST(UserTexts, LanguageFilesAndBuiltInTextsAgree) {
    const auto german = Entries("Deutsch");
    const auto english = Entries("English");
    for (const auto& [key, text] : german) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(english.contains(key)) << "missing in English.lng";
        EXPECT_FALSE(english.at(key).empty());
        EXPECT_EQ(Placeholders(english.at(key)), Placeholders(text));
    }
    for (const auto& [key, text] : english)
        EXPECT_TRUE(german.contains(key)) << key << " missing in Deutsch.lng";
    for (const TBuiltInText& text : BuiltInTexts()) {
        const std::string key = std::string(text.Section) + "/" + std::string(text.Key);
        ASSERT_TRUE(german.contains(key)) << key << " missing in Deutsch.lng";
        EXPECT_EQ(german.at(key), text.Text) << key;
    }
}

// The effect captions and the picture filter keep their German defaults in
// the show's data; Deutsch.lng must say the same, and the front ends fall
// back to them.
TEST(UserTexts, EffectCaptionsAndPictureFilterAgreeWithTheShowsDefaults) {
    const auto german = Entries("Deutsch");
    for (int effect = 0; effect < kEffectCount; ++effect) {
        const std::string key = "Effects/Effect" + std::to_string(effect);
        ASSERT_TRUE(german.contains(key)) << key;
        EXPECT_EQ(german.at(key), EffectCaption(effect)) << key;
    }
    ASSERT_TRUE(german.contains("GUI/Pictures"));
    EXPECT_EQ(german.at("GUI/Pictures"), kPictureFileFilter);

    const TLanguage english(kShippedProgramFolder, {}, "English");
    const TLanguage none(kShippedProgramFolder, {}, "Missing");
    EXPECT_EQ(EffectCaptionText(english, 1), "Hard cut");
    EXPECT_EQ(EffectCaptionText(none, 1), "Harter Übergang");
    EXPECT_EQ(PictureDialogFilter(none), kPictureFileFilter);
    EXPECT_TRUE(PictureDialogFilter(english).starts_with("All supported file types ("));
}

TEST(UserTexts, MissingKeyOrFileFallsBackToTheBuiltInGermanText) {
    test::TempDir dir;
    fs::create_directory(dir / "lng");
    test::WriteFile(dir / "lng" / "Partial.lng",
                    "[Errors]\nFileMissing=No \"%1%\" here.\nShowNoPictures=\n");
    std::vector<std::string> reports;
    const TShowMessage report = [&](const std::string& text, TMessageKind) {
        reports.push_back(text);
    };
    const TLanguage partial(dir.path(), report, "Partial");
    const TLanguage none(dir.path(), report, "Missing");
    EXPECT_EQ(partial.Name(), "Partial");
    EXPECT_EQ(partial.Text("Errors", "FileMissing", {"a.jpg"}), "No \"a.jpg\" here.");
    EXPECT_EQ(partial.Text("Errors", "ShowNoPictures"), "Die Diashow enthält keine Bilder.");
    EXPECT_EQ(partial.Text("CLI", "NotWritten", {"b.swf"}), "\"b.swf\" wird nicht geschrieben.");
    EXPECT_EQ(none.Text("Errors", "FileMissing", {"a.jpg"}),
              "Die Datei \"a.jpg\" existiert nicht.");
    // The fallback is silent: only the language file's own keys report.
    EXPECT_TRUE(reports.empty());
    // Values are inserted once, in one pass.
    EXPECT_EQ(none.Text("Errors", "SoundBuiltInMissing", {"%2%", "Merry"}),
              "Die mitgelieferte Musik \"Merry\" fehlt: die Datei \"%2%\" existiert nicht.");
}

// The messages made from the typed errors, in both shipped languages.
TEST(UserTexts, MessagesAreWordedFromTheErrorsFields) {
    const TLanguage german(kShippedProgramFolder, {});
    const TLanguage english(kShippedProgramFolder, {}, "English");
    const std::string denied = std::strerror(EACCES);
    struct Row {
        const char* Name;
        std::function<void()> Throw;
        std::string German, English;
    };
    const std::vector<Row> rows = {
        {"missing file", [] { throw EFileError("/p/a.jpg", TFileAction::Open, ENOENT); },
         "Die Datei \"/p/a.jpg\" existiert nicht.", "The file \"/p/a.jpg\" does not exist."},
        {"file not opened", [] { throw EFileError("/p/a.jpg", TFileAction::Open, EACCES); },
         "Die Datei \"/p/a.jpg\" kann nicht geöffnet werden: " + denied,
         "The file \"/p/a.jpg\" cannot be opened: " + denied},
        {"temporary folder", [] { throw EFileError("/tmp", TFileAction::Create, EACCES); },
         "Im Ordner \"/tmp\" kann keine Datei angelegt werden: " + denied,
         "No file can be created in the folder \"/tmp\": " + denied},
        {"gif", [] { throw EImageFormatError("/p/b.gif", "GIF"); },
         "Das Bildformat \"GIF\" der Datei \"/p/b.gif\" wird nicht unterstützt.",
         "The picture format \"GIF\" of the file \"/p/b.gif\" is not supported."},
        {"undecodable",
         [] { throw EPictureError(EPictureError::Unreadable, "/p/c.png", "PNG: bad"); },
         "Das Bild \"/p/c.png\" kann nicht gelesen werden: PNG: bad",
         "The picture \"/p/c.png\" cannot be read: PNG: bad"},
        {"sound", [] { throw ESoundError(ESoundError::Unusable, "/m/a.mp3", "no frame"); },
         "Die Audiodatei \"/m/a.mp3\" kann nicht eingebunden werden: no frame",
         "The audio file \"/m/a.mp3\" cannot be included: no frame"},
        {"too long", [] { throw EShowError(EShowError::TooLong, {}, 65540, 65535, 20); },
         "Die Diashow ist zu lang: sie ergäbe 65540 Einzelbilder, ein Flash-Film kann aber "
         "höchstens 65535 enthalten. Bei 20 Bildern pro Sekunde darf die Diashow samt "
         "Übergängen höchstens 54 Minuten und 36 Sekunden dauern.",
         "The slide show is too long: it would have 65540 frames, but a Flash movie holds at "
         "most 65535. At 20 frames per second the show, transitions included, may last at most "
         "54 minutes and 36 seconds."},
        {"duration",
         [] { throw EShowError(EShowError::DurationOutOfRange, "/p/a.jpg", 0, 1, 9999); },
         "Die Anzeigedauer von \"/p/a.jpg\" muss zwischen 1 und 9999 Sekunden liegen.",
         "The display time of \"/p/a.jpg\" must be from 1 to 9999 seconds."},
        {"other errors as they are", [] { throw std::runtime_error("zlib: broken"); },
         "zlib: broken", "zlib: broken"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        try {
            row.Throw();
        } catch (const std::exception& e) {
            EXPECT_EQ(UserMessage(e, german), row.German);
            EXPECT_EQ(UserMessage(e, english), row.English);
        }
    }
}

TEST(UserTexts, TheSettingsChooseTheLanguageAndTheOverwriteBoxKeepsIt) {
    test::TempDir dir;
    TSettings settings(dir / "Settings.ini");
    EXPECT_EQ(SettingsLanguage(settings), "Deutsch");
    settings.WriteString("Main", "Language", "English");
    EXPECT_EQ(SettingsLanguage(settings), "English");
    ApplyLanguage("frmMsgBox", settings);
    EXPECT_EQ(settings.ReadString("Main", "Language", ""), "English");
}

} // namespace
} // namespace pictova
