#include "desktop/ProgressWindow.h"

#include "app/UserTexts.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace pictova::desktop {

TfrmMiscProgress::TfrmMiscProgress(const QWidget* centreOn, const QString& title,
                                   const QString& label)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmMiscProgress"));
    setWindowTitle(title.isEmpty() ? QString::fromUtf8(BuiltInText("Desktop", "ProgressTitle"))
                                   : title);
    setFixedSize(289, 55);
    setAttribute(Qt::WA_DeleteOnClose, false);

    lblProgress = new QLabel(
        label.isEmpty() ? QString::fromUtf8(BuiltInText("Desktop", "ProgressLabel")) : label, this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setGeometry(8, 6, 273, 16);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setGeometry(8, 26, 273, 18);
    pbProgress->setTextVisible(false);
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);

    if (centreOn) {
        const QRect frame = centreOn->frameGeometry();
        move(frame.center() - rect().center());
    }
}

void TfrmMiscProgress::SetLabel(const QString& text) {
    lblProgress->setText(text);
    // The work runs on this thread: let the window appear and show the text
    // now. User input is held back; the main window is disabled anyway.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TfrmMiscProgress::LabelText() const {
    return lblProgress->text();
}

void TfrmMiscProgress::SetMax(int max) {
    pbProgress->setMaximum(max);
    Redraw();
}

int TfrmMiscProgress::Max() const {
    return pbProgress->maximum();
}

void TfrmMiscProgress::SetPosition(int position) {
    pbProgress->setValue(position);
    Redraw();
}

void TfrmMiscProgress::Step() {
    pbProgress->setValue(std::min(pbProgress->value() + 1, pbProgress->maximum()));
    Redraw();
}

int TfrmMiscProgress::Position() const {
    return pbProgress->value();
}

void TfrmMiscProgress::Redraw() {
    // Painting at every step of a long serialisation would cost more than the
    // work; one repaint per percent is smooth enough.
    const int max = pbProgress->maximum();
    const int percent = max > 0 ? int(qint64(pbProgress->value()) * 100 / max) : 0;
    if (percent == ShownPercent || !isVisible())
        return;
    ShownPercent = percent;
    pbProgress->repaint();
}

} // namespace pictova::desktop
