#pragma once
// The three-way overwrite question: "&Ja", "Ja, &alle", "&Nein" and
// "Abbrechen" (also Escape), with the focus on "&Ja".

#include "app/Messages.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace pictova::desktop {

class TfrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMsgBox(QWidget* parent = nullptr);

    void SetText(const QString& text);
    // The button pressed; Cancel when the box was closed otherwise.
    TAnswer Answer() const { return FAnswer; }

    // Shows the box modally and returns the answer.
    static TAnswer Ask(QWidget* parent, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Finish(TAnswer answer);

    QLabel* lblText;
    QPushButton* btnYes;
    TAnswer FAnswer = TAnswer::Cancel;
};

} // namespace pictova::desktop
