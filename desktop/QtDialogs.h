#pragma once
// The program's real dialogs: Qt's file dialogs and message boxes captioned
// "Pictova" with German buttons, and TfrmMsgBox for the overwrite question.

#include "desktop/DesktopServices.h"

namespace pictova::desktop {

class TQtFileChooser : public TFileChooser {
public:
    QStringList ChoosePictures(QWidget* parent, const QString& folder,
                               const QString& filter) override;
    QString ChooseAudioFile(QWidget* parent, const QString& folder, const QString& filter) override;
    QString ChooseOutputFile(QWidget* parent, const QString& initialFile,
                             const QString& filter) override;
};

class TQtMessageBoxes : public TMessageBoxes {
public:
    void ShowMessage(QWidget* parent, const QString& text, TMessageKind kind) override;
    TAnswer AskYesNoCancel(QWidget* parent, const QString& text) override;
    TAnswer AskOverwrite(QWidget* parent, const QString& text) override;
};

} // namespace pictova::desktop
