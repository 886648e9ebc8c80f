#include "app/OutputCheck.h"
#include "app/Language.h"
#include "app/Settings.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;

// The language texts are our own here, so the expected questions read
// plainly; the shipped file is checked in LanguageTest.
class OutputCheckTest : public ::testing::Test {
protected:
    OutputCheckTest()
        : Settings(Dir / "Settings.ini"),
          Language((fs::create_directory(Dir / "lng"), Dir.path()), {}),
          Check(Settings, Language,
                {[this](const std::string& text) { return Answer("folder? " + text); },
                 [this](const std::string& text) { return Answer("overwrite? " + text); },
                 [this](const std::string& text, TMessageKind kind) {
                     EXPECT_EQ(kind, TMessageKind::Warning);
                     Calls.push_back("warning: " + text);
                 }}) {
        test::WriteFile(Dir / "lng" / "Deutsch.lng",
                        "[Messages]\nOutDirNExist=create %1%\nCantCreateOutDir=failed %1%\n"
                        "ConfOverwr=replace %1%\n");
        fs::create_directory(Dir / "out");
        test::WriteFile(Movie, "FWS");
    }

    TAnswer Answer(const std::string& call) {
        Calls.push_back(call);
        EXPECT_FALSE(Answers.empty()) << "unexpected question " << call;
        if (Answers.empty())
            return TAnswer::Cancel;
        const TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    void SetOption(int value) {
        Settings.WriteString("Options", "optAlreadyExist", std::to_string(value));
    }

    test::TempDir Dir;
    TSettings Settings;
    TLanguage Language;
    TOutputCheck Check;
    std::deque<TAnswer> Answers;
    std::vector<std::string> Calls;
    const fs::path Movie = Dir / "out" / "show.swf";
    const fs::path Page = Dir / "out" / "show.html";
};

TEST_F(OutputCheckTest, NewFileInAnExistingFolderNeedsNoQuestion) {
    EXPECT_TRUE(Check.CheckOutputFile(Page));
    EXPECT_TRUE(Calls.empty());
}

TEST_F(OutputCheckTest, MissingFolderIsCreatedOnlyAfterYes) {
    const fs::path folder = Dir / "new" / "deeper";
    for (TAnswer answer : {TAnswer::No, TAnswer::Cancel}) {
        Answers = {answer};
        EXPECT_FALSE(Check.CheckOutputFile(folder / "show.swf"));
        EXPECT_FALSE(fs::exists(Dir / "new"));
    }
    Answers = {TAnswer::Yes};
    EXPECT_TRUE(Check.CheckOutputFile(folder / "show.swf"));
    EXPECT_TRUE(fs::is_directory(folder));
    const std::string question = "folder? create " + (folder / "").string();
    EXPECT_EQ(Calls, (std::vector<std::string>{question, question, question}));
}

TEST_F(OutputCheckTest, FolderThatCannotBeCreatedWarnsAndGoesOn) {
    test::WriteFile(Dir / "blocker", "");
    const fs::path folder = Dir / "blocker" / "sub";
    Answers = {TAnswer::Yes};
    EXPECT_TRUE(Check.CheckOutputFile(folder / "show.swf")); // the write then reports the failure
    EXPECT_EQ(Calls, (std::vector<std::string>{"folder? create " + (folder / "").string(),
                                               "warning: failed " + (folder / "").string()}));
}

TEST_F(OutputCheckTest, ExistingFileAsksWithItsPath) {
    const std::string question = "overwrite? replace " + Movie.string();
    Answers = {TAnswer::Yes, TAnswer::No, TAnswer::Cancel};
    EXPECT_TRUE(Check.CheckOutputFile(Movie));
    EXPECT_FALSE(Check.CheckOutputFile(Movie));
    EXPECT_FALSE(Check.CheckOutputFile(Movie));
    EXPECT_EQ(Calls, (std::vector<std::string>{question, question, question}));
    EXPECT_FALSE(Check.YesToAll());
    // Showing the three-way box records the language.
    EXPECT_EQ(Settings.ReadString("Main", "Language", ""), "Deutsch");
}

// A second build into the same folder: "Ja, alle" for the movie also lets
// the page be replaced without a second question, until the next build.
TEST_F(OutputCheckTest, YesToAllCoversThePageOfTheSameBuild) {
    test::WriteFile(Page, "<html>");
    Answers = {TAnswer::YesToAll};
    EXPECT_TRUE(Check.CheckOutputFile(Movie));
    EXPECT_TRUE(Check.YesToAll());
    EXPECT_TRUE(Check.CheckOutputFile(Page));
    EXPECT_EQ(Calls.size(), 1u);

    Check.ClearYesToAll();
    Answers = {TAnswer::No};
    EXPECT_FALSE(Check.CheckOutputFile(Page));
    EXPECT_EQ(Calls.size(), 2u);
}

TEST_F(OutputCheckTest, OptionAlreadyExistDecidesWithoutAsking) {
    SetOption(2);
    EXPECT_FALSE(Check.CheckOutputFile(Movie));
    EXPECT_TRUE(Check.CheckOutputFile(Page)); // nothing there yet
    for (int overwrite : {1, 3, -1}) {
        SetOption(overwrite);
        EXPECT_TRUE(Check.CheckOutputFile(Movie)) << overwrite;
    }
    EXPECT_TRUE(Calls.empty());
}

} // namespace
} // namespace pictova
