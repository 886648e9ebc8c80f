#include "show/SlideShowBuild.h"

#include "movie/FlashMovie.h"
#include "movie/ProgressSink.h"
#include "platform/Errors.h"
#include "platform/JpegCodec.h"
#include "platform/PngDecoder.h"
#include "show/ImageSize.h"
#include "show/Transitions.h"
#include "swf/SWFObject.h"
#include "tests/support/DisplayList.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::DisplayChanges;
using test::WalkedChange;
using test::WalkedMovie;

constexpr uint16_t kDefineShape2 = 22, kDefineBitsLossless = 20, kDefineBitsJPEG2 = 21,
                   kProtect = 24, kSetBackgroundColor = 9;

// An item as the project makes it: the size read from the file's header (0
// when it cannot be read).
recImgItems Item(const fs::path& file, int effect, int duration) {
    recImgItems item;
    item.FileName = file;
    if (const auto size = ReadImageSize(file)) {
        item.Width = size->Width;
        item.Height = size->Height;
    }
    item.Effect = effect;
    item.Duration = duration;
    return item;
}

struct TShow {
    TBuildResult Result;
    WalkedMovie Movie;
    std::vector<WalkedChange> Changes;
};

TShow Walk(const TBuildResult& result, const fs::path& file) {
    TShow show{result, test::WalkSwfFile(file), {}};
    show.Changes = DisplayChanges(show.Movie);
    return show;
}

// The first placement of a depth.
const WalkedChange* FirstAt(const TShow& show, uint16_t depth) {
    for (const WalkedChange& c : show.Changes)
        if (!c.Remove && c.Place.Depth == depth)
            return &c;
    return nullptr;
}

uint16_t IdOf(const test::WalkedTag& tag) {
    return uint16_t(uint8_t(tag.Body[0]) | uint8_t(tag.Body[1]) << 8);
}

// A stand-in for the preloader stage: two shapes, one frame.
int TwoShapePreloader(TFlashMovie& movie, int width, int height) {
    movie.AddRectangle(0, 0, width, 4);
    movie.AddRectangle(0, 0, width, height);
    movie.ShowFrame(1);
    return 2;
}

class SlideShowBuild : public ::testing::Test {
protected:
    fs::path Jpeg(const std::string& name, int width, int height) {
        const fs::path file = Dir / name;
        test::WriteJpegFile(file, width, height);
        return file;
    }

    TShow Build(const std::vector<recImgItems>& items, bool preview, uint32_t seed = 1,
                TBuildServices services = {}, TShowOptions options = {}) {
        TEffectDraw draw(seed);
        const TBuildResult result = BuildShow(items, options, Out, preview, draw, services);
        return Walk(result, Out);
    }

    test::TempDir Dir;
    fs::path Out = Dir / "show.swf";
};

TEST_F(SlideShowBuild, CanvasIsTheLargestWidthAndTheLargestHeight) {
    int fittedW = 0, fittedH = 0;
    TBuildServices services;
    services.FitPreviewPlayer = [&](int w, int h) { fittedW = w, fittedH = h; };
    const TShow show =
        Build({Item(Jpeg("a.jpg", 640, 480), 1, 1), Item(Jpeg("b.jpg", 800, 300), 1, 1)}, true, 1,
              services);
    EXPECT_EQ(show.Result.Width, 800);
    EXPECT_EQ(show.Result.Height, 480);
    EXPECT_EQ(fittedW, 800);
    EXPECT_EQ(fittedH, 480);
    EXPECT_EQ(show.Movie.FrameSize.Xmin, 0);
    EXPECT_EQ(show.Movie.FrameSize.Xmax, 16000); // twips
    EXPECT_EQ(show.Movie.FrameSize.Ymin, 0);
    EXPECT_EQ(show.Movie.FrameSize.Ymax, 9600);
    EXPECT_EQ(show.Movie.FrameRate, 20 << 8);
    EXPECT_EQ(show.Movie.Version, 6);
    EXPECT_TRUE(show.Movie.TagsWithCode(kSetBackgroundColor).empty());
    // Each picture centred on the canvas.
    ASSERT_TRUE(FirstAt(show, 0) && FirstAt(show, 1));
    EXPECT_EQ(FirstAt(show, 0)->Place.Matrix.TranslateX, 80 * 20);
    EXPECT_EQ(FirstAt(show, 0)->Place.Matrix.TranslateY, 0);
    EXPECT_EQ(FirstAt(show, 1)->Place.Matrix.TranslateX, 0);
    EXPECT_EQ(FirstAt(show, 1)->Place.Matrix.TranslateY, 90 * 20);
}

TEST_F(SlideShowBuild, PreviewOfOneHardCutPlacesThePictureInTheFirstFrame) {
    bool pageWritten = false;
    TBuildServices services;
    services.WritePage = [&](int, int) { pageWritten = true; };
    services.AddPreloader = [](TFlashMovie&, int, int) -> int {
        ADD_FAILURE() << "the preview has no preloader";
        return 0;
    };
    const TShow show = Build({Item(Jpeg("a.jpg", 64, 48), 1, 5)}, true, 1, services);
    EXPECT_FALSE(pageWritten);
    EXPECT_EQ(show.Movie.FrameCount, 100);
    EXPECT_EQ(show.Result.FrameCount, 100u);
    EXPECT_EQ(show.Result.Effects, std::vector<int>{1});

    ASSERT_EQ(show.Changes.size(), 1u);
    const WalkedChange& placed = show.Changes[0];
    EXPECT_EQ(placed.Frame, 0u);
    EXPECT_EQ(placed.Place.Depth, 0);
    // The picture's definitions come first, and the placement shows the shape.
    const auto bits = show.Movie.TagsWithCode(kDefineBitsJPEG2);
    const auto shapes = show.Movie.TagsWithCode(kDefineShape2);
    ASSERT_EQ(bits.size(), 1u);
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_LT(bits[0]->Offset, shapes[0]->Offset);
    EXPECT_EQ(placed.Place.Character, IdOf(*shapes[0]));
    EXPECT_NE(IdOf(*bits[0]), IdOf(*shapes[0]));
    const auto places = show.Movie.TagsWithCode(26);
    EXPECT_LT(shapes[0]->Offset, places[0]->Offset);
}

TEST_F(SlideShowBuild, FrameCountsAreTransitionsPlusDisplayTimes) {
    const std::vector<recImgItems> items = {Item(Jpeg("a.jpg", 64, 48), 2, 1),
                                            Item(Jpeg("b.jpg", 64, 48), 3, 2)};
    struct Row {
        const char* Name;
        bool Preview;
        bool Preloader; // the build's own; off means an empty stage
        uint16_t Frames;
        uint16_t FirstDepth; // of picture 0
        size_t FirstFrame;   // in which picture 0 appears
    };
    const Row rows[] = {
        {"preview", true, true, 26 + 20 + 51 + 40, 0, 0},
        {"final", false, true, 1 + (26 + 20) + (51 + 40), 2, 1},
        {"final without a preloader stage", false, false, 26 + 20 + 51 + 40, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        int pages = 0;
        TBuildServices services;
        if (!row.Preloader)
            services.AddPreloader = nullptr;
        services.WritePage = [&](int w, int h) {
            ++pages;
            EXPECT_EQ(w, 64);
            EXPECT_EQ(h, 48);
            EXPECT_TRUE(fs::exists(Out)) << "the page follows the movie";
        };
        const TShow show = Build(items, row.Preview, 1, services);
        EXPECT_EQ(show.Movie.FrameCount, row.Frames);
        EXPECT_EQ(show.Result.FrameCount, row.Frames);
        EXPECT_EQ(ShowFrameCount(items, {2, 3}, !row.Preview && row.Preloader), row.Frames);
        EXPECT_EQ(pages, row.Preview ? 0 : 1);
        const WalkedChange* first = FirstAt(show, row.FirstDepth);
        const WalkedChange* second = FirstAt(show, uint16_t(row.FirstDepth + 1));
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->Frame, row.FirstFrame);
        // After 26 fading and 20 standing frames.
        EXPECT_EQ(second->Frame, row.FirstFrame + 46);
        fs::remove(Out);
    }
}

TEST_F(SlideShowBuild, FinalShowStartsWithThePreloaderFrame) {
    const std::vector<recImgItems> items = {Item(Jpeg("a.jpg", 64, 48), 1, 5)};
    const TShow show = Build(items, false);
    EXPECT_EQ(show.Movie.FrameCount, 101);
    EXPECT_EQ(ShowFrameCount(items, {1}, true), 101u);

    // Frame 1 holds the preloader's objects and nothing else.
    std::vector<uint16_t> frameOne;
    size_t next = 0;
    while (next < show.Movie.Tags.size() && show.Movie.Tags[next].Code != tagShowFrame)
        frameOne.push_back(show.Movie.Tags[next++].Code);
    EXPECT_EQ(frameOne, (std::vector<uint16_t>{tagDefineShape2, tagDefineShape2, tagDefineFont2,
                                               tagDefineEditText, tagDefineSprite, tagDefineSprite,
                                               tagPlaceObject2, tagDoAction}));
    ASSERT_LT(next + 1, show.Movie.Tags.size());
    EXPECT_EQ(show.Movie.Tags[next + 1].Code, tagRemoveObject2) << "frame 2 takes it away first";

    // The preloader sprite at depth 0 in frame 1, removed as frame 2 begins;
    // the picture at depth 2 in frame 2.
    ASSERT_EQ(show.Changes.size(), 3u);
    EXPECT_EQ(show.Changes[0].Frame, 0u);
    EXPECT_EQ(show.Changes[0].Place.Depth, 0);
    EXPECT_TRUE(show.Changes[1].Remove);
    EXPECT_EQ(show.Changes[1].Frame, 1u);
    EXPECT_EQ(show.Changes[1].Place.Depth, 0);
    EXPECT_EQ(show.Changes[2].Place.Depth, 2);
    EXPECT_EQ(show.Changes[2].Frame, 1u);
    const auto shapes = show.Movie.TagsWithCode(kDefineShape2);
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(show.Changes[2].Place.Character, IdOf(*shapes[2]));
}

TEST_F(SlideShowBuild, PreloaderStageIsAHookThatGivesTheDepthOffset) {
    const std::vector<recImgItems> items = {Item(Jpeg("a.jpg", 64, 48), 1, 5)};
    TBuildServices services;
    int calls = 0;
    services.AddPreloader = [&](TFlashMovie& movie, int width, int height) {
        ++calls;
        EXPECT_EQ(width, 64);
        EXPECT_EQ(height, 48);
        return TwoShapePreloader(movie, width, height);
    };
    const TShow show = Build(items, false, 1, services);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(show.Movie.FrameCount, 101);
    ASSERT_EQ(show.Changes.size(), 1u);
    EXPECT_EQ(show.Changes[0].Place.Depth, 2);
    EXPECT_EQ(show.Changes[0].Frame, 1u);
}

TEST_F(SlideShowBuild, MusicStageMayAbandonAndSetsLoopsAfterTheTransitions) {
    const std::vector<recImgItems> items = {Item(Jpeg("a.jpg", 16, 16), 2, 1)};
    TShowOptions options;
    options.Audio = TAudioChoice::OwnFile;
    for (bool attach : {false, true}) {
        SCOPED_TRACE(attach ? "attached" : "abandoned");
        int loopsSetAtFrame = -1;
        TBuildServices services;
        services.AttachMusic = [&](TFlashMovie&, TAttachedMusic&) { return attach; };
        services.SetMusicLoops = [&](TFlashMovie& movie, TAttachedMusic&) {
            loopsSetAtFrame = movie.FrameCount();
        };
        TEffectDraw draw(1);
        const TBuildResult result = BuildShow(items, options, Out, true, draw, services);
        EXPECT_EQ(result.Abandoned, !attach);
        EXPECT_EQ(fs::exists(Out), attach);
        EXPECT_EQ(loopsSetAtFrame, attach ? 46 : -1);
    }
}

TEST_F(SlideShowBuild, ProgressStepsOncePerPictureThenFollowsTheWriting) {
    struct TSink : TProgressSink {
        void SetMax(int max) override { Log.push_back("max " + std::to_string(max)); }
        int Max() const override { return 0; }
        void SetPosition(int position) override { Log.push_back("at " + std::to_string(position)); }
        void Step() override { ++Steps; }
        std::vector<std::string> Log;
        int Steps = 0;
    } sink;
    std::vector<std::string> labels;
    TBuildServices services;
    services.Progress = &sink;
    services.ProgressLabel = [&](const std::string& label) {
        labels.push_back(label);
        sink.Log.push_back("label");
    };
    const fs::path file = Jpeg("a.jpg", 16, 16);
    Build({Item(file, 1, 1), Item(file, 1, 1), Item(file, 1, 1)}, true, 1, services);
    EXPECT_EQ(labels, (std::vector<std::string>{"Bilddateien werden verarbeitet ...",
                                                "Diashow wird erstellt ..."}));
    ASSERT_GE(sink.Log.size(), 3u);
    EXPECT_EQ(sink.Log[0], "label");
    EXPECT_EQ(sink.Log[1], "max 3");
    EXPECT_EQ(sink.Log[2], "at 0");
    EXPECT_GT(sink.Steps, 3); // the pictures, then the movie's objects
}

TEST_F(SlideShowBuild, MovieOptionsCompressionAndProtection) {
    struct Row {
        bool Compress, Password;
        std::string Text;
    };
    const Row rows[] = {
        {false, false, ""}, {true, false, ""}, {false, true, ""}, {true, true, "geheim"}};
    const recImgItems item = Item(Jpeg("a.jpg", 16, 16), 1, 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.Compress) + std::to_string(row.Password));
        TShowOptions options;
        options.Compress = row.Compress;
        options.Password = row.Password;
        options.PasswordText = row.Text;
        const TShow show = Build({item}, true, 1, {}, options);
        EXPECT_EQ(show.Movie.Signature, row.Compress ? "CWS" : "FWS");
        const auto protect = show.Movie.TagsWithCode(kProtect);
        ASSERT_EQ(protect.size(), row.Password ? 1u : 0u);
        // An empty text protects with an empty tag, a text with its hash.
        if (row.Password) {
            EXPECT_EQ(protect[0]->Body.empty(), row.Text.empty());
        }
    }
}

TEST_F(SlideShowBuild, RandomEffectsAreDrawnFromOneSeededGenerator) {
    TEffectDraw a(42), b(42);
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const int e = a.Draw();
        EXPECT_EQ(e, b.Draw());
        EXPECT_GE(e, 1);
        EXPECT_LE(e, 16);
        seen.insert(e);
    }
    EXPECT_EQ(seen.size(), 16u);

    const fs::path file = Jpeg("a.jpg", 32, 24);
    const std::vector<recImgItems> items = {Item(file, 0, 1), Item(file, 0, 1), Item(file, 4, 1)};
    const TShow first = Build(items, true, 3);
    const TShow again = Build(items, true, 3);
    ASSERT_EQ(first.Result.Effects.size(), 3u);
    EXPECT_EQ(first.Result.Effects, again.Result.Effects);
    EXPECT_NE(first.Result.Effects[0], first.Result.Effects[1])
        << "two random pictures of one build drew the same effect";
    EXPECT_EQ(first.Result.Effects[2], 4);
    for (int e : first.Result.Effects) {
        EXPECT_GE(e, 1);
        EXPECT_LE(e, 16);
    }
    EXPECT_EQ(first.Movie.FrameCount, ShowFrameCount(items, first.Result.Effects, false));
}

TEST_F(SlideShowBuild, ShowTooLongForTheFrameCountIsRefusedBeforeWriting) {
    const fs::path file = Jpeg("a.jpg", 16, 16);
    struct Row {
        const char* Name;
        std::vector<recImgItems> Items;
        bool Preloader;
        uint32_t Frames;
        bool Refused;
    };
    // 26 + 51 + 76 + 21 + 21 = 195 transition frames and 3267 seconds: 65535.
    const std::vector<recImgItems> exact = {Item(file, 2, 3263), Item(file, 3, 1),
                                            Item(file, 15, 1), Item(file, 7, 1), Item(file, 7, 1)};
    const Row rows[] = {
        {"3276 s of a hard cut", {Item(file, 1, 3276)}, false, 65520, false},
        {"3277 s of a hard cut", {Item(file, 1, 3277)}, false, 65540, true},
        {"3276 s after a fade", {Item(file, 2, 3276)}, false, 65546, true},
        {"exactly 65535", exact, false, 65535, false},
        {"one more with the preloader", exact, true, 65536, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        test::WriteFile(Out, "old movie");
        TBuildServices services;
        bool pageWritten = false;
        services.WritePage = [&](int, int) { pageWritten = true; };
        TEffectDraw draw(1);
        if (row.Refused) {
            try {
                BuildShow(row.Items, {}, Out, !row.Preloader, draw, services);
                ADD_FAILURE() << "built";
            } catch (const EShowError& e) {
                // The words, with "54 Minuten und 36 Sekunden", are the front
                // end's (UserTextsTest); the error carries the numbers.
                EXPECT_EQ(e.Problem(), EShowError::TooLong);
                EXPECT_EQ(e.Value(), row.Frames);
                EXPECT_EQ(e.Limit(), 65535);
                EXPECT_EQ(e.Limit2(), 20);
                const std::string message = e.what();
                EXPECT_NE(message.find(std::to_string(row.Frames)), std::string::npos) << message;
            }
            EXPECT_EQ(test::ReadFileBytes(Out), "old movie");
            EXPECT_FALSE(pageWritten);
        } else {
            const TBuildResult result =
                BuildShow(row.Items, {}, Out, !row.Preloader, draw, services);
            EXPECT_EQ(result.FrameCount, row.Frames);
            EXPECT_EQ(test::WalkSwfFile(Out).FrameCount, row.Frames);
        }
    }
}

TEST_F(SlideShowBuild, PicturesTakeThePathOfTheirFileType) {
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "images/red-37x21.png", Dir / "lower.png");
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "images/red-37x21.png", Dir / "upper.PNG");
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "images/red-37x21-baseline.jpg", Dir / "base.JPEG");
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "images/red-37x21-progressive.jpg",
                  Dir / "prog.jpg");
    test::WriteBmpFile(Dir / "flat.bmp", 37, 21);
    // Camera files: the frame header lies behind large metadata.
    for (const char* name : {"baseline", "progressive"})
        test::WriteFile(
            Dir / (std::string(name) + "-exif.jpg"),
            test::JpegWithMetadata(test::ReadFileBytes(fs::path(PICTOVA_TEST_DATA) / "images" /
                                                       ("red-37x21-" + std::string(name) + ".jpg")),
                                   200 * 1024));
    struct Row {
        const char* File;
        uint16_t Tag;
    };
    const Row rows[] = {{"lower.png", kDefineBitsLossless},
                        {"upper.PNG", kDefineBitsLossless},
                        {"flat.bmp", kDefineBitsLossless},
                        {"base.JPEG", kDefineBitsJPEG2},
                        {"prog.jpg", kDefineBitsJPEG2},
                        {"baseline-exif.jpg", kDefineBitsJPEG2},
                        {"progressive-exif.jpg", kDefineBitsJPEG2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.File);
        const TShow show = Build({Item(Dir / row.File, 1, 1)}, true);
        EXPECT_EQ(show.Result.Width, 37);
        EXPECT_EQ(show.Result.Height, 21);
        std::vector<const test::WalkedTag*> bitmaps;
        for (const test::WalkedTag& tag : show.Movie.Tags)
            if (tag.Code == 6 || tag.Code == 20 || tag.Code == 21 || tag.Code == 35 ||
                tag.Code == 36)
                bitmaps.push_back(&tag);
        ASSERT_EQ(bitmaps.size(), 1u);
        EXPECT_EQ(bitmaps[0]->Code, row.Tag);
        const std::string& body = bitmaps[0]->Body;
        if (row.Tag == kDefineBitsLossless) {
            ASSERT_GE(body.size(), 7u);
            EXPECT_EQ(uint8_t(body[3]) | uint8_t(body[4]) << 8, 37); // BitmapWidth
            EXPECT_EQ(uint8_t(body[5]) | uint8_t(body[6]) << 8, 21); // BitmapHeight
        } else {
            // Progressive pictures are re-encoded as baseline ones.
            const std::vector<uint8_t> jpeg(body.begin() + 2, body.end());
            EXPECT_FALSE(JpegIsProgressive(jpeg));
            EXPECT_EQ(DecodeJpeg(jpeg).Width, 37);
        }
    }
}

TEST_F(SlideShowBuild, PictureErrorsNameTheFileAndWriteNothing) {
    const fs::path good = Jpeg("good.jpg", 20, 10);
    test::WriteFile(Dir / "garbage.jpg", "this is no picture at all");
    test::WriteFile(Dir / "garbage.png", "this is no picture at all");
    test::WriteFile(Dir / "garbage.bmp", "this is no picture at all");
    std::string soi = test::Bytes({0xFF, 0xD8, 0xFF, 0xD9});
    test::WriteFile(Dir / "sizeless.jpg", soi);
    test::WriteBmpFile(Dir / "empty.bmp", 0, 0);
    fs::copy_file(fs::path(PICTOVA_TEST_DATA) / "png/truncated.png", Dir / "truncated.png");
    struct Row {
        std::vector<std::string> Files; // the last one is at fault
        int Duration;
    };
    const Row rows[] = {
        {{"missing.jpg"}, 1},
        {{"good.jpg", "missing.png"}, 1},
        {{"garbage.jpg"}, 1},
        {{"good.jpg", "garbage.jpg"}, 1},
        {{"good.jpg", "garbage.png"}, 1},
        {{"good.jpg", "garbage.bmp"}, 1},
        {{"good.jpg", "truncated.png"}, 1},
        {{"sizeless.jpg"}, 1},
        {{"good.jpg", "sizeless.jpg"}, 1},
        {{"empty.bmp"}, 1},
        {{"good.jpg", "empty.bmp"}, 1},
        {{"good.jpg"}, 0},
        {{"good.jpg"}, 10000},
    };
    for (const Row& row : rows) {
        const std::string faulty = row.Files.back();
        SCOPED_TRACE(faulty + " after " + std::to_string(row.Files.size() - 1));
        std::vector<recImgItems> items;
        for (const std::string& f : row.Files)
            items.push_back(Item(Dir / f, 1, row.Duration));
        TEffectDraw draw(1);
        try {
            BuildShow(items, {}, Out, false, draw, {});
            ADD_FAILURE() << "built";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find((Dir / faulty).string()), std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(fs::exists(Out));
    }
}

// The front end words the message from these fields, so each error must
// carry the file and the numbers it is about.
TEST_F(SlideShowBuild, ErrorsCarryTheirFacts) {
    const fs::path good = Jpeg("good.jpg", 20, 10);
    test::WriteFile(Dir / "garbage.png", "this is no picture at all");
    test::WriteFile(Dir / "red.gif", "GIF89a");
    test::WriteBmpFile(Dir / "empty.bmp", 0, 0);
    enum TKind { File, Picture, Show };
    struct Row {
        const char* Name;
        std::vector<recImgItems> Items;
        TKind Kind;
        int Problem; // the problem, or the errno of a file error
        fs::path File;
        int64_t Value = 0;
    };
    // clang-format off
    const Row rows[] = {
        {"missing jpg", {Item(good, 1, 1), Item(Dir / "gone.jpg", 1, 1)}, File, ENOENT,
         Dir / "gone.jpg"},
        {"missing png", {Item(good, 1, 1), Item(Dir / "gone.png", 1, 1)}, File, ENOENT,
         Dir / "gone.png"},
        {"undecodable png", {Item(good, 1, 1), Item(Dir / "garbage.png", 1, 1)}, Picture,
         EPictureError::Unreadable, Dir / "garbage.png"},
        {"gif", {Item(good, 1, 1), Item(Dir / "red.gif", 1, 1)}, Picture,
         EPictureError::UnsupportedFormat, Dir / "red.gif"},
        {"no size", {Item(Dir / "empty.bmp", 1, 1)}, Picture, EPictureError::SizeUnknown,
         Dir / "empty.bmp"},
        {"no pictures", {}, Show, EShowError::NoPictures, {}},
        {"duration 0", {Item(good, 1, 1), Item(good, 1, 0)}, Show,
         EShowError::DurationOutOfRange, good, 0},
        {"duration 10000", {Item(good, 1, 10000)}, Show, EShowError::DurationOutOfRange, good,
         10000},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TEffectDraw draw(1);
        try {
            BuildShow(row.Items, {}, Out, false, draw, {});
            ADD_FAILURE() << "built";
        } catch (const EFileError& e) {
            ASSERT_EQ(row.Kind, File) << e.what();
            EXPECT_EQ(e.Errno(), row.Problem);
            EXPECT_EQ(e.Action(), TFileAction::Open);
            EXPECT_EQ(e.File(), row.File);
        } catch (const EPictureError& e) {
            ASSERT_EQ(row.Kind, Picture) << e.what();
            EXPECT_EQ(e.Problem(), row.Problem);
            EXPECT_EQ(e.File(), row.File);
        } catch (const EShowError& e) {
            ASSERT_EQ(row.Kind, Show) << e.what();
            EXPECT_EQ(e.Problem(), row.Problem);
            EXPECT_EQ(e.File(), row.File);
            EXPECT_EQ(e.Value(), row.Value);
        }
        EXPECT_FALSE(fs::exists(Out));
    }
}

TEST_F(SlideShowBuild, EffectDemoIsA149By104PixelMovie) {
    TDecodedPicture a, b;
    for (TDecodedPicture* p : {&a, &b}) {
        p->Width = 150;
        p->Height = 105;
        p->BitsPerPixel = 24;
        p->Pixels.assign(150 * 105 * 3, p == &a ? 0x20 : 0xE0);
    }
    struct Row {
        int Effect;
        uint16_t Frames;
    };
    // One frame in which the first picture stands, then the effect; the
    // spins take 50 steps here.
    const Row rows[] = {{1, 2}, {2, 27}, {11, 52}, {15, 52}, {16, 52}};
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect));
        TEffectDraw draw(1);
        BuildEffectDemo(row.Effect, a, b, Out, draw);
        const WalkedMovie movie = test::WalkSwfFile(Out);
        EXPECT_EQ(movie.Signature, "CWS");
        EXPECT_EQ(movie.FrameSize.Xmin, 1);
        EXPECT_EQ(movie.FrameSize.Xmax, 3000);
        EXPECT_EQ(movie.FrameSize.Ymin, 1);
        EXPECT_EQ(movie.FrameSize.Ymax, 2100);
        EXPECT_EQ(movie.FrameCount, row.Frames);
        const auto changes = DisplayChanges(movie);
        ASSERT_FALSE(changes.empty());
        EXPECT_EQ(changes[0].Frame, 0u);
        EXPECT_EQ(changes[0].Place.Depth, 0);
        // Every change of the incoming picture falls inside the movie's frames.
        size_t removed = 0;
        for (const WalkedChange& c : changes) {
            EXPECT_LT(c.Frame, row.Frames);
            removed += c.Remove;
        }
        EXPECT_EQ(removed, row.Effect == 11 ? 1u : 0u);
    }
    // Effect 0 draws one of the sixteen.
    TEffectDraw draw(5);
    TEffectDraw same(5);
    BuildEffectDemo(0, a, b, Out, draw);
    const int drawn = same.Draw();
    const int frames = drawn == 1 ? 1 : drawn >= 15 ? 51 : TransitionFrameCount(drawn);
    EXPECT_EQ(test::WalkSwfFile(Out).FrameCount, 1 + frames);
}

} // namespace
} // namespace pictova
