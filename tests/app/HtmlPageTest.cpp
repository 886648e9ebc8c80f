#include "app/HtmlPage.h"
#include "app/Language.h"
#include "app/OutputCheck.h"
#include "app/Settings.h"
#include "app/TextReplace.h"
#include "app/Version.h"

#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>

namespace pictova {
namespace {

namespace fs = std::filesystem;

const fs::path kShippedProgramFolder = fs::path(PICTOVA_TEST_DATA).parent_path().parent_path();

TEST(HtmlPage, ReplacesEveryPlaceholderEveryTime) {
    const std::string page = MakeHtmlPage(
        "<title>%PAGE_TITLE%</title>[%SWF_EMBED%] %WIDTH%x%HEIGHT% / %WIDTH% %width% <%GENERATOR%>",
        "<!-- %CODE_BEGIN% --><embed src=\"%FILENAME%\" width=\"%WIDTH%\"><!-- %CODE_END% -->", 800,
        600, "/out/show.swf");
    EXPECT_EQ(page,
              "<title>Pictova</title>[<!-- HTML-Code zum Einbetten der Pictova beginnt hier. -->"
              "<embed src=\"show.swf\" width=\"800\">"
              "<!-- HTML-Code zum Einbetten der Pictova endet hier. -->] 800x600 / 800 %width% "
              "<Pictova " +
                  GetVersionString(TVersionDigits::Three) + " (https://pictova.example)>");
}

TEST(HtmlPage, FileNameIsEscapedWhereItLands) {
    EXPECT_EQ(EscapeHtml(R"(Tom & "Jerry's" <b>)"), "Tom &amp; &quot;Jerry&#39;s&quot; &lt;b&gt;");
    // In the page the name is a relative URL: encoded so that the browser
    // asks for exactly this file, and never closes the attribute or a tag.
    const std::string page = MakeHtmlPage("<embed src=\"%FILENAME%\">", "", 1, 1,
                                          "/out/Tom & \"Jerry's\" <b> #1?%CODE_END%ü.swf");
    EXPECT_EQ(page, "<embed src=\"Tom%20%26%20%22Jerry%27s%22%20%3Cb%3E%20%231%3F%25CODE_END%25"
                    "%C3%BC.swf\">");
    // A value is never searched for later placeholders.
    EXPECT_EQ(ReplacePlaceholders("%A%%B%", {{"%A%", "%B%"}, {"%B%", "b"}}), "%B%b");
}

TEST(HtmlPage, ReadTextFileEndsLinesWithCrLfButNotTheLast) {
    test::TempDir dir;
    const std::pair<std::string, std::string> rows[] = {
        {"a\nb\r\nc\n", "a\r\nb\r\nc"},
        {"a\nb", "a\r\nb"},
        {"a\n\n", "a\r\n"},
        {"", ""},
    };
    for (const auto& [file, text] : rows) {
        test::WriteFile(dir / "t.html", file);
        EXPECT_EQ(ReadTextFile(dir / "t.html"), text);
    }
    try {
        ReadTextFile(dir / "missing.html");
        FAIL() << "a missing file was read";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("missing.html"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadTextFile(dir.path()), std::runtime_error);
}

class WriteHtmlPageTest : public ::testing::Test {
protected:
    WriteHtmlPageTest()
        : Settings(Dir / "Settings.ini"), Language(kShippedProgramFolder, {}),
          Check(Settings, Language,
                {[this](const std::string&) {
                     ++Questions;
                     return TAnswer::Yes;
                 },
                 [this](const std::string&) {
                     ++Questions;
                     return TAnswer::No;
                 },
                 [](const std::string&, TMessageKind) {}}) {}

    test::TempDir Dir;
    TSettings Settings;
    TLanguage Language;
    TOutputCheck Check;
    int Questions = 0;
};

TEST_F(WriteHtmlPageTest, ShippedTemplatesGiveACompletePage) {
    const fs::path movie = Dir / "shows" / "Urlaub.swf";
    ASSERT_TRUE(WriteHtmlPage(kShippedProgramFolder, movie, 640, 480, Check));
    EXPECT_EQ(Questions, 1); // the folder was missing
    const std::string page = test::ReadFileBytes(Dir / "shows" / "Urlaub.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\r\n")) << page;
    EXPECT_TRUE(page.ends_with("</html>")); // no line break added
    EXPECT_FALSE(std::regex_search(page, std::regex("%[A-Z0-9_]+%"))) << page;
    EXPECT_NE(page.find("<script src=\"ruffle/ruffle.js\"></script>"), std::string::npos);
    EXPECT_NE(page.find("data=\"Urlaub.swf\" width=\"640\" height=\"480\""), std::string::npos);
    EXPECT_NE(page.find("<embed type=\"application/x-shockwave-flash\" src=\"Urlaub.swf\""),
              std::string::npos);
    EXPECT_NE(page.find("HTML-Code zum Einbetten der Pictova beginnt hier."), std::string::npos);
    EXPECT_NE(page.find("<meta name=\"generator\" content=\"Pictova "), std::string::npos);
}

TEST_F(WriteHtmlPageTest, RefusedOverwriteKeepsTheOldPage) {
    const fs::path movie = Dir / "show.swf";
    test::WriteFile(Dir / "show.html", "old page");
    EXPECT_FALSE(WriteHtmlPage(kShippedProgramFolder, movie, 10, 10, Check));
    EXPECT_EQ(Questions, 1);
    EXPECT_EQ(ReadTextFile(Dir / "show.html"), "old page");
}

TEST_F(WriteHtmlPageTest, MissingTemplateRaisesAndWritesNothing) {
    EXPECT_THROW(WriteHtmlPage(Dir.path(), Dir / "show.swf", 10, 10, Check), std::runtime_error);
    EXPECT_FALSE(fs::exists(Dir / "show.html"));
    EXPECT_EQ(HtmlPagePath("/a/b.c/show.swf"), fs::path("/a/b.c/show.html"));
}

TEST(Version, ShortenedAsTheVersionTextAlwaysWas) {
    struct Row {
        const char* Version;
        TVersionDigits Digits;
        const char* Text;
    };
    const Row rows[] = {
        {"1.0.0.0", TVersionDigits::Three, "1.0"},
        {"1.0.0.0", TVersionDigits::Four, "1.0"},
        {"2.1.3.0", TVersionDigits::Three, "2.1.3"},
        {"2.1.3.0", TVersionDigits::Four, "2.1.3"},
        {"2.1.3.4", TVersionDigits::Four, "2.1.3.4"},
        {"2.1.0.4", TVersionDigits::Three, "2.1"},
        {"0.1.0", TVersionDigits::Three, "0.1"},
        {"3", TVersionDigits::Four, "3.0"},
        {"", TVersionDigits::Three, "0"},
        {"1.x", TVersionDigits::Three, "0"},
        {"1.2.3.4.5", TVersionDigits::Four, "0"},
        {"65536.0", TVersionDigits::Three, "0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatVersionString(row.Version, row.Digits), row.Text) << row.Version;
    EXPECT_EQ(GetVersionString(TVersionDigits::Three),
              FormatVersionString(PICTOVA_VERSION, TVersionDigits::Three));
}

} // namespace
} // namespace pictova
