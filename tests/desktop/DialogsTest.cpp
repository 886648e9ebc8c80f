// The two small windows: the three-way overwrite box and the progress window.

#include "desktop/MsgBoxWindow.h"
#include "desktop/ProgressWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace pictova::desktop {
namespace {

TEST(MsgBox, LooksAsDesignedWithTheFocusOnYes) {
    TfrmMsgBox box;
    box.SetText(QStringLiteral("Die Datei ist bereits vorhanden."));
    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), "Pictova");
    EXPECT_EQ(box.size(), QSize(460, 102));
    auto* text = box.findChild<QLabel*>("lblText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->size(), QSize(396, 51));
    EXPECT_TRUE(text->wordWrap());
    EXPECT_FALSE(box.findChild<QLabel*>("imgIcon")->pixmap().isNull());
    QStringList captions;
    for (const char* name : {"btnYes", "btnYesToAll", "btnNo", "btnCancel"})
        captions << box.findChild<QPushButton*>(name)->text();
    EXPECT_EQ(captions, (QStringList{"&Ja", "Ja, &alle", "&Nein", "Abbrechen"}));
    EXPECT_EQ(box.focusWidget(), box.findChild<QPushButton*>("btnYes"));
    box.close();
}

TEST(MsgBox, EachButtonGivesItsAnswerAndEscapeCancels) {
    struct TRow {
        const char* Button;
        TAnswer Answer;
    };
    for (const TRow& row : {TRow{"btnYes", TAnswer::Yes}, TRow{"btnYesToAll", TAnswer::YesToAll},
                            TRow{"btnNo", TAnswer::No}, TRow{"btnCancel", TAnswer::Cancel}}) {
        SCOPED_TRACE(row.Button);
        TfrmMsgBox box;
        box.open();
        QTest::mouseClick(box.findChild<QPushButton*>(row.Button), Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.Answer(), row.Answer);
    }
    TfrmMsgBox box;
    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.Answer(), TAnswer::Cancel);
}

TEST(MiscProgress, IsATopWindowOfItsOwnThatTheBuildDrives) {
    QWidget main;
    main.setEnabled(false); // as during a build
    TfrmMiscProgress progress(&main);
    EXPECT_EQ(progress.parentWidget(), nullptr);
    EXPECT_TRUE(progress.isEnabled());
    EXPECT_EQ(progress.windowTitle(), "Bitte warten ...");
    EXPECT_EQ(progress.size(), QSize(289, 55));
    EXPECT_EQ(progress.LabelText(), "Vorgang wird bearbeitet...");
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowCloseButtonHint);

    TProgressSink& sink = progress;
    progress.show();
    sink.SetMax(4);
    sink.SetPosition(0);
    sink.Step();
    sink.Step();
    EXPECT_EQ(sink.Max(), 4);
    EXPECT_EQ(progress.Position(), 2);
    for (int i = 0; i < 5; ++i)
        sink.Step(); // never past its end
    EXPECT_EQ(progress.Position(), 4);
    progress.SetLabel(QStringLiteral("Diashow wird erstellt ..."));
    EXPECT_EQ(progress.LabelText(), "Diashow wird erstellt ...");
}

} // namespace
} // namespace pictova::desktop
