// The embedded player with the real Ruffle in Qt WebEngine (offscreen): frame
// reports, holding the last frame, replacing movies, failures.
#include "desktop/RufflePlayer.h"
#include "desktop/RuffleController.h"
#include "movie/FlashActionScript.h"
#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "platform/PngDecoder.h"
#include "swf/BitmapTags.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace pictova::desktop {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr int StageWidth = 120;
constexpr int StageHeight = 90;
// Generous: Ruffle's start-up in WebEngine takes over a second on a quiet
// machine and several on a busy one.
constexpr int LoadWait = 60000;

struct TColour {
    int R, G, B;
};

// Far apart from each other, so that a sampled pixel names its frame.
const std::vector<TColour> FrameColours = {
    {230, 25, 75},  {60, 180, 75},  {255, 225, 25}, {0, 130, 200}, {245, 130, 48},
    {145, 30, 180}, {70, 240, 240}, {240, 50, 230}, {128, 128, 0}, {0, 0, 128},
};

// One full-stage rectangle of its own colour per frame; a Stop action in
// stopFrame (0-based) when it is not negative.
void WriteColourMovie(const std::filesystem::path& file, const std::vector<TColour>& colours,
                      float frameRate = 10.0f, int stopFrame = -1, bool compressed = false) {
    TFlashMovie movie(0, 0, StageWidth, StageHeight, frameRate, true);
    movie.BackgroundColor().SetRGB(SWFRGB{255, 255, 255});
    if (compressed)
        movie.SetCompressed(true);
    for (size_t k = 0; k < colours.size(); ++k) {
        TFlashShape& shape = movie.AddRectangle(0, 0, StageWidth, StageHeight);
        const TColour& c = colours[k];
        shape.SetSolidColor(MakeRGBA(uint8_t(c.R), uint8_t(c.G), uint8_t(c.B), 255));
        movie.PlaceObject(shape, uint16_t(k + 1));
        if (int(k) == stopFrame)
            movie.FrameActions().Stop();
        movie.ShowFrame();
    }
    movie.MakeStream();
    movie.SaveToFile(file);
}

// A colour-mapped 10 x 10 picture whose rows lack their padding to 12
// bytes: Ruffle panics on such data, and its player is dead after that.
std::string BrokenBitmapMovie() {
    constexpr int Side = 10;
    TFlashMovie movie(0, 0, Side, Side, 10.0f, true);
    movie.BackgroundColor().SetRGB(SWFRGB{255, 255, 255});
    TDecodedPicture picture;
    picture.Width = Side;
    picture.Height = Side;
    picture.BitsPerPixel = 8;
    picture.Palette.resize(4);
    picture.Pixels.assign(Side * Side, 1);
    TFlashImage& image = movie.AddImage();
    image.LoadFromDecodedPicture(picture);
    movie.PlaceObject(movie.AddShapeImage(image), 1);
    movie.ShowFrame();
    movie.MakeStream();
    std::ostringstream out;
    movie.SaveToStream(out);

    const test::WalkedMovie walked = test::WalkSwf(out.str());
    const auto lossless = walked.TagsWithCode(20); // DefineBitsLossless
    if (lossless.size() != 1 || lossless[0]->Body[2] != 3)
        throw std::runtime_error("expected one colour-mapped DefineBitsLossless tag");
    const test::WalkedTag& tag = *lossless[0];
    const int colours = uint8_t(tag.Body[7]) + 1;
    std::vector<uint8_t> data(size_t(colours * 3 + Side * Side), 1);
    const std::vector<uint8_t> packed = CompressBitmapData(data.data(), data.size());
    // Character ID, format, width, height and table size stay.
    const std::string body = tag.Body.substr(0, 8) + std::string(packed.begin(), packed.end());
    const uint32_t length = uint32_t(body.size());
    const std::string header =
        test::Bytes({(20 << 6 | 0x3F) & 0xFF, (20 << 6 | 0x3F) >> 8, int(length & 0xFF),
                     int(length >> 8 & 0xFF), int(length >> 16 & 0xFF), int(length >> 24)});
    const size_t end = tag.Offset + (tag.LongHeader ? 6 : 2) + tag.Length;
    std::string file =
        walked.Uncompressed.substr(0, tag.Offset) + header + body + walked.Uncompressed.substr(end);
    const uint32_t size = uint32_t(file.size());
    for (int i = 0; i < 4; ++i)
        file[size_t(4 + i)] = char(size >> (8 * i) & 0xFF);
    return file;
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    return QTest::qWaitFor(condition, milliseconds);
}

// Index of the frame colour nearest to the pixel in the widget's middle, or
// -1 when none is close.
int ShownColour(QWidget& widget, const std::vector<TColour>& colours) {
    const QImage image = widget.grab().toImage();
    if (image.isNull())
        return -1;
    const QColor pixel = image.pixelColor(image.width() / 2, image.height() / 2);
    int best = -1;
    int bestDistance = 3 * 12 * 12; // a few units of rounding per channel
    for (size_t k = 0; k < colours.size(); ++k) {
        const int dr = pixel.red() - colours[k].R;
        const int dg = pixel.green() - colours[k].G;
        const int db = pixel.blue() - colours[k].B;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(k);
        }
    }
    return best;
}

class RufflePlayerTest : public ::testing::Test {
protected:
    RufflePlayerTest() : Player(PICTOVA_PROGRAM_DIR) {
        Player.Widget()->resize(StageWidth * 2, StageHeight * 2);
        Player.Widget()->show();
    }

    std::filesystem::path Movie(const std::string& name, const std::vector<TColour>& colours,
                                float frameRate = 10.0f, int stopFrame = -1) {
        const std::filesystem::path file = Dir / name;
        WriteColourMovie(file, colours, frameRate, stopFrame);
        return file;
    }

    // Loads and waits for MovieLoaded; false on LoadFailed or time-out.
    bool Load(const std::filesystem::path& file, bool loop) {
        QSignalSpy loaded(&Player, &TMoviePlayer::MovieLoaded);
        QSignalSpy failed(&Player, &TMoviePlayer::LoadFailed);
        Player.LoadMovie(QString::fromStdString(file.string()), loop);
        WaitFor([&] { return loaded.count() + failed.count() > 0; }, LoadWait);
        if (failed.count() > 0)
            ADD_FAILURE() << "LoadFailed: " << failed.at(0).at(0).toString().toStdString();
        return loaded.count() == 1 && failed.count() == 0;
    }

    bool WaitForFrame(int frame) {
        return WaitFor([&] { return Player.CurrentFrame() == frame; }, LoadWait);
    }

    // The frame stays put for a second (ten ticks at 10 frames a second).
    void ExpectHeld(int frame) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) {
            ASSERT_EQ(Player.CurrentFrame(), frame);
            QTest::qWait(20);
        }
    }

    TempDir Dir;
    TRufflePlayer Player;
};

TEST_F(RufflePlayerTest, WithoutLoopTheMovieStopsOnItsLastFrame) {
    ASSERT_TRUE(Load(Movie("ten.swf", FrameColours), false));
    EXPECT_EQ(Player.TotalFrames(), 10);
    ASSERT_TRUE(WaitForFrame(9));
    ExpectHeld(9);
    EXPECT_EQ(ShownColour(*Player.Widget(), FrameColours), 9);
}

TEST_F(RufflePlayerTest, WithLoopTheMovieStartsAgain) {
    ASSERT_TRUE(Load(Movie("ten.swf", FrameColours), true));
    ASSERT_TRUE(WaitForFrame(9));
    EXPECT_TRUE(WaitFor([&] { return Player.CurrentFrame() < 9; }, LoadWait));
    EXPECT_EQ(Player.TotalFrames(), 10);
}

TEST_F(RufflePlayerTest, StopActionOfTheMovieHoldsItsFrame) {
    // Looping on: only the movie's own Stop holds frame 4.
    ASSERT_TRUE(Load(Movie("stop.swf", FrameColours, 10.0f, 4), true));
    ASSERT_TRUE(WaitForFrame(4));
    ExpectHeld(4);
    EXPECT_EQ(ShownColour(*Player.Widget(), FrameColours), 4);
}

TEST_F(RufflePlayerTest, ALaterMovieReplacesTheFirstAndOutlivesItsFile) {
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Load(Movie("first.swf", FrameColours), false));
    const qint64 firstLoad = clock.elapsed();

    const std::vector<TColour> second(FrameColours.begin() + 5, FrameColours.begin() + 9);
    const std::filesystem::path file = Movie("second.swf", second);
    QSignalSpy loaded(&Player, &TMoviePlayer::MovieLoaded);
    clock.restart();
    Player.LoadMovie(QString::fromStdString(file.string()), false);
    std::filesystem::remove(file);
    ASSERT_TRUE(WaitFor([&] { return loaded.count() > 0; }, LoadWait));
    const qint64 secondLoad = clock.elapsed();
    EXPECT_EQ(Player.TotalFrames(), 4);
    ASSERT_TRUE(WaitForFrame(3));
    // The report comes in before the frame is painted: look once it is held.
    ExpectHeld(3);
    EXPECT_EQ(ShownColour(*Player.Widget(), FrameColours), 8);
    std::cout << "Ruffle start-up and first movie: " << firstLoad
              << " ms; second movie: " << secondLoad << " ms\n";
}

TEST_F(RufflePlayerTest, BackToBackLoadsShowOnlyTheLast) {
    // As the main window does: a blank movie, at once followed by the show,
    // both while Ruffle is still starting.
    const std::filesystem::path blank = Dir / "blank.swf";
    MakeBlankMovie(blank, SWFRGB{255, 255, 255});
    QSignalSpy loaded(&Player, &TMoviePlayer::MovieLoaded);
    Player.LoadMovie(QString::fromStdString(blank.string()), false);
    std::filesystem::remove(blank);
    Player.LoadMovie(QString::fromStdString(Movie("show.swf", FrameColours).string()), false);
    ASSERT_TRUE(WaitFor([&] { return loaded.count() > 0; }, LoadWait));
    EXPECT_EQ(Player.TotalFrames(), 10);
    ASSERT_TRUE(WaitForFrame(9));
    EXPECT_EQ(loaded.count(), 1);
}

TEST_F(RufflePlayerTest, HiddenPlayerWaitsForItsMovieUntilShown) {
    // A player on a hidden tab gets a movie (the blank one when the preview
    // tab is left): that is no failure, it plays once shown.
    Player.Widget()->hide();
    ASSERT_TRUE(WaitFor([&] { return Player.IsReady(); }, LoadWait));
    Player.SetLoadTimeout(1000);
    QSignalSpy loaded(&Player, &TMoviePlayer::MovieLoaded);
    QSignalSpy failed(&Player, &TMoviePlayer::LoadFailed);
    Player.LoadMovie(QString::fromStdString(Movie("hidden.swf", FrameColours).string()), false);
    QTest::qWait(3000);
    EXPECT_EQ(failed.count(), 0);
    // Showing starts the time afresh; a busy machine gets plenty of it.
    Player.SetLoadTimeout(LoadWait);
    Player.Widget()->show();
    ASSERT_TRUE(WaitFor([&] { return loaded.count() + failed.count() > 0; }, LoadWait));
    EXPECT_EQ(failed.count(), 0);
    EXPECT_TRUE(WaitForFrame(9));
}

TEST_F(RufflePlayerTest, StopFreezesTheMovieAndPlayGoesOn) {
    std::vector<TColour> colours;
    for (int k = 0; k < 100; ++k)
        colours.push_back(FrameColours[size_t(k) % FrameColours.size()]);
    ASSERT_TRUE(Load(Movie("long.swf", colours), true));
    ASSERT_TRUE(WaitFor([&] { return Player.CurrentFrame() >= 3; }, LoadWait));
    Player.Stop();
    QTest::qWait(300); // frames reported before the page took the stop
    const int stopped = Player.CurrentFrame();
    ExpectHeld(stopped);
    Player.Play();
    EXPECT_TRUE(WaitFor([&] { return Player.CurrentFrame() != stopped; }, LoadWait));
}

TEST_F(RufflePlayerTest, UnplayableFilesGiveLoadFailedAndThePlayerCarriesOn) {
    struct TCase {
        const char* Name;
        std::string Bytes; // written unless the file is missing
        bool Missing = false;
    };
    const std::vector<TCase> cases = {
        {"missing file", "", true},
        {"empty file", ""},
        {"text", "This is not a movie at all, only words."},
        {"header cut short", std::string("FWS\x06\x40\x00\x00\x00", 8) + "\x78"},
        {"compressed garbage", std::string("CWS\x06\x40\x00\x00\x00", 8) + "no zlib here"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::filesystem::path file = Dir / "bad.swf";
        std::filesystem::remove(file);
        if (!c.Missing)
            WriteFile(file, c.Bytes);
        QSignalSpy loaded(&Player, &TMoviePlayer::MovieLoaded);
        QSignalSpy failed(&Player, &TMoviePlayer::LoadFailed);
        Player.LoadMovie(QString::fromStdString(file.string()), false);
        EXPECT_EQ(failed.count(), 0) << "reported before LoadMovie returned";
        ASSERT_TRUE(WaitFor([&] { return failed.count() > 0; }, LoadWait));
        EXPECT_FALSE(failed.at(0).at(0).toString().isEmpty());
        EXPECT_EQ(loaded.count(), 0);
        EXPECT_EQ(Player.TotalFrames(), 0);
    }
    ASSERT_TRUE(Load(Movie("good.swf", FrameColours), false));
    EXPECT_EQ(Player.TotalFrames(), 10);
}

TEST_F(RufflePlayerTest, PlayerPanicGivesLoadFailedAndANewPlayerTakesTheNextMovie) {
    const std::filesystem::path file = Dir / "broken.swf";
    WriteFile(file, BrokenBitmapMovie());
    QSignalSpy failed(&Player, &TMoviePlayer::LoadFailed);
    Player.LoadMovie(QString::fromStdString(file.string()), false);
    ASSERT_TRUE(WaitFor([&] { return failed.count() > 0; }, LoadWait));
    EXPECT_TRUE(failed.at(0).at(0).toString().contains("panicked"))
        << failed.at(0).at(0).toString().toStdString();
    ASSERT_TRUE(Load(Movie("good.swf", FrameColours), false));
    ASSERT_TRUE(WaitForFrame(9));
    ExpectHeld(9);
    EXPECT_EQ(ShownColour(*Player.Widget(), FrameColours), 9);
}

TEST(RufflePlayerLifetimeTest, PlayerOutlivingItsViewFailsMoviesSafely) {
    // The window puts the view into a panel, which may go first.
    QWidget window;
    TRufflePlayer player(PICTOVA_PROGRAM_DIR, &window);
    auto* panel = new QWidget(&window);
    player.Widget()->setParent(panel);
    delete panel;
    EXPECT_EQ(player.Widget(), nullptr);

    TempDir dir;
    WriteColourMovie(dir / "movie.swf", FrameColours);
    QSignalSpy failed(&player, &TMoviePlayer::LoadFailed);
    player.LoadMovie(QString::fromStdString((dir / "movie.swf").string()), false);
    player.Stop();
    player.Play();
    EXPECT_TRUE(WaitFor([&] { return failed.count() > 0; }, LoadWait));
}

// The facts the controller copies, from plain and compressed movies.
TEST(RuffleControllerTest, MovieFactsComeFromHeaderAndFirstFrame) {
    TempDir dir;
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "CWS" : "FWS");
        const std::filesystem::path file = dir / "movie.swf";
        WriteColourMovie(file, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, 12.5f, -1, compressed);
        const TMovieFacts facts = ReadMovieFacts(pictova::test::ReadFileBytes(file));
        EXPECT_EQ(facts.Compressed, compressed);
        EXPECT_EQ(facts.FrameRect.Left, 0);
        EXPECT_EQ(facts.FrameRect.Top, 0);
        EXPECT_EQ(facts.FrameRect.Right, StageWidth * 20); // twips
        EXPECT_EQ(facts.FrameRect.Bottom, StageHeight * 20);
        EXPECT_EQ(facts.FPS, 12 * 256 + 128); // 12.5 in 8.8
        EXPECT_EQ(facts.FrameCount, 3);
        EXPECT_TRUE(facts.HasBackground);
        EXPECT_EQ(facts.Background.R, 255);

        // The controller takes over stage, rate and colour.
        const TMovieFacts controller = ReadMovieFacts(MakeControllerMovie(facts, false));
        EXPECT_EQ(controller.FrameRect.Right, facts.FrameRect.Right);
        EXPECT_EQ(controller.FrameRect.Bottom, facts.FrameRect.Bottom);
        EXPECT_EQ(controller.FPS, facts.FPS);
        EXPECT_TRUE(controller.HasBackground);
        EXPECT_EQ(controller.Background.G, 255);
    }
}

TEST(RuffleControllerTest, MovieWithoutBackgroundGetsAWhiteStage) {
    TFlashMovie movie(0, 0, 10, 10, 20.0f, true);
    movie.ShowFrame();
    movie.MakeStream();
    std::ostringstream out;
    movie.SaveToStream(out);
    const TMovieFacts facts = ReadMovieFacts(out.str());
    EXPECT_FALSE(facts.HasBackground);
    const TMovieFacts controller = ReadMovieFacts(MakeControllerMovie(facts, true));
    EXPECT_TRUE(controller.HasBackground);
    EXPECT_EQ(controller.Background.R, 255);
    EXPECT_EQ(controller.Background.G, 255);
    EXPECT_EQ(controller.Background.B, 255);
}

} // namespace
} // namespace pictova::desktop
