// The main window through its widgets: start-up in both modes, Read VCB on light bars in every
// state, the firmware update a technician follows, the COM Port menu and a read-only INI file.
#include "WindowBench.h"

#include "gui/LayoutWidgets.h"
#include "gui/WindowLook.h"

#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tessel::testing {
namespace {

// Every caption and label of a window fits its control.
void expectNothingClipped(QWidget& window) {
    for (auto* b : window.findChildren<QPushButton*>())
        EXPECT_LE(b->fontMetrics().horizontalAdvance(qText(plainCaption(b->text().toStdString()))) +
                      kButtonPadding,
                  b->width())
            << b->objectName().toStdString();
    for (auto* l : window.findChildren<QLabel*>()) {
        EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width())
            << l->objectName().toStdString();
        EXPECT_LE(l->fontMetrics().height(), l->height()) << l->objectName().toStdString();
    }
}

TEST(MainWindow, StartsUpInBothModesWithItsDesignPlacesAndNothingOffered) {
    for (const bool advanced : {true, false}) {
        WindowBench b(advanced ? kAdvancedIni : kPlainIni);
        SCOPED_TRACE(advanced ? "advanced" : "plain");
        TfVcbPrg& w = b.mainWindow();
        EXPECT_EQ(w.windowTitle(), "Tessel v3.6 \u2013 virtual light bar");
        EXPECT_EQ(w.centralWidget()->height(), advanced ? 164 : 124) << "40 or 80 pixels lower";
        EXPECT_EQ(w.width(), 391);
        EXPECT_EQ(b.button("bProgVcb")->isVisible(), advanced);
        EXPECT_EQ(b.button("bVerifyVcb")->isVisible(), advanced);
        EXPECT_EQ(b.button("bProgCode")->geometry(), QRect(150, advanced ? 120 : 80, 80, 30));
        EXPECT_TRUE(b.button("bReadVcb")->isEnabled());
        for (const char* name : {"bProgVcb", "bVerifyVcb", "bProgCode", "bVerifyCode"})
            EXPECT_FALSE(b.button(name)->isEnabled()) << name;
        for (const char* name : {"mConvertVcbToFormat1", "mConvertVcbToFormat2", "mInitDefaultVcb"})
            EXPECT_FALSE(b.action(name)->isEnabled()) << name;
        for (const char* name : {"lFormatNumber", "memoSerialNumber", "memoProductName"})
            EXPECT_EQ(b.fieldText(name), "?") << name;
        EXPECT_TRUE(b.action("mCom1")->isChecked());
        EXPECT_EQ(b.button("bReadVcb")->toolTip(),
                  "Read the Veltrane Configuration Block from a connected Light Bar");
        expectNothingClipped(w);
        expectNothingClipped(b.jobWindow());
    }
}

TEST(MainWindow, ReadVcbShowsEachKindOfLightBar) {
    struct Case {
        int format; // 0: none, -1: no answer
        const char* formatShown;
        const char* serialShown;
        bool initDefault;
        bool progCode;
    };
    for (const Case& c : {Case{1, "1", "20417", false, true}, Case{2, "2", "815", false, true},
                          Case{0, "?", "?", true, false}, Case{-1, "?", "?", false, false}}) {
        WindowBench b(kAdvancedIni);
        SCOPED_TRACE(c.format);
        if (c.format > 0) b.putRecord(WindowBench::record(c.format, std::stoi(c.serialShown)));
        if (c.format < 0) b.lightBar().setNoAnswer(true);
        b.click(b.button("bReadVcb"));
        EXPECT_FALSE(b.jobWindow().isVisible()) << "closed by OK";
        EXPECT_EQ(b.okOnlyPrompts, 1);
        EXPECT_EQ(b.fieldText("lFormatNumber"), c.formatShown);
        EXPECT_EQ(b.fieldText("memoSerialNumber"), c.serialShown);
        EXPECT_EQ(b.action("mInitDefaultVcb")->isEnabled(), c.initDefault);
        EXPECT_EQ(b.button("bProgCode")->isEnabled(), c.progCode);
        EXPECT_EQ(b.child<QLineEdit>(b.mainWindow(), "memoProductName")->isReadOnly(),
                  !c.progCode);
    }
}

TEST(MainWindow, TheUpdateInstructionsWorkStepByStep) {
    WindowBench b(kAdvancedIni);
    // A field unit: older firmware that needs block format 1, and its format 1 block.
    ConfigBlock unit = WindowBench::record(1, 20417);
    unit.productName = "KD-7F";
    unit.metricScales[0] = {100, 200, 300, 400, 500, 600, 700, 800};
    unit.scaleNames[0] = "SPR";
    b.putRecord(unit);

    b.click(b.button("bReadVcb"));
    ASSERT_EQ(b.fieldText("lFormatNumber"), "1");
    ASSERT_EQ(b.fieldText("memoProductName"), "KD-7F");

    ASSERT_TRUE(b.action("mConvertVcbToFormat2")->isEnabled());
    b.action("mConvertVcbToFormat2")->trigger();
    ASSERT_EQ(b.fieldText("lFormatNumber"), "2");
    ASSERT_EQ(b.fieldText("memoProductName"), "KD-7F");

    b.fileToChoose = TESSEL_SAMPLES_DIR "/KdV2.9.a90";
    b.click(b.button("bProgCode"));
    ASSERT_FALSE(b.logs.empty());
    const auto& last = b.logs.back();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2].text, " Light Bar Firmware Code Verified Ok");
    EXPECT_EQ(b.fieldText("memoSerialNumber"), "20417") << "the block is kept";
    EXPECT_EQ(b.fieldText("memoProductName"), "KD-7F");
    EXPECT_EQ(b.fieldText("lFormatNumber"), "2");
    EXPECT_TRUE(b.errorBoxes.empty());

    b.logs.clear();
    b.click(b.button("bVerifyCode"));
    ASSERT_FALSE(b.logs.empty());
    EXPECT_EQ(b.logs.back()[b.logs.back().size() - 2].text, " Light Bar Firmware Code Verified Ok");
    EXPECT_NE(readFile(b.iniPath).find("HexPath=" TESSEL_SAMPLES_DIR "/"), std::string::npos);
}

TEST(MainWindow, FirmwareFileProblemsShowTheStandardErrorBox) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 5));
    b.click(b.button("bReadVcb"));
    const std::string notHex = b.dir / "notes.a90";
    writeFile(notHex, "these are notes\n");
    b.fileToChoose = notHex;
    b.click(b.button("bProgCode"));
    ASSERT_EQ(b.errorBoxes.size(), 1u);
    EXPECT_EQ(b.errorBoxes[0],
              "Tessel|HEX File Format Error\n" + notHex + "\nThe file holds no firmware.");
    const std::string cut = b.dir / "cut.a90";
    writeFile(cut, ":0400000001020304F2\n"); // no end-of-file record
    b.fileToChoose = cut;
    b.click(b.button("bProgCode"));
    ASSERT_EQ(b.errorBoxes.size(), 2u);
    EXPECT_EQ(b.errorBoxes[1], "Tessel|HEX File Format Error\n" + cut +
                                   "\nThe file has no end-of-file record: it may be cut short.");

    b.fileToChoose.clear(); // the dialog is cancelled: silent
    const auto opens = b.lightBar().counts().opens;
    b.click(b.button("bVerifyCode"));
    EXPECT_EQ(b.errorBoxes.size(), 2u);
    EXPECT_EQ(b.lightBar().counts().opens, opens);
}

// File > "Restore from Backup…" opens its file dialog in the backup folder and puts the chosen
// block area back with the EEPROM saved beside it; the block is read back.
TEST(MainWindow, RestoreFromBackupPutsABackupBack) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 5));
    b.lightBar().setEepromByte(7, 0x42);
    b.click(b.button("bReadVcb"));
    b.action("mConvertVcbToFormat1")->trigger();
    ASSERT_EQ(b.fieldText("lFormatNumber"), "1");
    const std::string folder = b.session->model().backupFolder();
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);

    b.fileToChoose = files[1]; // the block area; its EEPROM file goes with it
    QAction* restore = b.action("mRestoreFromBackup");
    EXPECT_EQ(restore->text(), QString::fromUtf8("&Restore from Backup\u2026"));
    restore->trigger();
    EXPECT_EQ(b.dialogFolders, std::vector<std::string>{folder});
    EXPECT_TRUE(b.errorBoxes.empty());
    EXPECT_EQ(b.fieldText("lFormatNumber"), "2") << "the block read back";
    EXPECT_EQ(b.lightBar().eepromByte(7), 0x42);
}

// A start-up that cannot go on shows why, then ends with the command line's exit code for the
// same failure (tessel read-vcb gives 65 for this state file).
TEST(MainWindow, AStartUpFailureIsShownAndEndsWithTheCommandLinesExitCode) {
    TempDir dir;
    writeFile(dir / "tessel.INI", "[Configuration]\n");
    const std::string state = dir / "bar.state";
    writeFile(state, "not a light bar\n");
    std::vector<std::string> boxes;
    const ShownWindows answer([&](QWidget& window) {
        if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            boxes.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
        }
    });
    AppSession::Options options;
    options.executablePath = dir / "tessel";
    options.iniPath = dir / "tessel.INI";
    options.simulate = true;
    options.simulateFile = state;
    EXPECT_EQ(runWindows(options), result::BadInput);
    EXPECT_EQ(boxes, std::vector<std::string>{state + " is not a saved virtual light bar"});
    EXPECT_EQ(readFile(state), "not a light bar\n") << "never overwritten";

    std::filesystem::create_directory(dir / "folder.INI");
    options.iniPath = dir / "folder.INI";
    EXPECT_EQ(runWindows(options), result::Config);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].rfind("cannot read the settings file " + std::string(dir / "folder.INI") +
                                 ": it is a folder",
                             0),
              0u)
        << boxes[1];
}

TEST(MainWindow, ASavedComPortThatIsSkippedIsDroppedWhenTheMenuOpens) {
    WindowBench b("[Configuration]\nCOM Port=3\nSkipComPort3=1\n");
    EXPECT_TRUE(b.action("mCom3")->isChecked());
    auto* menu = b.mainWindow().findChild<QMenu*>("mComPort");
    emit menu->aboutToShow();
    EXPECT_FALSE(b.action("mCom3")->isChecked());
    EXPECT_FALSE(b.action("mCom3")->isEnabled());
    b.action("mCom2")->trigger();
    EXPECT_TRUE(b.action("mCom2")->isChecked());
    EXPECT_NE(readFile(b.iniPath).find("COM Port=2"), std::string::npos);
}

TEST(MainWindow, AReadOnlyIniIsLeftAsItWasWhenTheWindowCloses) {
    const std::string ini = "[Configuration]\nIniFileIsReadOnly=1\nCOM Port=1\n";
    {
        WindowBench b(ini);
        b.action("mCom2")->trigger();
        EXPECT_TRUE(b.action("mCom2")->isChecked() && !b.action("mCom1")->isChecked());
        EXPECT_TRUE(b.mainWindow().close());
        EXPECT_EQ(readFile(b.iniPath), ini);
        b.session.reset();
        EXPECT_EQ(readFile(b.iniPath), ini) << "no termination writes";
    }
}

TEST(MainWindow, TheProductNameFieldTurnsWhiteWhileEditedAndStaysOneLine) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 9));
    b.click(b.button("bReadVcb"));
    auto* name = b.child<QLineEdit>(b.mainWindow(), "memoProductName");
    ASSERT_TRUE(name->isEnabled());
    b.mainWindow().activateWindow();
    name->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(name->palette().color(QPalette::Base), QColor(Qt::white));
    QTest::keyClick(name, Qt::Key_Escape);
    QTest::keyClicks(name, "KD-9");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(name->text(), "KD-9");
    b.button("bReadVcb")->setFocus();
    QApplication::processEvents();
    EXPECT_NE(name->palette().color(QPalette::Base), QColor(Qt::white));

    // Restoring a minimised window keeps the edit: the record is loaded at the first showing.
    b.mainWindow().showMinimized();
    b.mainWindow().showNormal();
    QApplication::processEvents();
    EXPECT_EQ(name->text(), "KD-9");

    b.click(b.button("bProgVcb"));
    b.click(b.button("bReadVcb"));
    EXPECT_EQ(b.fieldText("memoProductName"), "KD-9") << "programmed";
}

TEST(MainWindow, NumbersKeepTheirDecimalPointUnderTheUsersLocale) {
    // The user's locale is a decimal-comma one (WindowTestMain asks for de_DE.UTF-8); in any
    // other this would test nothing.
    ASSERT_EQ(QLocale().decimalPoint(), QString(","))
        << "no de_DE.UTF-8 locale here (scripts/install-deps generates it)";
    WindowBench b(kAdvancedIni);
    ConfigBlock r = WindowBench::record(2, 3);
    r.tapeMinRadius = 2.5;
    r.skipTapeMinRadius = false;
    b.putRecord(r);
    b.click(b.button("bReadVcb"));
    EXPECT_EQ(b.session->model().text("memoTapeMinRadius"), "2.5");
    b.session->model().controls().setText("memoTapeMinRadius", "2.75");
    b.click(b.button("bProgVcb"));
    EXPECT_TRUE(b.errorBoxes.empty()) << b.errorBoxes.front();
    b.click(b.button("bReadVcb"));
    EXPECT_EQ(b.session->model().text("memoTapeMinRadius"), "2.75");
}

} // namespace
} // namespace tessel::testing
