// Listening to music in the settings tab, with a stand-in player that checks
// that no file is deleted while it may still read it, and the real Qt player
// where this machine can tell the answer.
#include "desktop/MusicListening.h"
#include "desktop/QtAudioPlayer.h"
#include "show/BackgroundMusic.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>

#include <deque>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pictova;
using namespace pictova::desktop;
using pictova::test::TempDir;
using pictova::test::WriteFile;

namespace {

struct TPlayCall {
    fs::path File;
    std::string Bytes; // the file's content when it was given to the player
};

class TFakePlayer : public TAudioPlayer {
public:
    // Answers of the next Play calls; Playing once they run out.
    std::deque<TResult> Answers;
    std::vector<TPlayCall> Calls;
    int Stops = 0;
    // Files that were gone while the player still held them.
    std::vector<fs::path> DeletedUnderPlayer;

    TResult Play(const QString& file, QString* error) override {
        CheckHeldFile();
        const fs::path path = file.toStdString();
        Calls.push_back({path, pictova::test::ReadFileBytes(path)});
        TResult answer = TResult::Playing;
        if (!Answers.empty()) {
            answer = Answers.front();
            Answers.pop_front();
        }
        if (answer == TResult::Failed && error)
            *error = QStringLiteral("refused");
        // A refused file stays opened until Stop, as in the real player.
        Held = answer == TResult::NoAudioOutput ? fs::path() : path;
        return answer;
    }
    void Stop() override {
        CheckHeldFile();
        ++Stops;
        Held.clear();
    }
    bool HasFile() const override { return !Held.empty(); }
    ~TFakePlayer() override { CheckHeldFile(); }

private:
    void CheckHeldFile() {
        std::error_code ec;
        if (!Held.empty() && !fs::exists(Held, ec))
            DeletedUnderPlayer.push_back(Held);
    }
    fs::path Held;
};

struct TShownMessage {
    QString Text;
    TMessageKind Kind;
};

class TFakeBoxes : public TMessageBoxes {
public:
    std::vector<TShownMessage> Shown;
    void ShowMessage(QWidget*, const QString& text, TMessageKind kind) override {
        Shown.push_back({text, kind});
    }
    TAnswer AskYesNoCancel(QWidget*, const QString&) override { return TAnswer::Cancel; }
    TAnswer AskOverwrite(QWidget*, const QString&) override { return TAnswer::Cancel; }
};

// An ID3v2.3 tag of `body` bytes (all zero: padding) before `audio`.
std::string WithID3v2(size_t body, const std::string& audio) {
    std::string tag = "ID3";
    tag += {'\x03', '\x00', '\x00'};
    tag += {char((body >> 21) & 0x7F), char((body >> 14) & 0x7F), char((body >> 7) & 0x7F),
            char(body & 0x7F)};
    return tag + std::string(body, '\0') + audio;
}

// The start of an MPEG-1 Layer III frame (128 kbit/s, 44.1 kHz) and some bytes.
const std::string kFrame = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\x11');

bool StartsAsMp3(const std::string& bytes) {
    return bytes.rfind("ID3", 0) == 0 ||
           (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && (uint8_t(bytes[1]) & 0xE0) == 0xE0);
}

class MusicListeningTest : public testing::Test {
protected:
    TempDir Files; // made before TMPDIR changes, so it lies elsewhere
    // Working copies go into a folder of the test's own.
    TempDir Temp;
    pictova::test::ScopedEnv TmpDir{"TMPDIR", Temp.path().string()};
    TFakePlayer Player;
    TFakeBoxes Boxes;
    fs::path ProgramFolder = PICTOVA_PROGRAM_DIR;

    std::vector<fs::path> WorkingCopies() const {
        std::vector<fs::path> out;
        for (const auto& entry : fs::directory_iterator(Temp.path()))
            out.push_back(entry.path());
        return out;
    }
};

TEST_F(MusicListeningTest, TrackPreviewPlaysADecipheredCopyThatGoesWithTheNextPlayOrStop) {
    {
        TMusicListening listening(Player, Boxes, nullptr, ProgramFolder);
        const TAudioChoice tracks[] = {TAudioChoice::Track1, TAudioChoice::Track2,
                                       TAudioChoice::Track3, TAudioChoice::Track4};
        for (size_t i = 0; i < std::size(tracks); ++i) {
            SCOPED_TRACE(kBuiltInTracks[i].Caption);
            listening.PlayTrackPreview(tracks[i]);
            ASSERT_EQ(Player.Calls.size(), i + 1);
            const TPlayCall& call = Player.Calls.back();
            EXPECT_EQ(call.File.parent_path(), Temp.path());
            EXPECT_EQ(call.File.extension(), ".mp3");
            EXPECT_EQ(call.File.filename().string().rfind(std::string(kTempFilePrefix), 0), 0u);
            EXPECT_TRUE(StartsAsMp3(call.Bytes)) << "first bytes not deciphered";
            // Only the copy now playing is left.
            EXPECT_EQ(WorkingCopies(), std::vector<fs::path>{call.File});
            EXPECT_TRUE(listening.Status().contains(QString::fromUtf8(
                kBuiltInTracks[i].Caption.data(), qsizetype(kBuiltInTracks[i].Caption.size()))));
        }
        listening.StopIfPlaying();
        EXPECT_FALSE(Player.HasFile());
        EXPECT_TRUE(WorkingCopies().empty());
        EXPECT_TRUE(listening.Status().isEmpty());

        // Destroyed while playing: the player is stopped before the copy goes.
        listening.PlayTrackPreview(TAudioChoice::Track2);
        EXPECT_EQ(WorkingCopies().size(), 1u);
    }
    EXPECT_FALSE(Player.HasFile());
    EXPECT_TRUE(WorkingCopies().empty());
    EXPECT_TRUE(Player.DeletedUnderPlayer.empty());
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(MusicListeningTest, TrackPreviewThatFailsShowsAnErrorAndLeavesNoCopy) {
    TMusicListening listening(Player, Boxes, nullptr, ProgramFolder);
    Player.Answers = {TAudioPlayer::TResult::Failed};
    listening.PlayTrackPreview(TAudioChoice::Track3);
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(Boxes.Shown[0].Text.contains(QStringLiteral("Merry")));
    EXPECT_FALSE(Player.HasFile());
    EXPECT_TRUE(WorkingCopies().empty());

    // A track file that is missing beside the program: a message, no player.
    TMusicListening elsewhere(Player, Boxes, nullptr, Files.path());
    elsewhere.PlayTrackPreview(TAudioChoice::Track1);
    EXPECT_EQ(Player.Calls.size(), 1u);
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    EXPECT_EQ(Boxes.Shown[1].Kind, TMessageKind::Error);
    EXPECT_TRUE(WorkingCopies().empty());
    EXPECT_TRUE(Player.DeletedUnderPlayer.empty());
}

TEST_F(MusicListeningTest, MissingOwnFileIsReportedWithoutPlaying) {
    TMusicListening listening(Player, Boxes, nullptr, ProgramFolder);
    for (const fs::path& file : {Files / "gone.mp3", Files.path(), fs::path()}) {
        SCOPED_TRACE(file.string());
        Boxes.Shown.clear();
        listening.PlayOwnFile(file);
        ASSERT_EQ(Boxes.Shown.size(), 1u);
        EXPECT_EQ(Boxes.Shown[0].Text, QStringLiteral("Die angegebene Audiodatei existiert nicht "
                                                      "und kann daher nicht abgespielt werden."));
        EXPECT_EQ(Boxes.Shown[0].Kind, TMessageKind::Error);
    }
    EXPECT_TRUE(Player.Calls.empty());
}

struct TOwnFileCase {
    const char* Name;
    std::string Content;
    std::deque<TAudioPlayer::TResult> Answers;
    // What the retry plays (empty: no retry).
    std::string Retried;
    bool Message; // "kann nicht abgespielt werden"
};

void PrintTo(const TOwnFileCase& row, std::ostream* out) {
    *out << row.Name;
}

class OwnFileListening : public MusicListeningTest,
                         public testing::WithParamInterface<TOwnFileCase> {};

TEST_P(OwnFileListening, PlaysTheFileOrRetriesOnceWithoutID3v2) {
    const TOwnFileCase& row = GetParam();
    const fs::path file = Files / "Mein Lied.mp3";
    WriteFile(file, row.Content);
    Player.Answers = row.Answers;
    {
        TMusicListening listening(Player, Boxes, nullptr, ProgramFolder);
        listening.PlayOwnFile(file);

        ASSERT_GE(Player.Calls.size(), 1u);
        EXPECT_EQ(Player.Calls[0].File, file);
        if (row.Retried.empty()) {
            EXPECT_EQ(Player.Calls.size(), 1u);
        } else {
            ASSERT_EQ(Player.Calls.size(), 2u);
            EXPECT_NE(Player.Calls[1].File, file);
            EXPECT_EQ(Player.Calls[1].Bytes, row.Retried);
            EXPECT_NE(Player.Calls[1].Bytes.rfind("ID3", 0), 0u);
        }
        if (row.Message) {
            ASSERT_EQ(Boxes.Shown.size(), 1u);
            EXPECT_EQ(Boxes.Shown[0].Text,
                      QStringLiteral("Die gewählte Audiodatei kann nicht abgespielt werden."));
            EXPECT_EQ(Boxes.Shown[0].Kind, TMessageKind::Error);
            EXPECT_FALSE(Player.HasFile());
            EXPECT_TRUE(listening.Status().isEmpty());
            EXPECT_TRUE(WorkingCopies().empty());
        } else {
            EXPECT_TRUE(Boxes.Shown.empty());
            EXPECT_TRUE(listening.Status().contains(QStringLiteral("Mein Lied.mp3")));
        }
        listening.StopIfPlaying();
        EXPECT_FALSE(Player.HasFile());
        EXPECT_TRUE(WorkingCopies().empty());
    }
    EXPECT_EQ(pictova::test::ReadFileBytes(file), row.Content) << "the user's file was changed";
    EXPECT_TRUE(Player.DeletedUnderPlayer.empty());
}

using R = TAudioPlayer::TResult;
INSTANTIATE_TEST_SUITE_P(
    Rows, OwnFileListening,
    testing::Values(
        TOwnFileCase{"AcceptedAtOnce", WithID3v2(40, kFrame), {R::Playing}, "", false},
        TOwnFileCase{"RefusedThenPlayedWithoutTag",
                     WithID3v2(40, kFrame),
                     {R::Failed, R::Playing},
                     kFrame,
                     false},
        TOwnFileCase{"TwoStackedTagsBothGo",
                     WithID3v2(12, WithID3v2(30, kFrame)),
                     {R::Failed, R::Playing},
                     kFrame,
                     false},
        TOwnFileCase{"WithoutTagRetriedUnchanged", kFrame, {R::Failed, R::Playing}, kFrame, false},
        TOwnFileCase{"RefusedTwice", WithID3v2(40, kFrame), {R::Failed, R::Failed}, kFrame, true}),
    [](const testing::TestParamInfo<TOwnFileCase>& info) { return std::string(info.param.Name); });

TEST_F(MusicListeningTest, WithoutAudioOutputTheStatusSaysSoAndNoBoxAppears) {
    const fs::path file = Files / "own.mp3";
    WriteFile(file, WithID3v2(20, kFrame));
    const QString noOutput =
        QStringLiteral("Kein Audioausgabegerät gefunden – die Musik kann nicht angehört werden.");
    TMusicListening listening(Player, Boxes, nullptr, ProgramFolder);
    Player.Answers = {R::NoAudioOutput, R::NoAudioOutput};
    listening.PlayTrackPreview(TAudioChoice::Track1);
    EXPECT_EQ(listening.Status(), noOutput);
    EXPECT_TRUE(WorkingCopies().empty());
    listening.PlayOwnFile(file);
    EXPECT_EQ(listening.Status(), noOutput);
    EXPECT_EQ(Player.Calls.size(), 2u) << "no retry without an output";
    EXPECT_TRUE(Boxes.Shown.empty());
    // Leaving the tab keeps the explanation: nothing was playing.
    listening.StopIfPlaying();
    EXPECT_EQ(Player.Stops, 0);
    EXPECT_EQ(listening.Status(), noOutput);
}

// The real player. Here it can only be judged without a sound device, where
// it must refuse to start.
TEST(QtAudioPlayerTest, RefusesToPlayWithoutAudioOutput) {
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "this machine has an audio output";
    TempDir temp;
    pictova::test::ScopedEnv tmpdir("TMPDIR", temp.path().string());
    TTemporaryFile copy =
        MakeMusicWorkingCopy(BuiltInTrackFile(PICTOVA_PROGRAM_DIR, TAudioChoice::Track1), true);
    TQtAudioPlayer player;
    QString error;
    EXPECT_EQ(player.Play(QString::fromStdString(copy.Path().string()), &error),
              TAudioPlayer::TResult::NoAudioOutput);
    EXPECT_FALSE(player.HasFile());
}

} // namespace
