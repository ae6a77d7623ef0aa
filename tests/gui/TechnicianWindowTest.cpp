// The windows as a technician meets them, through real key events, drops and resizes: Tab and
// Ctrl+A in the dialogs, Enter and Escape at the job window's questions, Alt accelerators, the
// exit question, a dropped HEX file, a larger job window and the job history.
#include "WindowBench.h"

#include "gui/TfAdv.h"
#include "gui/TfScales.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QDropEvent>
#include <QWindow>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

QWidget* focused() { return QApplication::focusWidget(); }

// Keys that type characters beyond ASCII, as a keyboard layout delivers them.
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

TEST(TechnicianKeys, TabMovesBetweenFieldsCtrlASelectsACommaIsAPointEnterEmptiesAMinus) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 77));
    b.click(b.button("bReadVcb"));
    whileOpen(b, "TfScales", "bScalesOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("bLightBarDefaults"), Qt::LeftButton);
        field(d, "memoScale1Name")->setFocus();
        QTest::keyClick(focused(), Qt::Key_Tab);
        EXPECT_EQ(focused(), field(d, "memoScale2Name"));
        QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), field(d, "memoScale1Name"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        typeText(focused(), QString::fromUtf8("äbc"));
        EXPECT_EQ(field(d, "memoScale1Name")->text(), QString::fromUtf8("ÄBC"));
    }, "mShowOffsetScales");
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QCheckBox*>("cbSkipTapeMinRadius"), Qt::LeftButton);
        QLineEdit* radius = field(d, "memoTapeMinRadius");
        radius->setFocus();
        QTest::keyClick(radius, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(radius, "3,25");
        EXPECT_EQ(radius->text(), "3.25");
        radius->setText("-1.5"); // pasted
        QTest::keyClick(radius, Qt::Key_Return);
        EXPECT_EQ(radius->text(), "");
        QTest::keyClick(radius, Qt::Key_Tab);
        EXPECT_EQ(focused(), static_cast<QWidget*>(d.findChild<QCheckBox*>("cbSkipTapeMinRadius")));
        QTest::mouseClick(d.findChild<QRadioButton*>("rbTiltYes"), Qt::LeftButton);
    }, "mShowAdvancedControls");
    whileOpen(b, "TfTiltTempCal", "bTiltTempCalClose", [&](QWidget& d) {
        field(d, "memoHiTempCalQ")->setFocus();
        QTest::keyClick(focused(), Qt::Key_Tab);
        EXPECT_EQ(focused(), field(d, "memoHiTempCalC")) << "past the Fahrenheit field";
    }, "mShowTiltTempCal");
}

TEST(TechnicianKeys, EnterClosesTheJobEscapeRefusesTheEraseAltRunsTheButtons) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 12));
    b.answerByKeys = true;
    QApplication::setActiveWindow(&b.mainWindow());
    QTest::keyClick(b.mainWindow().windowHandle(), Qt::Key_R, Qt::AltModifier); // "&Read VCB"
    // The shortcut presses the button as a click would look: the job runs once that is shown.
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.okOnlyPrompts == 1; }))
        << "Read VCB ran, Enter closed it";
    EXPECT_FALSE(b.jobWindow().isVisible());
    int enters = 0;
    b.atQuestion = [&] {
        if (!b.session->jobModel().cancelVisible()) return;
        QTest::keyClick(b.jobWindow().focusWidget(), Qt::Key_Return);
        ++enters;
    };
    b.answers = {WindowBench::Answer::Cancel};
    b.action("mConvertVcbToFormat1")->trigger();
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(b.answers.empty());
    EXPECT_FALSE(b.jobWindow().isVisible()) << "Escape refused the erase, Enter did nothing";
    EXPECT_EQ(b.fieldText("lFormatNumber"), "2");
}

TEST(TechnicianWindow, ExitAsksForUnprogrammedEditsAndADroppedFileIsProgrammed) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 31));
    b.click(b.button("bReadVcb"));
    EXPECT_TRUE(b.mainWindow().close()) << "nothing edited";
    b.mainWindow().show();
    auto* name = b.child<QLineEdit>(b.mainWindow(), "memoProductName");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, "KD-9");
    b.boxAnswers = {false};
    EXPECT_FALSE(b.mainWindow().close()) << "No keeps the window";
    EXPECT_EQ(b.errorBoxes.back().substr(b.errorBoxes.back().find('|') + 1),
              std::string(MainWindowModel::kExitQuestion));

    // As the platform delivers a drag: to the window, which finds the widget taking drops.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(TESSEL_SAMPLES_DIR "/KdV2.9.a90")});
    QDragEnterEvent enter(QPoint(20, 40), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(20, 40), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    const auto opens = b.lightBar().counts().opens;
    QApplication::sendEvent(b.mainWindow().windowHandle(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(b.mainWindow().windowHandle(), &drop);
    EXPECT_EQ(b.lightBar().counts().opens, opens + 1) << "Prog Code ran with the file";
    EXPECT_EQ(b.session->jobModel().caption(), "                  --- Program Light Bar Firmware Code ---");
    const std::size_t boxes = b.errorBoxes.size();
    EXPECT_TRUE(b.mainWindow().close()) << "Prog Code showed the light bar's block: no edit left";
    EXPECT_EQ(b.errorBoxes.size(), boxes);
}

TEST(TechnicianWindow, ALargerJobWindowGrowsItsPanesAndTheHistoryShowsTheJobs) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 44));
    b.click(b.button("bReadVcb"));
    QSize grown;
    int logWidth = 0;
    b.atQuestion = [&] {
        auto* log = b.child<QTextEdit>(b.jobWindow(), "reProg");
        if (b.session->jobModel().cancelVisible()) {
            b.jobWindow().resize(b.jobWindow().minimumSize() + QSize(300, 150));
            grown = b.jobWindow().size();
        } else {
            logWidth = log->width();
        }
    };
    b.action("mConvertVcbToFormat1")->trigger();
    EXPECT_EQ(grown, QSize(632 + 300, 343 + 150));
    EXPECT_EQ(logWidth, 306 + 150) << "the panes share the room";
    whileOpen(b, "TfHistory", "bHistoryClose", [&](QWidget& history) {
        const std::string text = b.child<QTextEdit>(history, "reHistory")->toPlainText().toStdString();
        EXPECT_NE(text.find("Convert Light Bar VCB to Format 1  S/N 44  0 Ok  backups: "),
                  std::string::npos)
            << text;
    }, "mHistory");
}

} // namespace
} // namespace tessel::testing
