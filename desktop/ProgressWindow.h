#pragma once
// "Bitte warten ...": the small window a long operation shows while the main
// window is disabled. It is a top-level window of its own (no parent): a
// child of the disabled main window would be disabled and greyed out too.
// The movie and the build drive its bar through TProgressSink.

#include "movie/ProgressSink.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace pictova::desktop {

class TfrmMiscProgress : public QWidget, public TProgressSink {
    Q_OBJECT
public:
    // Centred on centreOn when given; an empty title or label is the built-in
    // German one.
    explicit TfrmMiscProgress(const QWidget* centreOn = nullptr, const QString& title = {},
                              const QString& label = {});

    void SetLabel(const QString& text);
    QString LabelText() const;

    void SetMax(int max) override;
    int Max() const override;
    void SetPosition(int position) override;
    void Step() override;
    int Position() const;

private:
    void Redraw();

    QLabel* lblProgress;
    QProgressBar* pbProgress;
    int ShownPercent = -1;
};

} // namespace pictova::desktop
