#include "desktop/MsgBoxWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace pictova::desktop {

TfrmMsgBox::TfrmMsgBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMsgBox"));
    setWindowTitle(QStringLiteral("Pictova"));
    setFixedSize(460, 102);
    setModal(true);
    setFont(QApplication::font("QMessageBox"));

    auto* imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setGeometry(12, 10, 32, 32);
    imgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setGeometry(56, 8, 396, 51);
    lblText->setWordWrap(true);
    lblText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    struct TButton {
        const char* Name;
        const char* Caption;
        TAnswer Answer;
    };
    const TButton buttons[] = {{"btnYes", "&Ja", TAnswer::Yes},
                               {"btnYesToAll", "Ja, &alle", TAnswer::YesToAll},
                               {"btnNo", "&Nein", TAnswer::No},
                               {"btnCancel", "Abbrechen", TAnswer::Cancel}};
    int left = (460 - 4 * 88 - 3 * 8) / 2;
    for (const TButton& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.Caption), this);
        button->setObjectName(QString::fromLatin1(b.Name));
        button->setGeometry(left, 68, 88, 25);
        button->setAutoDefault(false);
        const TAnswer answer = b.Answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { Finish(answer); });
        if (answer == TAnswer::Yes)
            btnYes = button;
        left += 96;
    }
    btnYes->setDefault(true);
}

void TfrmMsgBox::SetText(const QString& text) {
    lblText->setText(text);
}

void TfrmMsgBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    btnYes->setFocus(Qt::OtherFocusReason);
}

void TfrmMsgBox::reject() {
    // Escape and the window's close button count as "Abbrechen".
    FAnswer = TAnswer::Cancel;
    QDialog::reject();
}

void TfrmMsgBox::Finish(TAnswer answer) {
    FAnswer = answer;
    if (answer == TAnswer::Cancel)
        QDialog::reject();
    else
        QDialog::accept();
}

TAnswer TfrmMsgBox::Ask(QWidget* parent, const QString& text) {
    TfrmMsgBox box(parent);
    box.SetText(text);
    box.exec();
    return box.Answer();
}

} // namespace pictova::desktop
