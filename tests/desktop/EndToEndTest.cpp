// A user's session with the program's real parts: the window, the Ruffle
// players, the Qt audio player and the real build. Only the file dialogs and
// the message boxes are answered by the test. The user adds two pictures,
// gives them effects and durations, watches an effect demonstration, picks a
// built-in track, looks at the preview and creates the show.
//
// Screenshots of the three tabs go to PICTOVA_DESKTOP_ARTIFACTS (a folder of
// the build). When PICTOVA_E2E_OUT is set the show is written there, so that
// the browser test can play its page in Chromium afterwards.

#include "desktop/ProgramFont.h"
#include "desktop/QtAudioPlayer.h"
#include "desktop/RufflePlayer.h"
#include "tests/desktop/WindowFixture.h"
#include "tests/support/PictureFiles.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cstdlib>

namespace pictova::desktop::test {
namespace {

// Ruffle's start-up in WebEngine takes a second or more, longer on a busy
// machine.
constexpr int kPlayerWait = 60000;

fs::path FolderFromEnv(const char* name, const fs::path& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fallback;
}

template <typename T> T* Control(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void ClickMenuTab(QWidget& window, int tab) {
    auto* menu = Control<QWidget>(window, "imgMenu");
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                      kMenuTabRects[std::size_t(tab - 1)].center());
}

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(row)).center());
}

void SaveScreenshot(QWidget& window, const fs::path& folder, const char* name) {
    fs::create_directories(folder);
    const QString file = Q(folder / name);
    EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
}

// The colour in the middle of the preview panel, as the window shows it.
QColor PreviewCentre(QWidget& window) {
    auto* panel = Control<QWidget>(window, "pnlPreview");
    const QImage image = window.grab().toImage();
    const QPoint centre = panel->mapTo(&window, panel->rect().center());
    return image.pixelColor(centre * image.devicePixelRatio());
}

bool Near(const QColor& c, int r, int g, int b) {
    return std::abs(c.red() - r) < 40 && std::abs(c.green() - g) < 40 &&
           std::abs(c.blue() - b) < 40;
}

TEST(EndToEnd, PicturesEffectsAndMusicBecomeAShowThatPreviewsAndIsWritten) {
    TempDir dir;
    ScopedEnv home("HOME", (dir / "home").string());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());
    const fs::path out = FolderFromEnv("PICTOVA_E2E_OUT", dir / "out");
    const fs::path artifacts = FolderFromEnv("PICTOVA_DESKTOP_ARTIFACTS", dir / "artifacts");
    fs::remove_all(out);

    // As the program does at its start.
    ASSERT_TRUE(RegisterProgramFont()) << "fonts-wine is not installed";
    TFakeChooser chooser;
    TFakeBoxes boxes;
    TRufflePlayer preview(PICTOVA_PROGRAM_DIR);
    TRufflePlayer demo(PICTOVA_PROGRAM_DIR);
    TQtAudioPlayer audio;
    std::vector<std::string> opened;
    TfrmMain window(TMainWindowServices{chooser, boxes, preview, demo, audio, PICTOVA_PROGRAM_DIR,
                                        dir / "config" / "Settings.ini",
                                        [&opened](const std::string& url) {
                                            opened.push_back(url);
                                            return true;
                                        }});
    window.ResetProject();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Tab 1: two pictures of three seconds each, the first red with a hard
    // cut, the second blue sliding in from the left.
    pictova::test::WriteBmpFile(dir / "red.bmp", 320, 240, {230, 20, 20});
    pictova::test::WriteBmpFile(dir / "blue.bmp", 320, 240, {20, 20, 230});
    chooser.Pictures << Q(dir / "red.bmp") << Q(dir / "blue.bmp");
    QTest::mouseClick(Control<QPushButton>(window, "btnAdd"), Qt::LeftButton);
    auto* pictures = Control<QListWidget>(window, "lstGFX");
    auto* effects = Control<QListWidget>(window, "lstEffects");
    auto* duration = Control<QSpinBox>(window, "txtDuration");
    ASSERT_EQ(pictures->count(), 2);

    ClickRow(pictures, 0);
    ClickRow(effects, 1); // "Harter Übergang", and its demonstration starts
    duration->setValue(3);
    auto* demoButton = Control<QPushButton>(window, "btnPlayDemo");
    EXPECT_FALSE(demoButton->isEnabled()) << "the button waits for the demonstration";
    QTRY_VERIFY_WITH_TIMEOUT(demo.TotalFrames() > 0, kPlayerWait);
    QTRY_VERIFY_WITH_TIMEOUT(demoButton->isEnabled(), kPlayerWait);
    EXPECT_EQ(demo.CurrentFrame() + 1, demo.TotalFrames());

    ClickRow(pictures, 1);
    ClickRow(effects, 3); // "Von links überschieben"
    QTRY_VERIFY_WITH_TIMEOUT(demoButton->isEnabled(), kPlayerWait);
    duration->setValue(3);
    SaveScreenshot(window, artifacts, "tab1-pictures.png");

    // Tab 2: the first built-in track, looped.
    ClickMenuTab(window, 2);
    ASSERT_EQ(window.CurrentTab(), 2);
    // A radio button takes clicks on its circle and caption only.
    auto* track = Control<QRadioButton>(window, "optAudio1");
    QTest::mouseClick(track, Qt::LeftButton, Qt::NoModifier, QPoint(8, track->height() / 2));
    ASSERT_TRUE(track->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(window, "chkAudioLoop")->isChecked());
    SaveScreenshot(window, artifacts, "tab2-settings.png");

    // Tab 3: the preview plays the show from its first picture, and stops on
    // its last frame with the second.
    ClickMenuTab(window, 3);
    ASSERT_EQ(window.CurrentTab(), 3);
    const int frames = 0 + 60 + 51 + 60; // hard cut, 3 s; slide, 3 s
    QTRY_COMPARE_WITH_TIMEOUT(preview.TotalFrames(), frames, kPlayerWait);
    QTRY_VERIFY_WITH_TIMEOUT(Near(PreviewCentre(window), 230, 20, 20), kPlayerWait);
    SaveScreenshot(window, artifacts, "tab3-preview.png");
    QTRY_COMPARE_WITH_TIMEOUT(preview.CurrentFrame(), frames - 1, kPlayerWait);
    QTRY_VERIFY_WITH_TIMEOUT(Near(PreviewCentre(window), 20, 20, 230), 10000);

    // Create the show.
    auto* output = Control<QLineEdit>(window, "txtOutput");
    output->setText(Q(out / "show.swf"));
    boxes.YesNoCancel.push_back(TAnswer::Yes); // create the missing folder
    QTest::mouseClick(Control<QPushButton>(window, "btnCreate"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isEnabled(), kPlayerWait);

    for (const auto& message : boxes.Messages)
        ADD_FAILURE() << "message box: " << message.Text.toStdString();
    ASSERT_TRUE(fs::is_regular_file(out / "show.swf"));
    EXPECT_TRUE(fs::is_regular_file(out / "show.html"));
    EXPECT_TRUE(fs::is_regular_file(out / "ruffle" / "ruffle.js"));
    // Final mode: the preloader's frame, the pictures, and the music.
    const auto movie = pictova::test::WalkSwfFile(out / "show.swf");
    EXPECT_EQ(movie.FrameCount, 1 + frames);
    EXPECT_EQ(movie.TagsWithCode(14).size(), 1u) << "the track is in the movie (DefineSound)";
    // The page is opened through the program's own server.
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("show.html"), std::string::npos) << opened[0];
}

} // namespace
} // namespace pictova::desktop::test
