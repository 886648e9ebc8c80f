// Runs the built pictova-cli as a user would, with its own settings folder.

#include "app/Version.h"
#include "show/EffectCaptions.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace pictova {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct TRun {
    int Status = -1;
    std::string Out, Err;
};

class Cli : public ::testing::Test {
protected:
    // Runs in the test folder with a settings folder of its own, so neither
    // the user's settings are read nor are they written.
    TRun Run(const std::vector<std::string>& args) {
        std::string command = "cd " + Quoted(Dir.path().string()) +
                              " && XDG_CONFIG_HOME=" + Quoted((Dir / "config").string()) +
                              " HOME=" + Quoted((Dir / "home").string()) + " " +
                              Quoted(PICTOVA_CLI);
        for (const std::string& a : args)
            command += " " + Quoted(a);
        command += " </dev/null >" + Quoted((Dir / "stdout").string()) + " 2>" +
                   Quoted((Dir / "stderr").string());
        const int status = std::system(command.c_str());
        TRun run;
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Out = test::ReadFileBytes(Dir / "stdout");
        run.Err = test::ReadFileBytes(Dir / "stderr");
        fs::remove(Dir / "stdout");
        fs::remove(Dir / "stderr");
        return run;
    }

    std::string Jpeg(const std::string& name, int w, int h) {
        test::WriteJpegFile(Dir / name, w, h);
        return name;
    }

    // What is in the test folder besides the pictures and settings.
    std::vector<std::string> Written(const std::vector<std::string>& inputs) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(Dir.path())) {
            const std::string rel = fs::relative(entry.path(), Dir.path()).string();
            if (rel.starts_with("config") || rel.starts_with("home") || entry.is_directory())
                continue;
            if (std::find(inputs.begin(), inputs.end(), rel) == inputs.end())
                names.push_back(rel);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir Dir;
};

TEST_F(Cli, FinalBuildWritesMoviePageAndPlayer) {
#ifndef PICTOVA_HAVE_RUFFLE
    GTEST_SKIP() << "the Ruffle player is not installed (scripts/setup.sh)";
#endif
    const std::string a = Jpeg("a.jpg", 64, 48);
    test::WriteBmpFile(Dir / "b.bmp", 30, 60);
    // --yes creates the missing folder.
    const TRun run = Run({"-o", "out/new/show.swf", "--yes", "--seed", "3", "--effect", "3", a,
                          "--effect", "15", "--duration", "2", "b.bmp"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const fs::path out = Dir / "out/new";
    const test::WalkedMovie movie = test::WalkSwfFile(out / "show.swf");
    EXPECT_EQ(movie.FrameSize.Xmax, 64 * 20);
    EXPECT_EQ(movie.FrameSize.Ymax, 60 * 20);
    EXPECT_EQ(movie.TagsWithCode(21).size(), 1u); // the JPEG
    EXPECT_EQ(movie.TagsWithCode(20).size(), 1u); // the BMP
    // The preloader's frame, then a slide in standing 5 s (the default) and
    // a spin standing 2 s.
    EXPECT_EQ(movie.FrameCount, 1 + (51 + 100) + (76 + 40));
    EXPECT_EQ(movie.TagsWithCode(39).size(), 2u); // the preloader's sprites
    const std::string page = test::ReadFileBytes(out / "show.html");
    EXPECT_NE(page.find("show.swf"), std::string::npos);
    EXPECT_NE(page.find("ruffle/ruffle.js"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(out / "ruffle/ruffle.js"));
    EXPECT_NE(run.Out.find("show.swf"), std::string::npos) << run.Out;
}

TEST_F(Cli, PreviewWritesOnlyTheMovieAndASeedRepeatsIt) {
    const std::string a = Jpeg("a.jpg", 32, 24);
    const std::vector<std::string> args = {"--preview", "--seed", "11", a, a, a};
    std::vector<std::string> first = args, second = args;
    first.insert(first.begin(), {"-o", "one.swf"});
    second.insert(second.begin(), {"-o", "two.swf"});
    ASSERT_EQ(Run(first).Status, 0);
    ASSERT_EQ(Run(second).Status, 0);
    EXPECT_EQ(Written({a}), (std::vector<std::string>{"one.swf", "two.swf"}));
    EXPECT_EQ(test::ReadFileBytes(Dir / "one.swf"), test::ReadFileBytes(Dir / "two.swf"));
}

TEST_F(Cli, UsageErrorsExitWithTwo) {
    const std::string a = Jpeg("a.jpg", 8, 8);
    const std::vector<std::vector<std::string>> rows = {
        {},
        {a},
        {"-o", "x.swf"},
        {"-o", "x.swf", "--effect", "17", a},
        {"-o", "x.swf", "--duration", "0", a},
        {"-o", "x.swf", "--duration", "10000", a},
        {"-o", "x.swf", "--bogus", a},
        {"-o", "x.swf", "--preview", "--serve", a},
    };
    for (auto args : rows) {
        args.insert(args.begin(), {"--language", "English"});
        SCOPED_TRACE(::testing::PrintToString(args));
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_NE(run.Err.find("Usage: pictova-cli"), std::string::npos) << run.Err;
        EXPECT_TRUE(Written({a}).empty());
    }
}

// The usage error and the help after it come in the language, German unless
// --language names another, wherever on the line it stands.
TEST_F(Cli, UsageErrorsComeInTheChosenLanguage) {
    struct Row {
        std::vector<std::string> Args;
        std::string Error, Usage;
    };
    const std::vector<Row> rows = {
        {{"-o", "x.swf", "--bogus", "a.jpg"},
         "pictova-cli: unbekannte Option --bogus\n\nAufruf: pictova-cli [Optionen]",
         "  -h, --help          diese Hilfe ausgeben\n"},
        {{"-o", "x.swf", "--bogus", "--language", "English", "a.jpg"},
         "pictova-cli: unknown option --bogus\n\nUsage: pictova-cli [options]",
         "  -h, --help          print this help\n"},
        {{"--language", "English", "-o", "x.swf", "--duration", "0", "a.jpg"},
         "pictova-cli: --duration takes a number from 1 to 9999, not \"0\"\n\nUsage:",
         ""},
        {{"-o", "x.swf", "--duration", "0", "a.jpg"},
         "pictova-cli: --duration erwartet eine Zahl von 1 bis 9999, nicht \"0\"\n\nAufruf:",
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Args));
        const TRun run = Run(row.Args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_TRUE(run.Err.starts_with(row.Error)) << run.Err;
        EXPECT_TRUE(run.Err.ends_with(row.Usage)) << run.Err;
        // Every line break of the help is a real one.
        EXPECT_EQ(run.Err.find("\\n"), std::string::npos) << run.Err;
    }
}

TEST_F(Cli, FailedBuildsExitWithOneAndLeaveNoMovieOrPage) {
    const std::string good = Jpeg("good.jpg", 20, 10);
    test::WriteFile(Dir / "garbage.jpg", "no picture");
    test::WriteFile(Dir / "garbage.png", "no picture");
    test::WriteFile(Dir / "garbage.bmp", "no picture");
    test::WriteBmpFile(Dir / "empty.bmp", 0, 0);
    test::WriteFile(Dir / "file", "a file, not a folder");
    const std::vector<std::string> inputs = {"good.jpg",    "garbage.jpg", "garbage.png",
                                             "garbage.bmp", "empty.bmp",   "file"};
    struct Row {
        std::vector<std::string> Args;
        std::string Named; // what the message must mention
    };
    const std::vector<Row> rows = {
        {{"-o", "show.swf", "--yes", "missing.jpg"}, "missing.jpg"},
        {{"-o", "show.swf", "--yes", good, "missing.png"}, "missing.png"},
        {{"-o", "show.swf", "--yes", "garbage.jpg"}, "garbage.jpg"},
        {{"-o", "show.swf", "--yes", good, "garbage.jpg"}, "garbage.jpg"},
        {{"-o", "show.swf", "--yes", good, "garbage.png"}, "garbage.png"},
        {{"-o", "show.swf", "--yes", good, "garbage.bmp"}, "garbage.bmp"},
        {{"-o", "show.swf", "--yes", "empty.bmp"}, "empty.bmp"},
        {{"-o", "show.swf", "--yes", good, "empty.bmp"}, "empty.bmp"},
        {{"-o", "show.swf", "--yes", "--preview", good, "garbage.png"}, "garbage.png"},
        {{"-o", "file/show.swf", good}, "file/"},
        {{"-o", "file/show.swf", "--yes", good}, "file/"},
        {{"-o", "file/show.swf", "--yes", "--preview", good}, "file/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Args));
        const TRun run = Run(row.Args);
        EXPECT_EQ(run.Status, 1) << run.Err;
        EXPECT_NE(run.Err.find(row.Named), std::string::npos) << run.Err;
        EXPECT_TRUE(Written(inputs).empty()) << ::testing::PrintToString(Written(inputs));
    }
}

// The messages and reports come from lng/<language>.lng; a language without
// a file falls back to the built-in German texts.
TEST_F(Cli, MessagesComeInTheChosenLanguage) {
    const std::string good = Jpeg("good.jpg", 20, 10);
    const struct Row {
        std::vector<std::string> Language;
        std::string Missing, Wrote;
    } rows[] = {
        {{},
         "pictova-cli: Die Datei \"missing.jpg\" existiert nicht.\n",
         " geschrieben (20 × 10 Pixel"},
        {{"--language", "English"},
         "pictova-cli: The file \"missing.jpg\" does not exist.\n",
         "Wrote "},
        {{"--language", "Klingon"},
         "pictova-cli: Die Datei \"missing.jpg\" existiert nicht.\n",
         " geschrieben (20 × 10 Pixel"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Language));
        std::vector<std::string> args = row.Language;
        args.insert(args.end(), {"-o", "show.swf", "--yes", "--preview", good, "missing.jpg"});
        const TRun failed = Run(args);
        EXPECT_EQ(failed.Status, 1);
        EXPECT_EQ(failed.Err, row.Missing);
        EXPECT_TRUE(Written({good}).empty());

        args.pop_back();
        const TRun built = Run(args);
        EXPECT_EQ(built.Status, 0) << built.Err;
        EXPECT_NE(built.Out.find(row.Wrote), std::string::npos) << built.Out;
        fs::remove(Dir / "show.swf");
    }
}

TEST_F(Cli, ExistingFilesAreKeptWithoutYes) {
    const std::string good = Jpeg("good.jpg", 20, 10);
    for (const std::string existing : {"show.swf", "show.html"}) {
        SCOPED_TRACE(existing);
        test::WriteFile(Dir / existing, "old");
        const TRun run = Run({"-o", "show.swf", good});
        EXPECT_EQ(run.Status, 1);
        EXPECT_NE(run.Err.find(existing), std::string::npos) << run.Err;
        EXPECT_NE(run.Err.find("--yes"), std::string::npos) << run.Err;
        EXPECT_EQ(Written({good}), std::vector<std::string>{existing});
        EXPECT_EQ(test::ReadFileBytes(Dir / existing), "old");
        fs::remove(Dir / existing);
    }
}

TEST_F(Cli, SettingsThatNeverOverwriteAreReportedEvenWithYes) {
    const std::string good = Jpeg("good.jpg", 20, 10);
    fs::create_directories(Dir / "config/Tesmar/Pictova");
    test::WriteFile(Dir / "config/Tesmar/Pictova/Settings.ini", "[Options]\noptAlreadyExist=2\n");
    test::WriteFile(Dir / "show.swf", "old");
    const TRun run = Run({"-o", "show.swf", "--yes", good});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("show.swf"), std::string::npos) << run.Err;
    EXPECT_EQ(Written({good}), std::vector<std::string>{"show.swf"});
    EXPECT_EQ(test::ReadFileBytes(Dir / "show.swf"), "old");
}

TEST_F(Cli, ListsTheSeventeenEffectCaptions) {
    const TRun run = Run({"--list-effects"});
    ASSERT_EQ(run.Status, 0);
    std::istringstream lines(run.Out);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(n, 17);
        EXPECT_EQ(line, std::to_string(n) + "\t" + std::string(EffectCaptions()[size_t(n)]));
        ++n;
    }
    EXPECT_EQ(n, 17);
    EXPECT_TRUE(run.Out.starts_with("0\t(Zufällig)\n")) << run.Out;
    EXPECT_NE(run.Out.find("16\tLinksdrehend einwerfen\n"), std::string::npos);
}

TEST_F(Cli, VersionAndHelp) {
    const TRun version = Run({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "pictova-cli " + GetVersionString(TVersionDigits::Three) + "\n");
    const TRun help = Run({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--list-effects"), std::string::npos);
    EXPECT_TRUE(help.Err.empty());
}

} // namespace
} // namespace pictova
