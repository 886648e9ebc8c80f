// The main window driven through its widgets: the project operations and
// their enabling rules, tab switching with its clean-ups, the preview and the
// effect demonstration in the stand-in players, the options and settings.

#include "tests/desktop/WindowFixture.h"

#include "app/Settings.h"
#include "desktop/ProgramFont.h"
#include "show/BackgroundMusic.h"
#include "show/SlideShowBuild.h"
#include "tests/support/PictureFiles.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace pictova::desktop::test {
namespace {

using pictova::test::WriteBmpFile;

class MainWindow : public WindowTest {
protected:
    // n flat BMPs p0.bmp.. of 40 + k x 30 pixels, added in one dialog.
    void AddNumbered(int n) {
        std::vector<fs::path> files;
        for (int k = 0; k < n; ++k) {
            files.push_back(Picture("p" + std::to_string(k) + ".bmp"));
            WriteBmpFile(files.back(), 40 + k, 30);
        }
        AddPictures(files);
    }

    // The project's pictures by their file names, in show order.
    std::vector<std::string> Order() const {
        std::vector<std::string> names;
        for (const auto& item : Window->Project().ImgItems())
            names.push_back(item.FileName.stem().string());
        return names;
    }
    std::vector<std::string> ListLines() const {
        std::vector<std::string> lines;
        auto* list = Find<QListWidget>("lstGFX");
        for (int row = 0; row < list->count(); ++row)
            lines.push_back(list->item(row)->text().toStdString());
        return lines;
    }
    std::vector<std::size_t> Selected() const { return Window->Project().SelectedIndices(); }
    std::vector<int> ListSelection() const {
        std::vector<int> rows;
        auto* list = Find<QListWidget>("lstGFX");
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->isSelected())
                rows.push_back(row);
        return rows;
    }
};

TEST_F(MainWindow, StartsOnThePicturesTabWithTheFixedLayoutAndFont) {
    EXPECT_EQ(Window->windowTitle(), "Pictova");
    EXPECT_EQ(Window->size(), QSize(640, 465));
    EXPECT_EQ(Window->minimumSize(), Window->maximumSize());
    EXPECT_FALSE(Window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(Window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(Window->palette().color(QPalette::Window), QColor(0xF5, 0xF5, 0xF5));
    EXPECT_EQ(Window->CurrentTab(), 1);
    EXPECT_TRUE(Find<QWidget>("pnlPictures")->isVisible());
    EXPECT_FALSE(Find<QWidget>("pnlSettings")->isVisible());
    EXPECT_FALSE(Find<QWidget>("pnlPreviewTab")->isVisible());
    EXPECT_EQ(Find<QWidget>("pnlPictures")->size(), QSize(488, 390));
    EXPECT_EQ(Find<QWidget>("lstEffects")->property("count").toInt(), 17);

    for (const char* name :
         {"imgHeader",       "imgMenu",       "lstGFX",        "imgHint",       "btnAdd",
          "btnRemove",       "btnUp",         "btnDown",       "imgPreview",    "txtDuration",
          "lstEffects",      "imgDemo",       "btnPlayDemo",   "optAudioNone",  "optAudio1",
          "optAudio2",       "optAudio3",     "optAudio4",     "optAudioSel",   "btnAudioPlay1",
          "btnAudioPlay2",   "btnAudioPlay3", "btnAudioPlay4", "txtAudio",      "btnAudioSelect",
          "btnAudioPlaySel", "chkAudioLoop",  "chkCompress",   "chkPassword",   "txtPassword",
          "pnlPreview",      "txtOutput",     "btnOutput",     "chkOpenOutput", "btnCreate"})
        Find<QWidget>(name);
    EXPECT_EQ(Find<QWidget>("pnlPreview")->size(), QSize(452, 292));
    EXPECT_EQ(Find<QWidget>("imgDemo")->size(), QSize(150, 105));
    EXPECT_EQ(Demo.View.size(), QSize(150, 105));
    EXPECT_EQ(Demo.View.contextMenuPolicy(), Qt::NoContextMenu);

    ASSERT_TRUE(RegisterProgramFont()) << "fonts-wine is not installed";
    EXPECT_EQ(QFontInfo(Window->font()).family(), "Tahoma");
    EXPECT_EQ(Window->font().pixelSize(), 11);
}

TEST_F(MainWindow, NoCaptionIsCutByTheFixedLayout) {
    ASSERT_TRUE(RegisterProgramFont());
    // Every tab's captions, also those of hidden panels.
    for (QAbstractButton* button : Window->findChildren<QAbstractButton*>())
        EXPECT_LE(button->sizeHint().width(), button->width())
            << button->objectName().toStdString() << " \"" << button->text().toStdString() << "\"";
    for (QLabel* label : Window->findChildren<QLabel*>())
        if (!label->text().isEmpty() && !label->wordWrap()) {
            EXPECT_LE(label->sizeHint().width(), label->width())
                << label->objectName().toStdString();
        }
}

TEST_F(MainWindow, AddingThreePicturesSelectsOnlyTheLast) {
    AddNumbered(3);
    EXPECT_EQ(Order(), (std::vector<std::string>{"p0", "p1", "p2"}));
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"p0.bmp", "p1.bmp", "p2.bmp"}));
    for (const auto& item : Window->Project().ImgItems()) {
        EXPECT_EQ(item.Effect, 0);
        EXPECT_EQ(item.Duration, 5);
        EXPECT_EQ(item.Height, 30);
    }
    EXPECT_EQ(Window->Project().ImgItems()[2].Width, 42);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{2}));
    EXPECT_EQ(ListSelection(), (std::vector<int>{2}));
    EXPECT_EQ(Find<QListWidget>("lstGFX")->currentRow(), 2);
    EXPECT_EQ(Find<QLabel>("lblFileName")->text(), "p2.bmp");
    EXPECT_FALSE(Find<QLabel>("imgPreview")->pixmap().isNull());
    EXPECT_TRUE(Boxes.Messages.empty());
    // The dialog's filter in Qt's form, its names as written.
    EXPECT_EQ(Chooser.Filter,
              "Alle unterstützten Dateitypen (*.jpeg, *.jpg, *.png, *.bmp) (*.bmp *.png *.jpg "
              "*.jpeg);;JPEG-Dateien (*.jpeg, *.jpg) (*.jpeg *.jpg);;PNG-Dateien (*.png) "
              "(*.png);;Bitmap-Dateien (*.bmp) (*.bmp)");

    // The next dialog opens where the last pictures came from; cancelling it
    // changes nothing.
    QTest::mouseClick(Find<QWidget>("btnAdd"), Qt::LeftButton);
    EXPECT_EQ(Chooser.Folder, Q(Dir / "pictures"));
    EXPECT_EQ(Order().size(), 3u);
}

TEST_F(MainWindow, MovingABlockUpKeepsItSelectedAndRefusesAtTheTop) {
    AddNumbered(4);
    ClickRows({1, 2});
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
    QTest::mouseClick(Find<QWidget>("btnUp"), Qt::LeftButton);
    EXPECT_EQ(Order(), (std::vector<std::string>{"p1", "p2", "p0", "p3"}));
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"p1.bmp", "p2.bmp", "p0.bmp", "p3.bmp"}));
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(ListSelection(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(Find<QWidget>("btnUp")->isEnabled());
    // Called anyway (the button is disabled): refused, nothing moves.
    Window->btnUpClick();
    EXPECT_EQ(Order(), (std::vector<std::string>{"p1", "p2", "p0", "p3"}));

    QTest::mouseClick(Find<QWidget>("btnDown"), Qt::LeftButton);
    EXPECT_EQ(Order(), (std::vector<std::string>{"p0", "p1", "p2", "p3"}));
    EXPECT_EQ(ListSelection(), (std::vector<int>{1, 2}));
}

TEST_F(MainWindow, RemovingSelectsTheItemAtTheHighestRemovedIndexOrTheLast) {
    AddNumbered(4);
    ClickRows({0, 2});
    QTest::mouseClick(Find<QWidget>("btnRemove"), Qt::LeftButton);
    EXPECT_EQ(Order(), (std::vector<std::string>{"p1", "p3"}));
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(ListSelection(), (std::vector<int>{1}));
    EXPECT_EQ(Find<QLabel>("lblFileName")->text(), "p3.bmp");

    // The Delete key in the list removes too; an empty list clears the view.
    ClickRows({0, 1});
    QTest::keyClick(Find<QWidget>("lstGFX"), Qt::Key_Delete);
    EXPECT_TRUE(Order().empty());
    EXPECT_EQ(Find<QSpinBox>("txtDuration")->value(), 0);
    EXPECT_TRUE(Find<QLabel>("imgPreview")->pixmap().isNull());
    EXPECT_TRUE(Find<QLabel>("imgHint")->isVisible());
}

TEST_F(MainWindow, TheDurationGoesToEverySelectedItemFromTheFocusedOnesView) {
    AddNumbered(4);
    ClickRows({3});
    Find<QSpinBox>("txtDuration")->setValue(9);
    ClickRows({0, 3}); // item 3 focused
    auto* duration = Find<QSpinBox>("txtDuration");
    EXPECT_EQ(duration->value(), 9);                        // filled from item 3 ...
    EXPECT_EQ(Window->Project().ImgItems()[0].Duration, 5); // ... without writing it into 0
    duration->setValue(7);
    std::vector<int> durations;
    for (const auto& item : Window->Project().ImgItems())
        durations.push_back(item.Duration);
    EXPECT_EQ(durations, (std::vector<int>{7, 5, 5, 7}));

    // An effect row click stores its row; "(Zufällig)" stores 0.
    auto* effects = Find<QListWidget>("lstEffects");
    QTest::mouseClick(effects->viewport(), Qt::LeftButton, Qt::NoModifier,
                      effects->visualItemRect(effects->item(0)).center());
    EXPECT_EQ(Window->Project().ImgItems()[3].Effect, 0);
    effects->scrollToItem(effects->item(4));
    QTest::mouseClick(effects->viewport(), Qt::LeftButton, Qt::NoModifier,
                      effects->visualItemRect(effects->item(4)).center());
    EXPECT_EQ(Window->Project().ImgItems()[0].Effect, 4);
    EXPECT_EQ(Window->Project().ImgItems()[3].Effect, 4);
    EXPECT_EQ(Window->Project().ImgItems()[1].Effect, 0);
}

TEST_F(MainWindow, EnablingRulesFollowTheSelection) {
    AddNumbered(3);
    struct TRow {
        const char* Name;
        std::vector<int> Rows;
        bool Remove, Up, Down;
    };
    const TRow rows[] = {
        {"first", {0}, true, false, true},
        {"middle", {1}, true, true, true},
        {"last", {2}, true, true, false},
        {"first and last", {0, 2}, true, false, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        ClickRows(row.Rows);
        EXPECT_EQ(Find<QWidget>("btnRemove")->isEnabled(), row.Remove);
        EXPECT_EQ(Find<QWidget>("btnUp")->isEnabled(), row.Up);
        EXPECT_EQ(Find<QWidget>("btnDown")->isEnabled(), row.Down);
        EXPECT_TRUE(Find<QWidget>("lstEffects")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("txtDuration")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("btnPlayDemo")->isEnabled());
        EXPECT_FALSE(Find<QWidget>("imgHint")->isVisible());
    }
    SCOPED_TRACE("nothing");
    ClickRows({0, 0}); // a Ctrl click takes the mark off again
    ASSERT_TRUE(Selected().empty());
    for (const char* name :
         {"btnRemove", "btnUp", "btnDown", "lstEffects", "txtDuration", "btnPlayDemo"})
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Find<QWidget>("imgHint")->isVisible());
}

TEST_F(MainWindow, ThePreviewTabWithAnEmptyProjectAsksForPictures) {
    ClickTab(3);
    EXPECT_EQ(Window->CurrentTab(), 1);
    EXPECT_TRUE(Find<QWidget>("pnlPictures")->isVisible());
    ASSERT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_EQ(Boxes.Messages[0].Text,
              "Bitte fügen Sie dem Projekt mindestens eine Bilddatei hinzu.");
    EXPECT_EQ(Boxes.Messages[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Chooser.PictureDialogs, 1);
    EXPECT_TRUE(Preview.Loads.empty());
}

// The settings' language words the window's own messages too.
TEST_F(MainWindow, MessagesComeInTheSettingsLanguage) {
    Window.reset();
    TSettings(SettingsFile).WriteString("Main", "Language", "English");
    Open();
    ClickTab(3);
    ClickTab(2);
    Tick("optAudioSel");
    Find<QLineEdit>("txtAudio")->setText(Q(Dir / "weg.mp3"));
    QTest::mouseClick(Find<QWidget>("btnAudioPlaySel"), Qt::LeftButton);
    EXPECT_EQ(MessageTexts(), (std::vector<QString>{
                                  "Please add at least one picture file to the project.",
                                  "The given audio file does not exist and so cannot be played."}));
}

TEST_F(MainWindow, LeavingTheSettingsTabNeedsAnExistingOwnMusicFile) {
    ClickTab(2);
    ASSERT_EQ(Window->CurrentTab(), 2);
    const fs::path missing = Dir / "weg.mp3";
    Find<QLineEdit>("txtAudio")->setText(Q(missing)); // typing selects the own file
    EXPECT_TRUE(Find<QRadioButton>("optAudioSel")->isChecked());
    Audio.Has = true;
    ClickTab(1);
    EXPECT_EQ(Window->CurrentTab(), 2);
    EXPECT_TRUE(Find<QWidget>("pnlSettings")->isVisible());
    EXPECT_EQ(Audio.Stops, 1); // the player is stopped before the check
    ASSERT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_EQ(Boxes.Messages[0].Text.toStdString(), MissingMusicFileMessage(missing));
    EXPECT_EQ(Boxes.Messages[0].Kind, TMessageKind::Error);

    // Another choice (or an existing file) lets the user go.
    Tick("optAudio2");
    ClickTab(1);
    EXPECT_EQ(Window->CurrentTab(), 1);
    EXPECT_EQ(Window->Project().Options().Audio, TAudioChoice::Track2);
}

TEST_F(MainWindow, ThePreviewBuildsEachTimeItsTabIsClickedAndIsSizedToTheShow) {
    WriteBmpFile(Picture("wide.bmp"), 800, 600);
    AddPictures({Picture("wide.bmp")});
    ClickTab(3);
    ASSERT_EQ(Window->CurrentTab(), 3)
        << (Boxes.Messages.empty() ? "" : Boxes.Messages[0].Text.toStdString());
    EXPECT_TRUE(Boxes.Messages.empty());
    // First a blank movie, then the show, played once.
    ASSERT_EQ(Preview.Loads.size(), 2u);
    EXPECT_TRUE(TFakeMoviePlayer::IsBlank(Preview.Loads[0]));
    const auto show = pictova::test::WalkSwf(Preview.Loads[1].Bytes);
    EXPECT_FALSE(Preview.Loads[1].Loop);
    EXPECT_EQ(show.FrameSize.Xmax, 800 * 20);
    EXPECT_EQ(show.FrameSize.Ymax, 600 * 20);
    // The temporary files are gone once the player has them.
    for (const auto& load : Preview.Loads)
        EXPECT_FALSE(fs::exists(load.File.toStdString())) << load.File.toStdString();
    EXPECT_EQ(Preview.View.geometry(), QRect(32, 1, 387, 290));
    EXPECT_TRUE(Window->isEnabled());
    EXPECT_FALSE(TFakeBoxes::ProgressVisible());

    ClickTab(3);
    EXPECT_EQ(Preview.Loads.size(), 4u);
    EXPECT_EQ(Preview.Stops, 0);

    // Leaving the tab stops the preview and leaves a blank movie in it.
    ClickTab(1);
    EXPECT_EQ(Preview.Stops, 1);
    ASSERT_EQ(Preview.Loads.size(), 5u);
    EXPECT_TRUE(TFakeMoviePlayer::IsBlank(Preview.Loads[4]));
}

TEST_F(MainWindow, TheDemonstrationPlaysOnceAndFreesItsButtonAtTheLastFrame) {
    AddNumbered(1);
    auto* effects = Find<QListWidget>("lstEffects");
    QTest::mouseClick(effects->viewport(), Qt::LeftButton, Qt::NoModifier,
                      effects->visualItemRect(effects->item(2)).center());
    ASSERT_TRUE(Boxes.Messages.empty()) << Boxes.Messages[0].Text.toStdString();
    ASSERT_EQ(Demo.Loads.size(), 2u);
    EXPECT_TRUE(TFakeMoviePlayer::IsBlank(Demo.Loads[0]));
    const auto demo = pictova::test::WalkSwf(Demo.Loads[1].Bytes);
    EXPECT_EQ(demo.Signature, "CWS");
    EXPECT_EQ(demo.FrameCount, 1 + 26); // the standing picture, then a soft fade
    EXPECT_FALSE(Demo.Loads[1].Loop);
    EXPECT_FALSE(fs::exists(Demo.Loads[1].File.toStdString()));
    EXPECT_TRUE(Demo.View.isVisible());
    EXPECT_FALSE(Find<QWidget>("imgDemo")->isVisible());
    EXPECT_EQ(Window->DemoToggle(), 1);

    auto* button = Find<QWidget>("btnPlayDemo");
    auto* timer = Window->findChild<QTimer*>("Timer1");
    EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    Demo.Total = demo.FrameCount;
    Demo.Current = demo.FrameCount - 2;
    QTest::qWait(250);
    EXPECT_FALSE(button->isEnabled());
    Demo.Current = demo.FrameCount - 1;
    QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 1000);
    EXPECT_FALSE(timer->isActive());

    Demo.Current = 0;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Demo.Loads.size(), 4u);
    EXPECT_EQ(Window->DemoToggle(), 0);

    // A movie the player cannot show frees the button too, and says why.
    ASSERT_FALSE(button->isEnabled());
    emit Demo.LoadFailed(QStringLiteral("kaputt"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(timer->isActive());
    ASSERT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_TRUE(Boxes.Messages[0].Text.contains("kaputt"));
}

TEST_F(MainWindow, OptionsFollowTheirControls) {
    auto* password = Find<QLineEdit>("txtPassword");
    EXPECT_FALSE(password->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("chkAudioLoop")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("chkOpenOutput")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("optAudioNone")->isChecked());
    ClickTab(2);
    Tick("chkPassword");
    EXPECT_TRUE(password->isEnabled());
    QTest::keyClicks(password, "geheim");
    Tick("chkCompress");
    Tick("chkAudioLoop");
    const TShowOptions& options = Window->Project().Options();
    EXPECT_TRUE(options.Password);
    EXPECT_EQ(options.PasswordText, "geheim");
    EXPECT_TRUE(options.Compress);
    EXPECT_FALSE(options.AudioLoop);
    Tick("chkPassword");
    EXPECT_FALSE(password->isEnabled());

    // A chosen music file goes into the field and selects it.
    Chooser.Audio = Q(Dir / "musik" / "lied.mp3");
    QTest::mouseClick(Find<QWidget>("btnAudioSelect"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>("txtAudio")->text(), Q(Dir / "musik" / "lied.mp3"));
    EXPECT_EQ(options.Audio, TAudioChoice::OwnFile);
    EXPECT_EQ(options.AudioFile, Dir / "musik" / "lied.mp3");
    EXPECT_EQ(Chooser.Filter, "Audiodateien (*.mp3, *.wav) (*.mp3 *.wav)");
}

TEST_F(MainWindow, TheOutputPathIsSavedAtEveryChangeButNotAtStartUp) {
    const fs::path startup = Dir / "home" / "Documents" / "Meine Pictova" / "show.swf";
    EXPECT_EQ(Find<QLineEdit>("txtOutput")->text(), Q(startup));
    EXPECT_FALSE(fs::exists(SettingsFile));

    const fs::path chosen = Dir / "filme" / "urlaub.swf";
    Chooser.Output = Q(chosen);
    ClickTab(3); // empty project: back on tab 1 with the add dialog
    Window->btnOutputClick();
    EXPECT_EQ(Chooser.Folder, Q(startup)); // opens at the current output
    EXPECT_EQ(Chooser.Filter, "Flash-Filme (*.swf) (*.swf)");
    EXPECT_EQ(Find<QLineEdit>("txtOutput")->text(), Q(chosen));
    EXPECT_EQ(TSettings(SettingsFile).ReadString("Main", "OutputPath", ""), chosen.string());

    // The saved path is what the next start shows, when its folder exists.
    fs::create_directories(chosen.parent_path());
    Window.reset();
    Open();
    EXPECT_EQ(Find<QLineEdit>("txtOutput")->text(), Q(chosen));
}

TEST_F(MainWindow, ABrokenPictureShowsTheDecodersMessage) {
    pictova::test::WriteFile(Picture("kaputt.png"), "\x89PNG\r\n\x1a\n-- not really --");
    AddPictures({Picture("kaputt.png")});
    ASSERT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_EQ(Boxes.Messages[0].Kind, TMessageKind::Error);
    EXPECT_TRUE(Boxes.Messages[0].Text.contains(Q(Picture("kaputt.png"))));
    EXPECT_EQ(Window->Project().Count(), 1u); // the item stays, at 0 x 0
    EXPECT_TRUE(Find<QLabel>("imgPreview")->pixmap().isNull());

    // TIFF pictures preview through Qt's readers.
    QImage tiff(30, 20, QImage::Format_RGB32);
    tiff.fill(Qt::green);
    ASSERT_TRUE(tiff.save(Q(Picture("bild.tif")), "TIFF"));
    AddPictures({Picture("bild.tif")});
    EXPECT_EQ(Boxes.Messages.size(), 1u);
    EXPECT_EQ(Find<QLabel>("imgPreview")->pixmap().size(), QSize(30, 20));
}

} // namespace
} // namespace pictova::desktop::test
