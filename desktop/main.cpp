// pictova: the desktop program. Command-line arguments are not used.

#include "app/Language.h"
#include "app/Settings.h"
#include "desktop/Artwork.h"
#include "desktop/MainWindow.h"
#include "desktop/ProgramFont.h"
#include "desktop/QtAudioPlayer.h"
#include "desktop/QtDialogs.h"
#include "desktop/RufflePlayer.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    using namespace pictova;
    using namespace pictova::desktop;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictova"));
    RegisterProgramFont();
    QApplication::setFont(ProgramFont());

    std::filesystem::path programFolder;
    try {
        programFolder = ProgramFolder();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Pictova"), QString::fromUtf8(e.what()));
        return 1;
    }
    QApplication::setWindowIcon(QIcon(QString::fromStdString(
        (programFolder / kArtworkFolder.toStdString() / kProgramIcon.toStdString()).string())));

    TQtFileChooser chooser;
    TQtMessageBoxes boxes;
    TRufflePlayer previewPlayer(programFolder);
    TRufflePlayer demoPlayer(programFolder);
    demoPlayer.SetContextMenu(false);
    const std::string language = SettingsLanguage(TSettings(TSettings::DefaultSettingsFile()));
    previewPlayer.SetLanguage(language);
    demoPlayer.SetLanguage(language);
    TQtAudioPlayer audioPlayer(&application);

    TfrmMain window(TMainWindowServices{chooser,
                                        boxes,
                                        previewPlayer,
                                        demoPlayer,
                                        audioPlayer,
                                        programFolder,
                                        TSettings::DefaultSettingsFile(),
                                        {}});
    window.ResetProject();
    window.show();
    return application.exec();
}
