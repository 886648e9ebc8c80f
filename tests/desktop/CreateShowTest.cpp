// The "Diashow erstellen" button: the output checks with each answer and
// each optAlreadyExist setting, the written movie, page and player files,
// the page served for the browser, and build errors that must leave the
// window usable and nothing half-written behind.

#include "tests/desktop/WindowFixture.h"

#include "app/Settings.h"
#include "show/BackgroundMusic.h"
#include "tests/support/PictureFiles.h"

#include <QLineEdit>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pictova::desktop::test {
namespace {

using pictova::test::ReadFileBytes;
using pictova::test::WriteBmpFile;
using pictova::test::WriteFile;

// The status line of an HTTP GET of url (http://127.0.0.1:PORT/path).
std::string HttpStatus(const std::string& url) {
    const std::string rest = url.substr(std::string("http://127.0.0.1:").size());
    const std::size_t slash = rest.find('/');
    const int port = std::stoi(rest.substr(0, slash));
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(s);
        return "no connection";
    }
    const std::string request = "GET " + rest.substr(slash) + " HTTP/1.0\r\n\r\n";
    (void)!::write(s, request.data(), request.size());
    std::string answer;
    char buffer[512];
    ssize_t n = 0;
    while (answer.find("\r\n") == std::string::npos && (n = ::read(s, buffer, sizeof buffer)) > 0)
        answer.append(buffer, std::size_t(n));
    ::close(s);
    return answer.substr(0, answer.find("\r\n"));
}

class CreateShow : public WindowTest {
protected:
    explicit CreateShow(std::vector<fs::path> without = {}) : WindowTest(std::move(without)) {}

    void SetUp() override {
        WindowTest::SetUp();
        WriteBmpFile(Picture("a.bmp"), 64, 48);
        AddPictures({Picture("a.bmp")});
        Movie = Dir / "out" / "show.swf";
        Page = Dir / "out" / "show.html";
        Find<QLineEdit>("txtOutput")->setText(Q(Movie));
    }

    void Create() { QTest::mouseClick(Find<QWidget>("btnCreate"), Qt::LeftButton); }
    void SetAlreadyExist(int value) {
        TSettings(SettingsFile).WriteString("Options", "optAlreadyExist", std::to_string(value));
    }
    void PutOldFiles(bool page) {
        fs::create_directories(Movie.parent_path());
        WriteFile(Movie, "old movie");
        if (page)
            WriteFile(Page, "old page");
    }
    bool MovieReplaced() const { return ReadFileBytes(Movie).substr(1, 2) == "WS"; }
    bool PageReplaced() const { return fs::exists(Page) && ReadFileBytes(Page) != "old page"; }

    fs::path Movie, Page;
};

TEST_F(CreateShow, WritesMoviePagePlayerAndServesThePageForTheBrowser) {
    Boxes.YesNoCancel = {TAnswer::Yes}; // create the missing folder
    Create();
    ASSERT_EQ(Boxes.Questions.size(), 1u);
    EXPECT_TRUE(Boxes.Questions[0].contains(Q(Movie.parent_path() / "")));
    EXPECT_TRUE(Boxes.Messages.empty()) << Boxes.Messages[0].Text.toStdString();
    const auto movie = pictova::test::WalkSwfFile(Movie);
    EXPECT_EQ(movie.FrameSize.Xmax, 64 * 20);
    EXPECT_TRUE(ReadFileBytes(Page).find("show.swf") != std::string::npos);
    EXPECT_TRUE(fs::exists(Movie.parent_path() / "ruffle"));
    EXPECT_TRUE(Window->isEnabled());

    ASSERT_EQ(Urls.size(), 1u);
    EXPECT_EQ(Urls[0].rfind("http://127.0.0.1:", 0), 0u) << Urls[0];
    EXPECT_NE(HttpStatus(Urls[0]).find(" 200 "), std::string::npos);
    // Only the output folder is served.
    const std::string outside =
        HttpStatus(Urls[0].substr(0, Urls[0].rfind('/')) + "/../pictures/a.bmp");
    EXPECT_EQ(outside.find(" 200 "), std::string::npos) << outside;
}

TEST_F(CreateShow, AMissingFolderAnsweredNoBuildsNothing) {
    for (TAnswer answer : {TAnswer::No, TAnswer::Cancel}) {
        Boxes.YesNoCancel = {answer};
        Create();
        EXPECT_FALSE(fs::exists(Movie.parent_path()));
    }
    EXPECT_EQ(Boxes.Questions.size(), 2u);
    EXPECT_TRUE(Boxes.Overwrites.empty());
    EXPECT_TRUE(Urls.empty());
}

TEST_F(CreateShow, EachAnswerOfTheOverwriteBox) {
    struct TRow {
        const char* Name;
        std::vector<TAnswer> Answers;
        std::size_t Questions;
        bool Replaced;
    };
    const TRow rows[] = {
        {"yes, then yes for the page", {TAnswer::Yes, TAnswer::Yes}, 2, true},
        {"yes to all covers the page", {TAnswer::YesToAll}, 1, true},
        {"yes, then no for the page", {TAnswer::Yes, TAnswer::No}, 2, false},
        {"no", {TAnswer::No}, 1, false},
        {"cancel", {TAnswer::Cancel}, 1, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        PutOldFiles(true);
        Boxes.Overwrites.clear();
        Boxes.Overwrite = {row.Answers.begin(), row.Answers.end()};
        Create();
        ASSERT_EQ(Boxes.Overwrites.size(), row.Questions);
        EXPECT_TRUE(Boxes.Overwrites[0].contains(Q(Movie)));
        if (row.Questions > 1) {
            EXPECT_TRUE(Boxes.Overwrites[1].contains(Q(Page)));
        }
        EXPECT_EQ(MovieReplaced(), row.Replaced);
        EXPECT_EQ(PageReplaced(), row.Replaced);
        EXPECT_TRUE(Boxes.Messages.empty());
    }
    // Yes to all lasts one creation: the next one asks again.
    Boxes.Overwrites.clear();
    Boxes.Overwrite = {TAnswer::No};
    Create();
    EXPECT_EQ(Boxes.Overwrites.size(), 1u);
    EXPECT_EQ(TSettings(SettingsFile).ReadString("Main", "Language", ""), "Deutsch");
}

TEST_F(CreateShow, TheSettingDecidesWithoutAsking) {
    struct TRow {
        int AlreadyExist;
        std::size_t Questions;
        bool Replaced;
    };
    for (const TRow& row : {TRow{0, 1, false}, TRow{2, 0, false}, TRow{1, 0, true}}) {
        SCOPED_TRACE(row.AlreadyExist);
        SetAlreadyExist(row.AlreadyExist);
        PutOldFiles(false);
        Boxes.Overwrites.clear();
        Boxes.Overwrite = {TAnswer::No};
        Create();
        EXPECT_EQ(Boxes.Overwrites.size(), row.Questions);
        EXPECT_EQ(MovieReplaced(), row.Replaced);
        EXPECT_EQ(fs::exists(Page), row.Replaced);
        EXPECT_TRUE(Boxes.Messages.empty());
    }
}

// A build error reaches the user in a box once the window is usable again.
void ExpectErrorAfterBuild(const TFakeBoxes& boxes, TfrmMain& window) {
    ASSERT_EQ(boxes.Messages.size(), 1u);
    const TFakeBoxes::TShown& shown = boxes.Messages[0];
    EXPECT_EQ(shown.Kind, TMessageKind::Error);
    EXPECT_FALSE(shown.Text.isEmpty());
    EXPECT_TRUE(shown.WindowEnabled);
    EXPECT_FALSE(shown.ProgressShown);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_FALSE(TFakeBoxes::ProgressVisible());
}

TEST_F(CreateShow, ABrokenPictureEndsTheBuildWithItsMessage) {
    // A header that states 20 x 20 pixels and no pixels after it.
    WriteBmpFile(Picture("kurz.bmp"), 20, 20);
    fs::resize_file(Picture("kurz.bmp"), 60);
    AddPictures({Picture("kurz.bmp")});
    Boxes.Messages.clear(); // the preview's complaint about the picture
    Boxes.YesNoCancel = {TAnswer::Yes};
    Create();
    ExpectErrorAfterBuild(Boxes, *Window);
    EXPECT_TRUE(Boxes.Messages[0].Text.contains("kurz.bmp"));
    EXPECT_FALSE(fs::exists(Movie));
    EXPECT_FALSE(fs::exists(Page));
    EXPECT_TRUE(Urls.empty());
}

TEST_F(CreateShow, AnUnwritableFolderEndsTheBuildWithTheSystemsMessage) {
    // Root may write anywhere; a file where the folder should be stops anyone.
    WriteFile(Dir / "blocker", "");
    Movie = Dir / "blocker" / "show.swf";
    Find<QLineEdit>("txtOutput")->setText(Q(Movie));
    Create();
    ExpectErrorAfterBuild(Boxes, *Window);
    EXPECT_TRUE(Boxes.Messages[0].Text.contains("show.swf"));
    EXPECT_TRUE(Urls.empty());
}

TEST_F(CreateShow, AMissingOwnMusicFileAbandonsTheBuildOnTheSettingsTab) {
    const fs::path music = Dir / "lied.mp3";
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "sine440-22k-mono.mp3", music);
    ClickTab(2);
    Find<QLineEdit>("txtAudio")->setText(Q(music));
    ClickTab(3);
    ASSERT_EQ(Window->CurrentTab(), 3);
    ASSERT_TRUE(Boxes.Messages.empty()) << Boxes.Messages[0].Text.toStdString();
    // The preview carries the music too: one sound definition.
    ASSERT_EQ(Preview.Loads.size(), 2u);
    EXPECT_EQ(pictova::test::WalkSwf(Preview.Loads[1].Bytes).TagsWithCode(14).size(), 1u);

    fs::remove(music);
    Boxes.YesNoCancel = {TAnswer::Yes};
    Create();
    ASSERT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_EQ(Boxes.Messages[0].Text.toStdString(), MissingMusicFileMessage(music));
    EXPECT_EQ(Window->CurrentTab(), 2);
    EXPECT_TRUE(Window->isEnabled());
    EXPECT_FALSE(fs::exists(Movie));
    EXPECT_FALSE(fs::exists(Page));
    EXPECT_TRUE(Urls.empty());
}

TEST_F(CreateShow, AnEmptyOutputFieldAsksNothingAndSaysSo) {
    for (const fs::path& output : {fs::path(), Dir / "out" / ""}) {
        Boxes.Messages.clear();
        Find<QLineEdit>("txtOutput")->setText(Q(output));
        Create();
        ExpectErrorAfterBuild(Boxes, *Window);
        EXPECT_EQ(Boxes.Messages[0].Text, "Es ist keine Ausgabedatei angegeben.");
    }
    EXPECT_TRUE(Boxes.Questions.empty());
    EXPECT_TRUE(Boxes.Overwrites.empty());
}

class CreateShowWithoutTemplate : public CreateShow {
protected:
    CreateShowWithoutTemplate() : CreateShow({fs::path("data") / "template.html"}) {}
};

TEST_F(CreateShowWithoutTemplate, LeavesNoMovieWithoutItsPage) {
    Boxes.YesNoCancel = {TAnswer::Yes};
    Create();
    ExpectErrorAfterBuild(Boxes, *Window);
    EXPECT_TRUE(Boxes.Messages[0].Text.contains("template.html"));
    EXPECT_FALSE(fs::exists(Movie));
    EXPECT_FALSE(fs::exists(Page));
    EXPECT_TRUE(Urls.empty());
}

} // namespace
} // namespace pictova::desktop::test
