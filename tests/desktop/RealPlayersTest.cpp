// The window with the program's own Ruffle players: the preview tab and the
// effect demonstration end up playing what the window built.

#include "desktop/RufflePlayer.h"
#include "tests/desktop/WindowFixture.h"
#include "tests/support/PictureFiles.h"

#include <QListWidget>
#include <QSpinBox>

namespace pictova::desktop::test {
namespace {

// Ruffle's start-up in WebEngine takes a second or more, longer on a busy
// machine.
constexpr int kPlayerWait = 60000;

TEST(RealPlayers, ThePreviewAndTheDemonstrationPlayTheBuiltMovies) {
    TempDir dir;
    ScopedEnv home("HOME", (dir / "home").string());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());
    TFakeChooser chooser;
    TFakeBoxes boxes;
    TFakeAudioPlayer audio;
    TRufflePlayer preview(PICTOVA_PROGRAM_DIR);
    TRufflePlayer demo(PICTOVA_PROGRAM_DIR);
    TfrmMain window(TMainWindowServices{chooser, boxes, preview, demo, audio, PICTOVA_PROGRAM_DIR,
                                        dir / "config" / "Settings.ini",
                                        [](const std::string&) { return true; }});
    window.ResetProject();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    pictova::test::WriteBmpFile(dir / "a.bmp", 64, 48);
    chooser.Pictures << Q(dir / "a.bmp");
    window.btnAddClick();
    window.findChild<QSpinBox*>("txtDuration")->setValue(1);
    // "Weicher Übergang": 26 frames in the demonstration after the standing one.
    auto* effects = window.findChild<QListWidget*>("lstEffects");
    QTest::mouseClick(effects->viewport(), Qt::LeftButton, Qt::NoModifier,
                      effects->visualItemRect(effects->item(2)).center());
    QTRY_COMPARE_WITH_TIMEOUT(demo.TotalFrames(), 27, kPlayerWait);
    // Played once, the demonstration frees its button at its last frame.
    QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QWidget*>("btnPlayDemo")->isEnabled(), kPlayerWait);

    window.imgTab3Click();
    ASSERT_EQ(window.CurrentTab(), 3);
    // The soft fade's 26 frames, then one second at 20 frames per second.
    QTRY_COMPARE_WITH_TIMEOUT(preview.TotalFrames(), 26 + 20, kPlayerWait);
    QTRY_COMPARE_WITH_TIMEOUT(preview.CurrentFrame(), 26 + 20 - 1, kPlayerWait);
    EXPECT_TRUE(boxes.Messages.empty()) << boxes.Messages[0].Text.toStdString();
}

} // namespace
} // namespace pictova::desktop::test
