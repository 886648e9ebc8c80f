#pragma once
// The main window: three tabs chosen in the menu column on the left lead
// from the pictures (tab 1) over music and options (tab 2) to the preview and
// the "Diashow erstellen" button (tab 3). The window mirrors the slide-show
// project in its controls and calls the project's operations from its
// handlers; building, checking and writing are done by the library and
// TShowCreator. Control names are the objectNames of the widgets.

#include "app/Language.h"
#include "app/PageServer.h"
#include "app/Settings.h"
#include "app/ShowCreation.h"
#include "desktop/DesktopServices.h"
#include "desktop/MusicListening.h"
#include "platform/PngDecoder.h"
#include "show/SlideShowBuild.h"
#include "show/SlideShowProject.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace pictova::desktop {

class TfrmMiscProgress;

// What the window is given; the references must outlive it.
struct TMainWindowServices {
    TFileChooser& Chooser;
    TMessageBoxes& Boxes;
    TMoviePlayer& PreviewPlayer;         // tab 3
    TMoviePlayer& DemoPlayer;            // the effect demonstration of tab 1
    TAudioPlayer& AudioPlayer;           // listening to the music choices
    std::filesystem::path ProgramFolder; // data/ and lng/ lie there
    std::filesystem::path SettingsFile;
    // Opens an address in the browser (OpenInBrowser when empty); false
    // when no browser could be started.
    std::function<bool(const std::string& url)> OpenUrl;
};

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(TMainWindowServices services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Program start: an empty project, the options at their initial values
    // and the output path from the settings (not written back).
    void ResetProject();

    const TSlideShowProject& Project() const { return FProject; }
    int CurrentTab() const { return FCurrentTab; }
    // The pictures that come in by the effect in the next demonstrations
    // alternate; this is the one that stands first in the next one.
    int DemoToggle() const { return FDemoToggle; }

    // The handlers of the window's controls.
    void FormCreate();
    void imgTab1Click();
    void imgTab2Click();
    void imgTab3Click();
    void btnAddClick();
    void btnRemoveClick();
    void btnUpClick();
    void btnDownClick();
    void lstGFXClick();
    void txtDurationChange(int value);
    void lstEffectsClick(int row);
    void btnPlayDemoClick();
    void Timer1Timer();
    void btnAudioPlayClick(TAudioChoice track);
    void btnAudioPlaySelClick();
    void btnAudioSelectClick();
    void txtAudioChange(const QString& text);
    void chkPasswordClick();
    void btnOutputClick();
    void txtOutputChange(const QString& text);
    void btnCreateClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildHeaderAndMenu();
    void BuildPicturesTab();
    void BuildSettingsTab();
    void BuildPreviewTab();
    QPixmap Artwork(const QString& name) const;

    void SwitchTab(int tab);
    void ShowMenuPicture();
    void ApplyEnablingRules();
    void SyncListFromProject();
    void SyncSelectionFromList();
    void ShowFocusedItem();
    void ShowPicturePreview(const std::filesystem::path& file);
    void ShowBlankPreview(TMoviePlayer& player);
    void FitPreview(int width, int height);
    void BuildPreviewMovie();
    void RunDemo();
    const std::array<TDecodedPicture, 2>& DemoPictures();
    bool OwnMusicFileMissing() const;
    void OpenPage(const std::filesystem::path& page);

    // Runs a build with the busy state around it: while the progress window
    // is up the window is disabled; afterwards (also after an error) it is
    // enabled again and the progress window gone, and then an error's
    // message is shown. False after an error.
    bool RunBusy(const std::function<void(const TCreationHooks& hooks)>& work);

    void Tell(const std::string& text, TMessageKind kind);
    void Tell(const QString& text, TMessageKind kind);
    void Tell(const char* text, TMessageKind kind) { Tell(QString::fromUtf8(text), kind); }

    TMainWindowServices Services;
    TSettings FSettings;
    TLanguage FLanguage;
    TShowCreator FCreator;
    TSlideShowProject FProject;
    TMusicListening FListening;
    TPageServer FPageServer;
    TEffectDraw FDraw;
    int FCurrentTab = 1;
    int FDemoToggle = 0;
    bool FSyncingList = false;
    bool FCentred = false;
    bool FSettingsWriteReported = false;
    std::optional<std::array<TDecodedPicture, 2>> FDemoPictures;
    QString LastAudioFolder;

    QLabel* imgHeader = nullptr;
    QLabel* imgMenu = nullptr;
    std::array<QWidget*, 3> pnlTabs{};

    QListWidget* lstGFX = nullptr;
    QLabel* imgHint = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnUp = nullptr;
    QPushButton* btnDown = nullptr;
    QLabel* imgPreview = nullptr;
    QLabel* lblFileName = nullptr;
    QSpinBox* txtDuration = nullptr;
    QListWidget* lstEffects = nullptr;
    QLabel* imgDemo = nullptr;
    QPushButton* btnPlayDemo = nullptr;
    QTimer* Timer1 = nullptr;

    QRadioButton* optAudioNone = nullptr;
    std::array<QRadioButton*, 4> optAudio{};
    std::array<QPushButton*, 4> btnAudioPlay{};
    QRadioButton* optAudioSel = nullptr;
    QLineEdit* txtAudio = nullptr;
    QPushButton* btnAudioSelect = nullptr;
    QPushButton* btnAudioPlaySel = nullptr;
    QCheckBox* chkAudioLoop = nullptr;
    QLabel* lblAudioStatus = nullptr;
    QCheckBox* chkCompress = nullptr;
    QCheckBox* chkPassword = nullptr;
    QLineEdit* txtPassword = nullptr;

    QFrame* pnlPreview = nullptr;
    QLineEdit* txtOutput = nullptr;
    QPushButton* btnOutput = nullptr;
    QCheckBox* chkOpenOutput = nullptr;
    QPushButton* btnCreate = nullptr;
};

} // namespace pictova::desktop
