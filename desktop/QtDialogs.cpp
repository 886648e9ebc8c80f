#include "desktop/QtDialogs.h"

#include "desktop/MsgBoxWindow.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pictova::desktop {

namespace {

const QString kCaption = QStringLiteral("Pictova");

QMessageBox::Icon IconOf(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Plain:
        return QMessageBox::NoIcon;
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Warning:
        return QMessageBox::Warning;
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QStringList TQtFileChooser::ChoosePictures(QWidget* parent, const QString& folder,
                                           const QString& filter) {
    QFileDialog dialog(parent, QStringLiteral("Öffnen"), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString TQtFileChooser::ChooseAudioFile(QWidget* parent, const QString& folder,
                                        const QString& filter) {
    QFileDialog dialog(parent, QStringLiteral("Öffnen"), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString TQtFileChooser::ChooseOutputFile(QWidget* parent, const QString& initialFile,
                                         const QString& filter) {
    QFileDialog dialog(parent, QStringLiteral("Speichern unter"), initialFile, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("swf"));
    // The output checks ask before anything is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TQtMessageBoxes::ShowMessage(QWidget* parent, const QString& text, TMessageKind kind) {
    QMessageBox box(IconOf(kind), kCaption, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

TAnswer TQtMessageBoxes::AskYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

TAnswer TQtMessageBoxes::AskOverwrite(QWidget* parent, const QString& text) {
    return TfrmMsgBox::Ask(parent, text);
}

} // namespace pictova::desktop
