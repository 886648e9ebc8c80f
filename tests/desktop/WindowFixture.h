#pragma once
// The main window with stand-ins for its dialogs and players, a settings and
// documents folder of its own (HOME and XDG_CONFIG_HOME point into a
// temporary folder) and a program folder made of links to the built one, so
// that a test can take a template away.

#include "desktop/Artwork.h"
#include "desktop/DesktopServices.h"
#include "desktop/MainWindow.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pictova::desktop::test {

namespace fs = std::filesystem;
using pictova::test::ScopedEnv;
using pictova::test::TempDir;

inline QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Answers file dialogs with what the test put in.
class TFakeChooser : public TFileChooser {
public:
    QStringList ChoosePictures(QWidget*, const QString& folder, const QString& filter) override {
        ++PictureDialogs;
        Folder = folder;
        Filter = filter;
        return std::exchange(Pictures, {});
    }
    QString ChooseAudioFile(QWidget*, const QString& folder, const QString& filter) override {
        Folder = folder;
        Filter = filter;
        return std::exchange(Audio, {});
    }
    QString ChooseOutputFile(QWidget*, const QString& initialFile, const QString& filter) override {
        Folder = initialFile;
        Filter = filter;
        return std::exchange(Output, {});
    }

    QStringList Pictures;
    QString Audio;
    QString Output;
    int PictureDialogs = 0;
    QString Folder; // as the last dialog was given it
    QString Filter;
};

// Records messages with the state of the window at that moment, and answers
// questions from queues (No when a queue is empty).
class TFakeBoxes : public TMessageBoxes {
public:
    struct TShown {
        QString Text;
        TMessageKind Kind;
        bool WindowEnabled;
        bool ProgressShown;
    };

    void ShowMessage(QWidget* parent, const QString& text, TMessageKind kind) override {
        Messages.push_back({text, kind, parent ? parent->isEnabled() : true, ProgressVisible()});
    }
    TAnswer AskYesNoCancel(QWidget*, const QString& text) override {
        Questions.push_back(text);
        return Next(YesNoCancel);
    }
    TAnswer AskOverwrite(QWidget*, const QString& text) override {
        Overwrites.push_back(text);
        return Next(Overwrite);
    }

    static bool ProgressVisible() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmMiscProgress") && w->isVisible())
                return true;
        return false;
    }

    std::vector<TShown> Messages;
    std::vector<QString> Questions;
    std::vector<QString> Overwrites;
    std::deque<TAnswer> YesNoCancel;
    std::deque<TAnswer> Overwrite;

private:
    static TAnswer Next(std::deque<TAnswer>& answers) {
        if (answers.empty())
            return TAnswer::No;
        const TAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Keeps what it was given to play: the file's bytes are read at once, as
// the real player does, so the window may delete the file afterwards.
class TFakeMoviePlayer : public TMoviePlayer {
public:
    struct TLoad {
        QString File;
        bool Loop;
        std::string Bytes;
    };

    QWidget* Widget() override { return &View; }
    void LoadMovie(const QString& file, bool loop) override {
        Loads.push_back({file, loop, pictova::test::ReadFileBytes(file.toStdString())});
    }
    void Play() override { ++Plays; }
    void Stop() override { ++Stops; }
    int TotalFrames() const override { return Total; }
    int CurrentFrame() const override { return Current; }

    // A blank movie is one frame on a 1 x 1 twip stage.
    static bool IsBlank(const TLoad& load) {
        const auto movie = pictova::test::WalkSwf(load.Bytes);
        return movie.FrameCount == 1 && movie.FrameSize.Xmax == 1;
    }

    QWidget View;
    std::vector<TLoad> Loads;
    int Plays = 0;
    int Stops = 0;
    int Total = 0;
    int Current = 0;
};

class TFakeAudioPlayer : public TAudioPlayer {
public:
    TResult Play(const QString& file, QString*) override {
        Played.push_back(file);
        Has = true;
        return TResult::Playing;
    }
    void Stop() override {
        ++Stops;
        Has = false;
    }
    bool HasFile() const override { return Has; }

    std::vector<QString> Played;
    int Stops = 0;
    bool Has = false;
};

// A program folder of links to the built one's files; Without() leaves one
// out. The demonstration pictures are drawn here when the build has none.
inline fs::path MakeProgramFolder(const fs::path& where, const std::vector<fs::path>& without) {
    const fs::path built = PICTOVA_PROGRAM_DIR;
    fs::create_directories(where / "data");
    fs::create_directory_symlink(built / "lng", where / "lng");
    for (const auto& entry : fs::directory_iterator(built / "data")) {
        const fs::path name = fs::path("data") / entry.path().filename();
        bool left = false;
        for (const fs::path& w : without)
            left = left || w == name;
        if (!left)
            fs::create_symlink(entry.path(), where / name);
    }
    const fs::path artwork = where / kArtworkFolder.toStdString();
    if (!fs::exists(artwork)) {
        fs::create_directories(artwork);
        const QColor colours[] = {Qt::red, Qt::blue};
        const QString names[] = {kDemoPicture1, kDemoPicture2};
        for (int i = 0; i < 2; ++i) {
            QImage picture(150, 105, QImage::Format_RGB888);
            picture.fill(colours[i]);
            picture.save(Q(artwork / names[i].toStdString()), "PNG");
        }
    }
    return where;
}

class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(std::vector<fs::path> without = {})
        : HomeEnv("HOME", (Dir / "home").string()),
          ConfigEnv("XDG_CONFIG_HOME", (Dir / "config").string()),
          Documents("XDG_DOCUMENTS_DIR", std::nullopt) {
        fs::create_directories(Dir / "home" / "Documents");
        fs::create_directories(Dir / "pictures");
        ProgramFolder = MakeProgramFolder(Dir / "program", without);
        SettingsFile = Dir / "config" / "Tesmar" / "Pictova" / "Settings.ini";
    }

    void SetUp() override { Open(); }

    void Open() {
        Window = std::make_unique<TfrmMain>(TMainWindowServices{Chooser, Boxes, Preview, Demo,
                                                                Audio, ProgramFolder, SettingsFile,
                                                                [this](const std::string& url) {
                                                                    Urls.push_back(url);
                                                                    return true;
                                                                }});
        Window->ResetProject();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    template <typename T> T* Find(const char* name) const {
        T* widget = Window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    fs::path Picture(const std::string& name) const { return Dir / "pictures" / name; }

    // Adds the files through the add button.
    void AddPictures(const std::vector<fs::path>& files) {
        for (const fs::path& f : files)
            Chooser.Pictures << Q(f);
        QTest::mouseClick(Find<QWidget>("btnAdd"), Qt::LeftButton);
    }

    // Clicks list rows as the user does, the first plainly, the others with
    // Ctrl; the last one clicked is the focused item.
    void ClickRows(const std::vector<int>& rows) {
        auto* list = Find<QListWidget>("lstGFX");
        for (std::size_t i = 0; i < rows.size(); ++i)
            QTest::mouseClick(list->viewport(), Qt::LeftButton,
                              i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                              list->visualItemRect(list->item(rows[i])).center());
    }

    void ClickTab(int tab) {
        QTest::mouseClick(Find<QWidget>("imgMenu"), Qt::LeftButton, Qt::NoModifier,
                          kMenuTabRects[std::size_t(tab - 1)].center());
    }

    // Radio buttons and check boxes take clicks on their box and text only.
    void Tick(const char* name) {
        QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton, Qt::NoModifier, QPoint(6, 10));
    }

    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const auto& m : Boxes.Messages)
            texts.push_back(m.Text);
        return texts;
    }

    TempDir Dir;
    ScopedEnv HomeEnv, ConfigEnv, Documents;
    fs::path ProgramFolder;
    fs::path SettingsFile;
    TFakeChooser Chooser;
    TFakeBoxes Boxes;
    TFakeMoviePlayer Preview;
    TFakeMoviePlayer Demo;
    TFakeAudioPlayer Audio;
    std::vector<std::string> Urls;
    std::unique_ptr<TfrmMain> Window;
};

} // namespace pictova::desktop::test
