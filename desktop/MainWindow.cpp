#include "desktop/MainWindow.h"

#include "app/DialogFilter.h"
#include "app/PreviewFit.h"
#include "app/UserTexts.h"
#include "desktop/Artwork.h"
#include "desktop/PictureLoading.h"
#include "desktop/ProgramFont.h"
#include "desktop/ProgressWindow.h"
#include "movie/FlashMovie.h"
#include "platform/FileBytes.h"
#include "platform/OpenUrl.h"
#include "platform/TempFile.h"
#include "platform/UserFolders.h"
#include "show/BackgroundMusic.h"
#include "show/EffectCaptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace pictova::desktop {

namespace fs = std::filesystem;

namespace {

QString ToQString(const fs::path& path) {
    return QString::fromStdString(path.string());
}
fs::path ToPath(const QString& text) {
    return fs::path(text.toStdString());
}

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* Caption(const char* name, const char* text, QWidget* parent, QRect geometry) {
    auto* label = Named(new QLabel(QString::fromUtf8(text), parent), name);
    label->setGeometry(geometry);
    return label;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent, QRect geometry) {
    auto* button = Named(new QPushButton(QString::fromUtf8(text), parent), name);
    button->setGeometry(geometry);
    return button;
}

QGroupBox* Group(const char* name, const char* title, QWidget* parent, QRect geometry) {
    auto* group = Named(new QGroupBox(QString::fromUtf8(title), parent), name);
    group->setGeometry(geometry);
    return group;
}

constexpr SWFRGB kWhite{255, 255, 255};

} // namespace

TfrmMain::TfrmMain(TMainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Services(std::move(services)), FSettings(Services.SettingsFile),
      FLanguage(
          Services.ProgramFolder,
          [this](const std::string& text, TMessageKind kind) { Tell(text, kind); },
          SettingsLanguage(FSettings)),
      FCreator(Services.ProgramFolder, FSettings, FLanguage,
               TOutputCheckUi{
                   [this](const std::string& text) {
                       return Services.Boxes.AskYesNoCancel(this, QString::fromStdString(text));
                   },
                   [this](const std::string& text) {
                       return Services.Boxes.AskOverwrite(this, QString::fromStdString(text));
                   },
                   [this](const std::string& text, TMessageKind kind) { Tell(text, kind); }}),
      FListening(Services.AudioPlayer, Services.Boxes, this, Services.ProgramFolder,
                 FLanguage.Name()),
      FDraw(TEffectDraw::FromClock()) {
    setObjectName(QStringLiteral("frmMain"));
    FListening.DescribeError = [this](const std::exception& e) {
        return UserMessage(e, FLanguage);
    };
    setWindowTitle(QStringLiteral("Pictova"));
    setFixedSize(640, 465);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xF5, 0xF5, 0xF5));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(ProgramFont());

    FProject.OutputPathChanged = [this](const fs::path& path) {
        try {
            FSettings.WriteOutputPath(path);
        } catch (const std::exception& e) {
            // Every keystroke in the field writes; one report is enough.
            if (!FSettingsWriteReported)
                Tell(UserMessage(e, FLanguage), TMessageKind::Warning);
            FSettingsWriteReported = true;
        }
    };

    // A movie the player cannot show would otherwise leave an empty area.
    for (TMoviePlayer* player : {&Services.PreviewPlayer, &Services.DemoPlayer})
        connect(player, &TMoviePlayer::LoadFailed, this, [this, player](const QString& error) {
            // A demonstration that never plays would keep its button disabled.
            if (player == &Services.DemoPlayer) {
                Timer1->stop();
                ApplyEnablingRules();
            }
            Tell(FLanguage.Text("Desktop", "MovieNotPlayed", {error.toStdString()}),
                 TMessageKind::Error);
        });

    BuildHeaderAndMenu();
    BuildPicturesTab();
    BuildSettingsTab();
    BuildPreviewTab();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    // The players belong to the program, not to this window: hand their
    // widgets back before the panels that hold them are destroyed.
    Services.PreviewPlayer.Widget()->setParent(nullptr);
    Services.DemoPlayer.Widget()->setParent(nullptr);
}

QPixmap TfrmMain::Artwork(const QString& name) const {
    return QPixmap(
        ToQString(Services.ProgramFolder / kArtworkFolder.toStdString() / name.toStdString()));
}

void TfrmMain::BuildHeaderAndMenu() {
    imgHeader = Named(new QLabel(this), "imgHeader");
    imgHeader->setGeometry(0, 0, 640, 65);
    imgHeader->setPixmap(Artwork(kHeaderPicture));

    imgMenu = Named(new QLabel(this), "imgMenu");
    imgMenu->setGeometry(0, 65, 152, 400);
    imgMenu->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgMenu->installEventFilter(this);

    const char* names[] = {"pnlPictures", "pnlSettings", "pnlPreviewTab"};
    for (int i = 0; i < 3; ++i) {
        pnlTabs[std::size_t(i)] = Named(new QWidget(this), names[i]);
        pnlTabs[std::size_t(i)]->setGeometry(152, 70, 488, 390);
    }
}

void TfrmMain::BuildPicturesTab() {
    QWidget* panel = pnlTabs[0];

    QGroupBox* grpPictures = Group("grpPictures", "Bildauswahl", panel, {0, 0, 276, 232});
    lstGFX = Named(new QListWidget(grpPictures), "lstGFX");
    lstGFX->setGeometry(8, 18, 260, 150);
    lstGFX->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstGFX->installEventFilter(this);
    connect(lstGFX, &QListWidget::itemSelectionChanged, this, [this] { SyncSelectionFromList(); });
    imgHint = Named(new QLabel(grpPictures), "imgHint");
    imgHint->setGeometry(28, 18, 220, 150);
    imgHint->setPixmap(Artwork(kHintPicture));
    // Clicks go through to the list below.
    imgHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    btnAdd = Button("btnAdd", "Hinzufügen", grpPictures, {8, 172, 128, 25});
    btnRemove = Button("btnRemove", "Entfernen", grpPictures, {140, 172, 128, 25});
    btnUp = Button("btnUp", "Nach oben verschieben", grpPictures, {8, 200, 128, 25});
    btnDown = Button("btnDown", "Nach unten verschieben", grpPictures, {140, 200, 128, 25});
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemoveClick(); });
    connect(btnUp, &QPushButton::clicked, this, [this] { btnUpClick(); });
    connect(btnDown, &QPushButton::clicked, this, [this] { btnDownClick(); });

    QGroupBox* grpPreview = Group("grpPreview", "Bildvorschau", panel, {284, 0, 204, 232});
    imgPreview = Named(new QLabel(grpPreview), "imgPreview");
    imgPreview->setGeometry(8, 18, 188, 180);
    imgPreview->setAlignment(Qt::AlignCenter);
    lblFileName = Named(new QLabel(grpPreview), "lblFileName");
    lblFileName->setGeometry(8, 204, 188, 18);
    lblFileName->setAlignment(Qt::AlignCenter);

    QGroupBox* grpEffects = Group("grpEffects", "Effektauswahl", panel, {0, 238, 276, 152});
    Caption("lblDuration", "Anzeigedauer in Sekunden:", grpEffects, {8, 20, 150, 18});
    txtDuration = Named(new QSpinBox(grpEffects), "txtDuration");
    txtDuration->setGeometry(196, 18, 72, 22);
    txtDuration->setRange(kMinDuration, kMaxDuration);
    txtDuration->setSingleStep(1); // a page step is ten of them
    txtDuration->setValue(kDefaultDuration);
    connect(txtDuration, &QSpinBox::valueChanged, this,
            [this](int value) { txtDurationChange(value); });
    lstEffects = Named(new QListWidget(grpEffects), "lstEffects");
    lstEffects->setGeometry(8, 46, 260, 98);
    for (int effect = 0; effect < kEffectCount; ++effect)
        lstEffects->addItem(QString::fromStdString(EffectCaptionText(FLanguage, effect)));
    // A click on a row, also on the current one, sets the effect and shows
    // it; the keyboard moves the current row without a click.
    connect(lstEffects, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lstEffectsClick(lstEffects->row(item)); });
    connect(lstEffects, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !(QApplication::mouseButtons() & Qt::LeftButton))
            lstEffectsClick(row);
    });

    QGroupBox* grpDemo = Group("grpDemo", "Effektvorschau", panel, {284, 238, 204, 152});
    imgDemo = Named(new QLabel(grpDemo), "imgDemo");
    imgDemo->setGeometry(27, 18, 150, 105);
    imgDemo->setPixmap(Artwork(kDemoPicture1));
    QWidget* demo = Services.DemoPlayer.Widget();
    demo->setParent(grpDemo);
    demo->setGeometry(imgDemo->geometry());
    demo->setContextMenuPolicy(Qt::NoContextMenu);
    demo->hide();
    btnPlayDemo =
        Button("btnPlayDemo", "Effektdemonstration abspielen", grpDemo, {8, 125, 188, 23});
    connect(btnPlayDemo, &QPushButton::clicked, this, [this] { btnPlayDemoClick(); });

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TfrmMain::BuildSettingsTab() {
    QWidget* panel = pnlTabs[1];

    QGroupBox* grpMusic = Group("grpMusic", "Hintergrundmusik einbinden", panel, {0, 0, 488, 238});
    auto radio = [&](const char* name, const QString& text, int top) {
        auto* button = Named(new QRadioButton(text, grpMusic), name);
        button->setGeometry(12, top, 200, 20);
        return button;
    };
    optAudioNone = radio("optAudioNone", QStringLiteral("(Keine)"), 20);
    connect(optAudioNone, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !FProject.Updating())
            FProject.Options().Audio = TAudioChoice::None;
    });
    const TAudioChoice tracks[] = {TAudioChoice::Track1, TAudioChoice::Track2, TAudioChoice::Track3,
                                   TAudioChoice::Track4};
    for (std::size_t k = 0; k < 4; ++k) {
        const int top = 44 + int(k) * 24;
        const std::string_view caption = kBuiltInTracks[k].Caption;
        const std::string option = "optAudio" + std::to_string(k + 1);
        const std::string play = "btnAudioPlay" + std::to_string(k + 1);
        optAudio[k] = radio(option.c_str(),
                            QString::fromUtf8(caption.data(), qsizetype(caption.size())), top);
        btnAudioPlay[k] = Button(play.c_str(), "Abspielen", grpMusic, {220, top - 2, 90, 23});
        const TAudioChoice track = tracks[k];
        connect(optAudio[k], &QRadioButton::toggled, this, [this, track](bool on) {
            if (on && !FProject.Updating())
                FProject.Options().Audio = track;
        });
        connect(btnAudioPlay[k], &QPushButton::clicked, this,
                [this, track] { btnAudioPlayClick(track); });
    }
    lblAudioStatus = Named(new QLabel(grpMusic), "lblAudioStatus");
    lblAudioStatus->setGeometry(320, 44, 156, 90);
    lblAudioStatus->setWordWrap(true);
    lblAudioStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    optAudioSel = radio("optAudioSel", QStringLiteral("Eigene Audiodatei verwenden:"), 140);
    optAudioSel->setGeometry(12, 140, 300, 20);
    connect(optAudioSel, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !FProject.Updating())
            FProject.Options().Audio = TAudioChoice::OwnFile;
    });
    Caption("lblAudio", "Pfad zu Audiodatei:", grpMusic, {30, 164, 200, 18});
    txtAudio = Named(new QLineEdit(grpMusic), "txtAudio");
    txtAudio->setGeometry(30, 184, 300, 22);
    connect(txtAudio, &QLineEdit::textChanged, this,
            [this](const QString& text) { txtAudioChange(text); });
    btnAudioSelect =
        Button("btnAudioSelect", "Audiodatei wählen...", grpMusic, {336, 157, 140, 24});
    btnAudioPlaySel = Button("btnAudioPlaySel", "Abspielen", grpMusic, {336, 183, 140, 24});
    connect(btnAudioSelect, &QPushButton::clicked, this, [this] { btnAudioSelectClick(); });
    connect(btnAudioPlaySel, &QPushButton::clicked, this, [this] { btnAudioPlaySelClick(); });
    chkAudioLoop =
        Named(new QCheckBox(QStringLiteral("Wiedergabe wiederholen"), grpMusic), "chkAudioLoop");
    chkAudioLoop->setGeometry(30, 210, 300, 20);
    connect(chkAudioLoop, &QCheckBox::toggled, this, [this](bool on) {
        if (!FProject.Updating())
            FProject.Options().AudioLoop = on;
    });

    QGroupBox* grpAdvanced =
        Group("grpAdvanced", "Erweiterte Einstellungen", panel, {0, 244, 488, 146});
    chkCompress = Named(new QCheckBox(QStringLiteral("Ausgabedatei komprimieren"), grpAdvanced),
                        "chkCompress");
    chkCompress->setGeometry(12, 22, 464, 20);
    connect(chkCompress, &QCheckBox::toggled, this, [this](bool on) {
        if (!FProject.Updating())
            FProject.Options().Compress = on;
    });
    chkPassword =
        Named(new QCheckBox(QStringLiteral("Ausgabedatei mit Passwort vor Dekompilation schützen"),
                            grpAdvanced),
              "chkPassword");
    chkPassword->setGeometry(12, 48, 464, 20);
    connect(chkPassword, &QCheckBox::toggled, this, [this] { chkPasswordClick(); });
    Caption("lblPassword", "Passwort:", grpAdvanced, {30, 78, 70, 18});
    txtPassword = Named(new QLineEdit(grpAdvanced), "txtPassword");
    txtPassword->setGeometry(104, 76, 200, 22);
    connect(txtPassword, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!FProject.Updating())
            FProject.Options().PasswordText = text.toStdString();
    });
}

void TfrmMain::BuildPreviewTab() {
    QWidget* panel = pnlTabs[2];

    pnlPreview = Named(new QFrame(panel), "pnlPreview");
    pnlPreview->setGeometry(18, 0, kPreviewPanelWidth, kPreviewPanelHeight);
    pnlPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlPreview->setLineWidth(1);
    QPalette black = pnlPreview->palette();
    black.setColor(QPalette::Window, Qt::black);
    pnlPreview->setPalette(black);
    pnlPreview->setAutoFillBackground(true);
    QWidget* player = Services.PreviewPlayer.Widget();
    player->setParent(pnlPreview);
    player->setGeometry(1, 1, kPreviewPanelWidth - 2, kPreviewPanelHeight - 2);
    player->show();

    Caption("lblOutput", "Ausgabeverzeichnis:", panel, {18, 300, 200, 18});
    txtOutput = Named(new QLineEdit(panel), "txtOutput");
    txtOutput->setGeometry(18, 318, 290, 22);
    connect(txtOutput, &QLineEdit::textChanged, this,
            [this](const QString& text) { txtOutputChange(text); });
    btnOutput = Button("btnOutput", "Ausgabeverzeichnis wählen...", panel, {314, 317, 156, 24});
    connect(btnOutput, &QPushButton::clicked, this, [this] { btnOutputClick(); });
    chkOpenOutput = Named(
        new QCheckBox(QStringLiteral("Ausgabedatei nach dem Erstellen in Browser anzeigen"), panel),
        "chkOpenOutput");
    chkOpenOutput->setGeometry(18, 350, 290, 20);
    connect(chkOpenOutput, &QCheckBox::toggled, this, [this](bool on) {
        if (!FProject.Updating())
            FProject.Options().OpenOutput = on;
    });
    btnCreate = Button("btnCreate", "Diashow erstellen", panel, {314, 346, 156, 40});
    QFont large = btnCreate->font();
    large.setPixelSize(14);
    large.setBold(true);
    btnCreate->setFont(large);
    connect(btnCreate, &QPushButton::clicked, this, [this] { btnCreateClick(); });
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Centred once; where the user moves it afterwards it stays.
    if (FCentred || event->spontaneous())
        return;
    FCentred = true;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgMenu && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint at = mouse->position().toPoint();
            if (kMenuTabRects[0].contains(at))
                imgTab1Click();
            else if (kMenuTabRects[1].contains(at))
                imgTab2Click();
            else if (kMenuTabRects[2].contains(at))
                imgTab3Click();
            return true;
        }
    }
    if (watched == lstGFX && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        btnRemoveClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::FormCreate() {
    FCurrentTab = 1;
    ShowMenuPicture(); // and the panel of that tab
}

void TfrmMain::ResetProject() {
    const auto updating = FProject.BeginUpdate();
    const fs::path documents = DocumentsFolder();
    // The language's default folder first, then what the settings keep
    // (only the latter is used unless its folder is gone).
    txtOutput->setText(
        ToQString(documents / FLanguage.GetLangString("GUI", "DefaultDir") / "show.swf"));
    FProject.Reset(StartupOutputPath(FSettings, documents));

    const TShowOptions& options = FProject.Options();
    SyncListFromProject();
    txtAudio->setText(ToQString(options.AudioFile));
    optAudioNone->setChecked(true);
    chkAudioLoop->setChecked(options.AudioLoop);
    chkCompress->setChecked(options.Compress);
    chkPassword->setChecked(options.Password);
    txtPassword->setText(QString::fromStdString(options.PasswordText));
    txtPassword->setEnabled(options.Password);
    txtOutput->setText(ToQString(options.OutputPath));
    chkOpenOutput->setChecked(options.OpenOutput);
    ShowFocusedItem();
    ApplyEnablingRules();
}

// ---- Tabs -------------------------------------------------------------

void TfrmMain::imgTab1Click() {
    SwitchTab(1);
}
void TfrmMain::imgTab2Click() {
    SwitchTab(2);
}
void TfrmMain::imgTab3Click() {
    SwitchTab(3);
}

void TfrmMain::ShowMenuPicture() {
    imgMenu->setPixmap(Artwork(kMenuPictures[std::size_t(FCurrentTab - 1)]));
    for (std::size_t i = 0; i < pnlTabs.size(); ++i)
        pnlTabs[i]->setVisible(int(i) + 1 == FCurrentTab);
}

bool TfrmMain::OwnMusicFileMissing() const {
    return FProject.Options().Audio == TAudioChoice::OwnFile &&
           !MusicFileExists(FProject.Options().AudioFile);
}

void TfrmMain::SwitchTab(int tab) {
    if (FCurrentTab == 2 && tab != 2) {
        FListening.StopIfPlaying();
        if (OwnMusicFileMissing()) {
            Tell(MissingMusicFileMessage(FProject.Options().AudioFile), TMessageKind::Error);
            return;
        }
    }
    if (FCurrentTab == 3 && tab != 3) {
        Services.PreviewPlayer.Stop();
        ShowBlankPreview(Services.PreviewPlayer);
    }
    if (tab == 3 && FProject.Count() == 0) {
        FCurrentTab = 1;
        ShowMenuPicture();
        Tell(FLanguage.Text("Desktop", "AddPictures"), TMessageKind::Information);
        btnAddClick();
        return;
    }
    FCurrentTab = tab;
    if (tab == 3)
        ShowBlankPreview(Services.PreviewPlayer);
    ShowMenuPicture();
    // Also when the preview tab was shown already: it builds again.
    if (tab == 3)
        BuildPreviewMovie();
}

// ---- Pictures ---------------------------------------------------------

void TfrmMain::SyncListFromProject() {
    FSyncingList = true;
    lstGFX->clear();
    for (std::size_t i = 0; i < FProject.Count(); ++i) {
        auto* line = new QListWidgetItem(
            QString::fromStdString(FProject.ImgItems()[i].DisplayName()), lstGFX);
        line->setSelected(FProject.IsSelected(i));
    }
    if (const auto focus = FProject.Focused())
        lstGFX->setCurrentRow(int(*focus), QItemSelectionModel::NoUpdate);
    FSyncingList = false;
}

void TfrmMain::SyncSelectionFromList() {
    if (FSyncingList || std::size_t(lstGFX->count()) != FProject.Count())
        return;
    for (int row = 0; row < lstGFX->count(); ++row)
        FProject.SetSelected(std::size_t(row), lstGFX->item(row)->isSelected());
    const int current = lstGFX->currentRow();
    FProject.SetFocused(current >= 0 ? std::optional<std::size_t>(std::size_t(current))
                                     : std::nullopt);
    lstGFXClick();
}

void TfrmMain::lstGFXClick() {
    ShowFocusedItem();
    ApplyEnablingRules();
}

void TfrmMain::ApplyEnablingRules() {
    const std::size_t count = FProject.Count();
    const bool any = FProject.SelectedCount() > 0;
    const bool first = any && FProject.IsSelected(0);
    const bool last = any && FProject.IsSelected(count - 1);
    btnRemove->setEnabled(any);
    imgHint->setVisible(!any);
    lstEffects->setEnabled(any);
    txtDuration->setEnabled(any);
    // While a demonstration plays its button stays disabled.
    btnPlayDemo->setEnabled(any && !Timer1->isActive());
    btnUp->setEnabled(any && !first);
    btnDown->setEnabled(any && !last);
}

void TfrmMain::ShowFocusedItem() {
    FProject.ShowFocused([this](const TItemView& view) {
        if (view.Empty) {
            imgPreview->clear();
            lblFileName->clear();
            // 0 says "nothing selected"; the field is disabled then.
            txtDuration->setMinimum(0);
            txtDuration->setValue(0);
            lstEffects->setCurrentRow(0);
            return;
        }
        txtDuration->setMinimum(kMinDuration);
        txtDuration->setValue(view.Duration);
        lstEffects->setCurrentRow(view.Effect);
        lblFileName->setText(ToQString(view.FileName.filename()));
        ShowPicturePreview(view.FileName);
    });
}

void TfrmMain::ShowPicturePreview(const fs::path& file) {
    const TLoadedPicture picture = LoadPictureFile(ToQString(file));
    if (picture.Image.isNull()) {
        imgPreview->clear();
        if (!picture.Error.isEmpty())
            Tell(FLanguage.Text("Desktop", "PictureNotShown",
                                {file.string(), picture.Error.toStdString()}),
                 TMessageKind::Error);
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(picture.Image);
    // Proportional and centred; small pictures are not enlarged.
    if (pixmap.width() > imgPreview->width() || pixmap.height() > imgPreview->height())
        pixmap = pixmap.scaled(imgPreview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    imgPreview->setPixmap(pixmap);
}

void TfrmMain::btnAddClick() {
    const QStringList files = Services.Chooser.ChoosePictures(
        this, ToQString(FProject.LastAddFolder()),
        QString::fromStdString(ToQtFileFilter(PictureDialogFilter(FLanguage))));
    if (files.isEmpty())
        return;
    std::vector<fs::path> paths;
    for (const QString& file : files)
        paths.push_back(ToPath(file));
    FProject.AddPictures(paths);
    SyncListFromProject();
    lstGFXClick();
}

void TfrmMain::btnRemoveClick() {
    if (FProject.SelectedCount() == 0)
        return;
    FProject.RemoveSelected();
    SyncListFromProject();
    lstGFXClick();
}

void TfrmMain::btnUpClick() {
    if (FProject.MoveUp() == TMoveResult::Refused) {
        QApplication::beep();
        return;
    }
    SyncListFromProject();
    ApplyEnablingRules();
}

void TfrmMain::btnDownClick() {
    if (FProject.MoveDown() == TMoveResult::Refused) {
        QApplication::beep();
        return;
    }
    SyncListFromProject();
    ApplyEnablingRules();
}

void TfrmMain::txtDurationChange(int value) {
    FProject.SetDuration(value);
}

void TfrmMain::lstEffectsClick(int row) {
    if (FProject.Updating() || row < 0)
        return;
    FProject.SetEffect(row);
    RunDemo();
}

// ---- Effect demonstration ----------------------------------------------

const std::array<TDecodedPicture, 2>& TfrmMain::DemoPictures() {
    if (!FDemoPictures) {
        std::array<TDecodedPicture, 2> pictures;
        const QString names[] = {kDemoPicture1, kDemoPicture2};
        for (std::size_t i = 0; i < 2; ++i) {
            const fs::path file =
                Services.ProgramFolder / kArtworkFolder.toStdString() / names[i].toStdString();
            pictures[i] = DecodePng(ReadFileBytes(file));
        }
        FDemoPictures = std::move(pictures);
    }
    return *FDemoPictures;
}

void TfrmMain::btnPlayDemoClick() {
    RunDemo();
}

void TfrmMain::RunDemo() {
    try {
        const std::array<TDecodedPicture, 2>& pictures = DemoPictures();
        const TTemporaryFile demo = TTemporaryFile::Create(kTempFilePrefix, ".swf");
        const int effect = std::max(0, lstEffects->currentRow());
        BuildEffectDemo(effect, pictures[std::size_t(FDemoToggle)],
                        pictures[std::size_t(1 - FDemoToggle)], demo.Path(), FDraw);
        FDemoToggle = 1 - FDemoToggle;
        btnPlayDemo->setEnabled(false);
        Timer1->start();
        imgDemo->hide();
        Services.DemoPlayer.Widget()->show();
        ShowBlankPreview(Services.DemoPlayer);
        Services.DemoPlayer.LoadMovie(ToQString(demo.Path()), false);
    } catch (const std::exception& e) {
        Tell(UserMessage(e, FLanguage), TMessageKind::Error);
    }
}

void TfrmMain::Timer1Timer() {
    const int total = Services.DemoPlayer.TotalFrames();
    if (total > 0 && Services.DemoPlayer.CurrentFrame() + 1 >= total) {
        Timer1->stop();
        ApplyEnablingRules();
    }
}

// ---- Players ----------------------------------------------------------

void TfrmMain::ShowBlankPreview(TMoviePlayer& player) {
    try {
        const TTemporaryFile blank = TTemporaryFile::Create(kTempFilePrefix, ".swf");
        MakeBlankMovie(blank.Path(), kWhite);
        player.LoadMovie(ToQString(blank.Path()), false);
    } catch (const std::exception& e) {
        Tell(UserMessage(e, FLanguage), TMessageKind::Error);
    }
}

void TfrmMain::FitPreview(int width, int height) {
    const TPlayerRect rect = FitPreviewPlayer(width, height);
    Services.PreviewPlayer.Widget()->setGeometry(rect.Left, rect.Top, rect.Width, rect.Height);
}

void TfrmMain::BuildPreviewMovie() {
    RunBusy([this](const TCreationHooks& hooks) {
        const TTemporaryFile movie = TTemporaryFile::Create(kTempFilePrefix, ".swf");
        if (FCreator.BuildPreview(FProject.ImgItems(), FProject.Options(), movie.Path(), FDraw,
                                  hooks) == TCreationOutcome::Written)
            Services.PreviewPlayer.LoadMovie(ToQString(movie.Path()), false);
    });
}

// ---- Music ------------------------------------------------------------

void TfrmMain::btnAudioPlayClick(TAudioChoice track) {
    FListening.PlayTrackPreview(track);
    lblAudioStatus->setText(FListening.Status());
}

void TfrmMain::btnAudioPlaySelClick() {
    FListening.PlayOwnFile(ToPath(txtAudio->text()));
    lblAudioStatus->setText(FListening.Status());
}

void TfrmMain::btnAudioSelectClick() {
    QString folder = LastAudioFolder;
    if (folder.isEmpty() && !txtAudio->text().isEmpty())
        folder = QFileInfo(txtAudio->text()).absolutePath();
    const QString file = Services.Chooser.ChooseAudioFile(
        this, folder, QString::fromStdString(ToQtFileFilter(AudioDialogFilter(FLanguage))));
    if (file.isEmpty())
        return;
    LastAudioFolder = QFileInfo(file).absolutePath();
    txtAudio->setText(file);
}

void TfrmMain::txtAudioChange(const QString& text) {
    if (FProject.Updating())
        return;
    FProject.SetOwnAudioFile(ToPath(text));
    const auto updating = FProject.BeginUpdate();
    optAudioSel->setChecked(true);
}

// ---- Options and output -----------------------------------------------

void TfrmMain::chkPasswordClick() {
    txtPassword->setEnabled(chkPassword->isChecked());
    if (!FProject.Updating())
        FProject.Options().Password = chkPassword->isChecked();
}

void TfrmMain::btnOutputClick() {
    const QString file = Services.Chooser.ChooseOutputFile(
        this, txtOutput->text(),
        QString::fromStdString(ToQtFileFilter(MovieDialogFilter(FLanguage))));
    if (!file.isEmpty())
        txtOutput->setText(file);
}

void TfrmMain::txtOutputChange(const QString& text) {
    // Saved in the settings unless the start-up reset fills the field.
    FProject.SetOutputPath(ToPath(text));
}

void TfrmMain::btnCreateClick() {
    FCreator.Check().ClearYesToAll();
    TCreation creation;
    const bool built = RunBusy([this, &creation](const TCreationHooks& hooks) {
        creation = FCreator.Create(FProject.ImgItems(), FProject.Options(), false, FDraw, hooks);
    });
    if (built && creation.Outcome == TCreationOutcome::Written && FProject.Options().OpenOutput)
        OpenPage(creation.Page);
}

void TfrmMain::OpenPage(const fs::path& page) {
    try {
        const std::string url = FPageServer.UrlOf(page);
        const bool opened = Services.OpenUrl ? Services.OpenUrl(url) : OpenInBrowser(url);
        if (!opened)
            Tell(FLanguage.Text("Desktop", "NoBrowser", {url}), TMessageKind::Warning);
    } catch (const std::exception& e) {
        Tell(UserMessage(e, FLanguage), TMessageKind::Error);
    }
}

// ---- Busy state and messages ------------------------------------------

bool TfrmMain::RunBusy(const std::function<void(const TCreationHooks& hooks)>& work) {
    // Shown when the build reaches its pictures, after the questions of the
    // output checks and the music stage.
    auto progress = std::make_unique<TfrmMiscProgress>(
        this, QString::fromStdString(FLanguage.Text("Desktop", "ProgressTitle")),
        QString::fromStdString(FLanguage.Text("Desktop", "ProgressLabel")));
    TCreationHooks hooks;
    hooks.Progress = progress.get();
    hooks.ProgressLabel = [this, &progress](const std::string& label) {
        if (!progress->isVisible()) {
            repaint();
            setEnabled(false);
            progress->show();
        }
        progress->SetLabel(QString::fromStdString(label));
    };
    hooks.FitPreviewPlayer = [this](int width, int height) { FitPreview(width, height); };
    hooks.OnMissingMusic = [this](const std::string& message) {
        Tell(message, TMessageKind::Error);
        SwitchTab(2);
    };

    QString error;
    try {
        work(hooks);
    } catch (const std::exception& e) {
        error = QString::fromStdString(UserMessage(e, FLanguage));
    }
    progress->close();
    progress.reset();
    setEnabled(true);
    repaint();
    if (error.isEmpty())
        return true;
    Tell(error, TMessageKind::Error);
    return false;
}

void TfrmMain::Tell(const std::string& text, TMessageKind kind) {
    Tell(QString::fromStdString(text), kind);
}

void TfrmMain::Tell(const QString& text, TMessageKind kind) {
    Services.Boxes.ShowMessage(this, text, kind);
}

} // namespace pictova::desktop
