#include "app/Language.h"
#include "app/Settings.h"

#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;

// The repository root holds lng/ (and data/) as the program folder does.
const fs::path kShippedProgramFolder = fs::path(PICTOVA_TEST_DATA).parent_path().parent_path();

struct Reports {
    std::vector<std::string> Texts;
    TShowMessage Sink() {
        return [this](const std::string& text, TMessageKind kind) {
            EXPECT_EQ(kind, TMessageKind::Plain);
            Texts.push_back(text);
        };
    }
};

TEST(Language, ShippedFileHasEveryTextInWindows1252) {
    Reports reports;
    const TLanguage language(kShippedProgramFolder, reports.Sink());
    for (const char* key : {"Audio", "SWF", "DefaultDir"})
        EXPECT_FALSE(language.GetLangString("GUI", key).empty()) << key;
    for (const char* key : {"OutDirNExist", "CantCreateOutDir", "ConfOverwr"})
        EXPECT_NE(language.GetLangString("Messages", key).find("%1%"), std::string::npos) << key;
    EXPECT_TRUE(reports.Texts.empty());

    // Single-byte on disk, UTF-8 when handed out.
    const std::string bytes = test::ReadFileBytes(LanguageFile(kShippedProgramFolder));
    EXPECT_NE(bytes.find("\xFC"
                         "berschreiben"),
              std::string::npos);
    EXPECT_EQ(language.GetLangString("Messages", "ConfOverwr", "/home/u/show.swf"),
              "Die Datei „/home/u/show.swf“ ist bereits vorhanden. Möchten Sie sie überschreiben?");
    EXPECT_EQ(language.GetLangString("GUI", "DefaultDir"), "Meine Pictova");
    EXPECT_EQ(MovieDialogFilter(language), "Flash-Filme (*.swf)|*.swf");
}

TEST(Language, MissingFileOrKeyReportsAndGivesEmptyText) {
    test::TempDir dir;
    Reports reports;
    const TLanguage missing(dir.path(), reports.Sink());
    // The own-music dialog's filter then starts with " (".
    EXPECT_EQ(AudioDialogFilter(missing), " (*.mp3, *.wav)|*.mp3;*.wav");
    EXPECT_EQ(missing.GetLangString("Messages", "ConfOverwr", "/x"), "");
    EXPECT_EQ(reports.Texts,
              (std::vector<std::string>{"LNG ERR at Audio", "LNG ERR at ConfOverwr"}));

    fs::create_directory(dir / "lng");
    test::WriteFile(dir / "lng" / "Deutsch.lng", "[GUI]\nAudio=Audiodateien\nSWF=\n");
    reports.Texts.clear();
    const TLanguage partial(dir.path(), reports.Sink());
    EXPECT_EQ(partial.GetLangString("GUI", "Audio"), "Audiodateien");
    EXPECT_EQ(partial.GetLangString("GUI", "SWF"), "");
    EXPECT_EQ(partial.GetLangString("Messages", "Audio"), ""); // wrong section
    EXPECT_EQ(reports.Texts, (std::vector<std::string>{"LNG ERR at SWF", "LNG ERR at Audio"}));
}

TEST(Language, PlaceholderEverywhereAndEncodings) {
    test::TempDir dir;
    fs::create_directory(dir / "lng");
    const TLanguage language(dir.path(), {});
    const std::string utf8 = "[Messages]\nConfOverwr=„%1%“ überschreiben? (%1%)\n";
    const std::string ansi = "[Messages]\nConfOverwr=\x84%1%\x93 \xFC"
                             "berschreiben? (%1%)\n";
    for (const std::string& file : {utf8, ansi, "\xEF\xBB\xBF" + utf8}) {
        test::WriteFile(dir / "lng" / "Deutsch.lng", file);
        EXPECT_EQ(language.GetLangString("Messages", "ConfOverwr", "/a/b.swf"),
                  "„/a/b.swf“ überschreiben? (/a/b.swf)");
    }
    // The value is inserted once, not searched again.
    EXPECT_EQ(language.GetLangString("Messages", "ConfOverwr", "%1%"),
              "„%1%“ überschreiben? (%1%)");
}

TEST(Language, OnlyWellFormedUtf8IsTakenAsUtf8) {
    // An overlong form or a surrogate marks the file as single-byte text.
    const std::pair<std::string_view, std::string> rows[] = {
        {"caf\xC3\xA9", "café"},
        {"\xC1\xA9", "Á©"},
        {"\xED\xA0\x80", "í\u00A0€"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(DecodeLanguageText(bytes), text);
}

TEST(Language, ApplyLanguageStoresTheLanguageName) {
    test::TempDir dir;
    TSettings settings(dir / "Settings.ini");
    ApplyLanguage("frmMsgBox", settings);
    EXPECT_EQ(settings.ReadString("Main", "Language", ""), "Deutsch");
}

} // namespace
} // namespace pictova
