#include "show/SlideShowProject.h"

#include "show/EffectCaptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;

// Sizes from the file name: "p3" is 30 x 3 pixels; names starting with "bad"
// have no readable size.
std::optional<TImageSize> FakeSize(const fs::path& file) {
    const std::string name = file.filename().string();
    if (name.starts_with("bad"))
        return std::nullopt;
    const int n = std::stoi(name.substr(1));
    return TImageSize{10 * n, n};
}

// A project with pictures p0..p(count-1) and the given selection.
TSlideShowProject Project(int count, const std::set<std::size_t>& selected = {}) {
    TSlideShowProject project(FakeSize);
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i)
        files.push_back("/pictures/p" + std::to_string(i) + ".jpg");
    project.AddPictures(files);
    project.ClearSelection();
    for (std::size_t index : selected)
        project.SetSelected(index, true);
    return project;
}

std::vector<std::string> Order(const TSlideShowProject& project) {
    std::vector<std::string> names;
    for (const auto& item : project.ImgItems())
        names.push_back(item.FileName.stem().string());
    return names;
}

TEST(SlideShowProject, AddAppendsInOrderWithDefaultsAndSelectsTheLast) {
    TSlideShowProject project(FakeSize);
    project.AddPictures({"/a/p1.jpg", "/a/bad.png", "/b/p3.bmp"});
    ASSERT_EQ(project.Count(), 3u);
    EXPECT_EQ(Order(project), (std::vector<std::string>{"p1", "bad", "p3"}));
    for (const auto& item : project.ImgItems()) {
        EXPECT_EQ(item.Effect, 0);
        EXPECT_EQ(item.Duration, 5);
    }
    EXPECT_EQ(project.ImgItems()[0].Width, 10);
    EXPECT_EQ(project.ImgItems()[0].Height, 1);
    // An unreadable size is kept as 0 x 0 and the item stays.
    EXPECT_EQ(project.ImgItems()[1].Width, 0);
    EXPECT_EQ(project.ImgItems()[1].Height, 0);
    EXPECT_EQ(project.ImgItems()[2].DisplayName(), "p3.bmp");
    EXPECT_EQ(project.SelectedIndices(), std::vector<std::size_t>{2});
    EXPECT_EQ(project.Focused(), 2u);
    EXPECT_EQ(project.LastAddFolder(), fs::path("/b"));

    project.AddPictures({}); // a cancelled dialog
    EXPECT_EQ(project.Count(), 3u);
    EXPECT_EQ(project.LastAddFolder(), fs::path("/b"));
}

TEST(SlideShowProject, AddReadsSizesFromTheFiles) {
    const fs::path images = fs::path(PICTOVA_TEST_DATA) / "images";
    TSlideShowProject project;
    project.AddPictures({images / "red-37x21.png", images / "missing.jpg"});
    EXPECT_EQ(project.ImgItems()[0].Width, 37);
    EXPECT_EQ(project.ImgItems()[0].Height, 21);
    EXPECT_EQ(project.ImgItems()[1].Width, 0);
    EXPECT_EQ(project.ImgItems()[1].Height, 0);
}

enum class Op { Up, Down, Remove };

struct EditRow {
    const char* What;
    int Count;
    std::set<std::size_t> Selected;
    Op Operation;
    std::vector<std::string> Order;     // afterwards
    std::vector<std::size_t> Selection; // afterwards
    TMoveResult Result = TMoveResult::Done;
};

TEST(SlideShowProject, MoveAndRemoveSelections) {
    using V = std::vector<std::string>;
    using S = std::vector<std::size_t>;
    const EditRow rows[] = {
        {"up: block of 1 and 2", 4, {1, 2}, Op::Up, V{"p1", "p2", "p0", "p3"}, S{0, 1}},
        {"up: first selected beeps",
         4,
         {0, 1},
         Op::Up,
         V{"p0", "p1", "p2", "p3"},
         S{0, 1},
         TMoveResult::Refused},
        {"up: 1 and 3 apart", 4, {1, 3}, Op::Up, V{"p1", "p0", "p3", "p2"}, S{0, 2}},
        {"up: nothing selected", 3, {}, Op::Up, V{"p0", "p1", "p2"}, S{}},
        {"down: block of 1 and 2", 4, {1, 2}, Op::Down, V{"p0", "p3", "p1", "p2"}, S{2, 3}},
        {"down: last selected beeps",
         4,
         {0, 3},
         Op::Down,
         V{"p0", "p1", "p2", "p3"},
         S{0, 3},
         TMoveResult::Refused},
        {"down: 0 and 2 apart", 4, {0, 2}, Op::Down, V{"p1", "p0", "p3", "p2"}, S{1, 3}},
        {"remove 0 and 2: index 2 is past the end", 4, {0, 2}, Op::Remove, V{"p1", "p3"}, S{1}},
        {"remove 1: its follower takes its place", 4, {1}, Op::Remove, V{"p0", "p2", "p3"}, S{1}},
        {"remove 0 and 1 of 4", 4, {0, 1}, Op::Remove, V{"p2", "p3"}, S{1}},
        {"remove all", 3, {0, 1, 2}, Op::Remove, V{}, S{}},
        {"remove nothing", 2, {}, Op::Remove, V{"p0", "p1"}, S{}},
    };
    for (const auto& row : rows) {
        TSlideShowProject project = Project(row.Count, row.Selected);
        TMoveResult result = TMoveResult::Done;
        if (row.Operation == Op::Up)
            result = project.MoveUp();
        else if (row.Operation == Op::Down)
            result = project.MoveDown();
        else
            project.RemoveSelected();
        EXPECT_EQ(result, row.Result) << row.What;
        EXPECT_EQ(Order(project), row.Order) << row.What;
        EXPECT_EQ(project.SelectedIndices(), row.Selection) << row.What;
    }
}

TEST(SlideShowProject, MovingUpTwiceBeepsTheSecondTime) {
    TSlideShowProject project = Project(4, {1, 2});
    project.SetFocused(2);
    EXPECT_EQ(project.MoveUp(), TMoveResult::Done);
    EXPECT_EQ(project.Focused(), 1u); // the current item moves with its picture
    EXPECT_EQ(project.MoveUp(), TMoveResult::Refused);
    EXPECT_EQ(Order(project), (std::vector<std::string>{"p1", "p2", "p0", "p3"}));
    EXPECT_EQ(project.FocusedView().FileName.stem(), "p2");
}

TEST(SlideShowProject, RemoveFocusesTheNewSelection) {
    TSlideShowProject project = Project(4, {0, 2});
    project.RemoveSelected();
    EXPECT_EQ(project.Focused(), 1u);
    project.SelectOnly(0);
    project.SetSelected(1, true);
    project.RemoveSelected();
    EXPECT_EQ(project.Focused(), std::nullopt);
    EXPECT_TRUE(project.FocusedView().Empty);
}

TEST(SlideShowProject, ShowingTheFocusedItemWritesNothingBack) {
    TSlideShowProject project = Project(4, {0, 3});
    project.SetFocused(3);
    project.SetEffect(7);
    int filled = 0;
    project.ShowFocused([&](const TItemView& view) {
        ++filled;
        EXPECT_TRUE(project.Updating());
        EXPECT_FALSE(view.Empty);
        EXPECT_EQ(view.FileName, fs::path("/pictures/p3.jpg"));
        EXPECT_EQ(view.Width, 30);
        EXPECT_EQ(view.Duration, 5);
        EXPECT_EQ(view.Effect, 7);
        // What the controls' change handlers do while they are being filled.
        project.SetDuration(99);
        project.SetEffect(2);
    });
    EXPECT_EQ(filled, 1);
    EXPECT_FALSE(project.Updating());
    EXPECT_EQ(project.ImgItems()[3].Duration, 5);
    EXPECT_EQ(project.ImgItems()[3].Effect, 7);

    project.SetDuration(7);
    const std::vector<int> durations = {
        project.ImgItems()[0].Duration, project.ImgItems()[1].Duration,
        project.ImgItems()[2].Duration, project.ImgItems()[3].Duration};
    EXPECT_EQ(durations, (std::vector<int>{7, 5, 5, 7}));
}

TEST(SlideShowProject, DurationIsBoundedAndRandomEffectIsStoredAsZero) {
    TSlideShowProject project = Project(2, {1});
    project.SetDuration(0);
    EXPECT_EQ(project.ImgItems()[1].Duration, kMinDuration);
    project.SetDuration(10000);
    EXPECT_EQ(project.ImgItems()[1].Duration, kMaxDuration);
    project.SetEffect(16);
    project.SetEffect(0); // "(Zufällig)": the draw happens at each build
    EXPECT_EQ(project.ImgItems()[1].Effect, 0);
    EXPECT_EQ(project.ImgItems()[0].Duration, 5);
}

TEST(SlideShowProject, NothingSelectedShowsAnEmptyItem) {
    TSlideShowProject project = Project(3);
    project.SetFocused(1);
    const TItemView view = project.FocusedView();
    EXPECT_TRUE(view.Empty);
    EXPECT_EQ(view.Duration, 0);
    EXPECT_EQ(view.Effect, 0);
}

TEST(SlideShowProject, ResetDoesNotReportTheStartUpOutputPath) {
    TSlideShowProject project = Project(2, {0});
    project.Options().Compress = true;
    project.Options().AudioLoop = false;
    project.SetOwnAudioFile("/music/song.mp3");
    EXPECT_EQ(project.Options().Audio, TAudioChoice::OwnFile);

    std::vector<fs::path> saved;
    project.OutputPathChanged = [&](const fs::path& path) { saved.push_back(path); };
    project.Reset("/home/u/Dokumente/Meine Pictova/show.swf");
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(project.Count(), 0u);
    EXPECT_EQ(project.Focused(), std::nullopt);
    EXPECT_EQ(project.Options().OutputPath, fs::path("/home/u/Dokumente/Meine Pictova/show.swf"));
    EXPECT_TRUE(project.Options().AudioFile.empty());
    EXPECT_EQ(project.Options().Audio, TAudioChoice::None);
    EXPECT_TRUE(project.Options().AudioLoop);
    EXPECT_TRUE(project.Options().OpenOutput);
    EXPECT_FALSE(project.Options().Compress);

    project.SetOutputPath("/shows/other.swf");
    EXPECT_EQ(saved, std::vector<fs::path>{"/shows/other.swf"});
    {
        const auto guard = project.BeginUpdate();
        project.SetOutputPath("/shows/filled.swf");
    }
    EXPECT_EQ(saved.size(), 1u);
    EXPECT_EQ(project.Options().OutputPath, fs::path("/shows/filled.swf"));
}

TEST(EffectCaptions, GermanNamesByRow) {
    ASSERT_EQ(EffectCaptions().size(), 17u);
    EXPECT_EQ(EffectCaption(0), "(Zufällig)");
    EXPECT_EQ(EffectCaption(1), "Harter Übergang");
    EXPECT_EQ(EffectCaption(3), "Von links überschieben");
    EXPECT_EQ(EffectCaption(16), "Linksdrehend einwerfen");
}

} // namespace
} // namespace pictova
