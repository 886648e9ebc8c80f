#include "app/Settings.h"
#include "app/IniFile.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace pictova {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& file) {
    return ReadIniFileBytes(file);
}

TEST(IniText, ReadsLikeAProfileFile) {
    const TIniText ini("; comment\r\n"
                       "[Main]\r\n"
                       "  OutputPath = /home/u/show.swf  \r\n"
                       "Quoted=\"  spaced  \"\r\n"
                       "Empty=\r\n"
                       "[options]\r\n"
                       "optAlreadyExist=2\r\n"
                       "Bad=2x\r\n"
                       "[Main]\r\n"
                       "Later=ignored\r\n");
    EXPECT_EQ(ini.ReadString("main", "outputpath", "-"), "/home/u/show.swf");
    EXPECT_EQ(ini.ReadString("Main", "Quoted", "-"), "  spaced  ");
    EXPECT_EQ(ini.ReadString("Main", "Empty", "-"), "");
    EXPECT_EQ(ini.ReadString("Main", "Missing", "-"), "-");
    EXPECT_EQ(ini.ReadString("Main", "Later", "-"), "-"); // only the first [Main] counts
    EXPECT_EQ(ini.ReadString("Main", "; comment", "-"), "-");
    EXPECT_EQ(ini.ReadInteger("Options", "optAlreadyExist", 0), 2);
    EXPECT_EQ(ini.ReadInteger("Options", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Options", "Missing", 7), 7);
}

TEST(IniText, WritingChangesOnlyItsKey) {
    TIniText ini("; kept\n[Main]\nOutputPath=/old.swf\nOther=1\n\n[Options]\noptAlreadyExist=2\n");
    ini.WriteString("MAIN", "outputpath", "/new.swf");
    ini.WriteString("Main", "Language", "Deutsch");
    ini.WriteString("Extra", "Key", "Wert mit Ümlaut");
    EXPECT_EQ(ini.Text(), "; kept\n[Main]\noutputpath=/new.swf\nOther=1\nLanguage=Deutsch\n\n"
                          "[Options]\noptAlreadyExist=2\n[Extra]\nKey=Wert mit Ümlaut\n");
    EXPECT_THROW(ini.WriteString("Main", "OutputPath", "/a\n[Options]\noptAlreadyExist=1"),
                 std::invalid_argument);
    EXPECT_EQ(ini.ReadInteger("Options", "optAlreadyExist", 0), 2);
}

TEST(Settings, RoundTripCreatesTheFolderAndKeepsOtherKeys) {
    test::TempDir dir;
    const fs::path file = dir / "Tesmar" / "Pictova" / "Settings.ini";
    TSettings settings(file);
    EXPECT_EQ(settings.AlreadyExist(), kAlreadyExistAsk);
    EXPECT_EQ(settings.ReadOutputPath("/docs"), fs::path("/docs/Meine Pictova/show.swf"));

    settings.WriteOutputPath("/home/jürgen/Diashows/Urlaub.swf");
    ASSERT_TRUE(fs::exists(file));
    // Set by hand while the program runs: read afresh every time.
    test::WriteFile(file, FileText(file) + "[Options]\noptAlreadyExist=2\n");
    EXPECT_EQ(settings.AlreadyExist(), kAlreadyExistNever);
    settings.WriteOutputPath("/home/jürgen/Diashows/Winter.swf");

    const TSettings reread(file);
    EXPECT_EQ(reread.ReadOutputPath("/docs"), fs::path("/home/jürgen/Diashows/Winter.swf"));
    EXPECT_EQ(reread.AlreadyExist(), kAlreadyExistNever);
    // The replacement leaves no temporary file behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

TEST(Settings, FailedWritesReportAndKeepTheOldFile) {
    test::TempDir dir;
    const fs::path file = dir / "Settings.ini";
    const std::string old = "[Main]\nOutputPath=/old.swf\n";
    test::WriteFile(file, old);
    TSettings settings(file);
    EXPECT_THROW(settings.WriteOutputPath("/with\nline break.swf"), std::invalid_argument);
    EXPECT_EQ(FileText(file), old);

    test::WriteFile(dir / "plain-file", "");
    TSettings blocked(dir / "plain-file" / "Pictova" / "Settings.ini");
    try {
        blocked.WriteOutputPath("/x.swf");
        FAIL() << "writing below a plain file succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("plain-file"), std::string::npos) << e.what();
    }
}

TEST(Settings, FileLiesInTheUsersConfigurationFolder) {
    test::TempDir dir;
    const test::ScopedEnv home("HOME", dir.path().string());
    {
        const test::ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").string());
        EXPECT_EQ(TSettings::DefaultSettingsFile(),
                  dir / "cfg" / "Tesmar" / "Pictova" / "Settings.ini");
        TSettings().WriteOutputPath("/x.swf");
        EXPECT_TRUE(fs::exists(dir / "cfg" / "Tesmar" / "Pictova" / "Settings.ini"));
    }
    for (std::optional<std::string> value :
         {std::optional<std::string>(), std::optional<std::string>("relative/cfg")}) {
        const test::ScopedEnv config("XDG_CONFIG_HOME", value);
        EXPECT_EQ(TSettings::DefaultSettingsFile(),
                  dir / ".config" / "Tesmar" / "Pictova" / "Settings.ini");
    }
}

TEST(Settings, StartupOutputPathFallsBackWhenItsFolderIsGone) {
    test::TempDir dir;
    const fs::path documents = dir / "Dokumente";
    const fs::path fallback = documents / "Meine Pictova" / "show.swf";
    TSettings settings(dir / "Settings.ini");
    EXPECT_EQ(StartupOutputPath(settings, documents), fallback);

    fs::create_directory(dir / "shows");
    settings.WriteOutputPath(dir / "shows" / "a.swf");
    EXPECT_EQ(StartupOutputPath(settings, documents), dir / "shows" / "a.swf");

    settings.WriteOutputPath(dir / "gone" / "a.swf");
    EXPECT_EQ(StartupOutputPath(settings, documents), fallback);
    settings.WriteOutputPath("a.swf");
    EXPECT_EQ(StartupOutputPath(settings, documents), fallback);
}

} // namespace
} // namespace pictova
