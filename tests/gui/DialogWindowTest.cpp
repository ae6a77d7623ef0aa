// The option dialogs, the calibration window, the instructions and the about window through
// their widgets: real key events, focus changes, the acquisition and a block round trip on a
// virtual light bar, and the instructions printed to a PDF file read back with pdftotext.
#include "WindowBench.h"

#include "app/Instructions.h"
#include "app/TiltRecordBytes.h"
#include "gui/InstructionsWindow.h"
#include "gui/OptionDialogWindows.h"
#include "gui/TfAdv.h"
#include "gui/TfScales.h"
#include "gui/TfTiltTempCal.h"

#include <QAction>
#include <QCheckBox>
#include <QPageLayout>
#include <QPrinter>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

namespace tessel::testing {
namespace {

// The field a collection stopped at: its dialog opened on it, focused, its text selected.
void expectShownField(WindowBench& b, const char* dialogName, const char* control) {
    whileOpen(b, dialogName, nullptr, [&](QWidget& d) {
        QLineEdit* f = field(d, control);
        EXPECT_TRUE(f->hasFocus()) << control;
        EXPECT_EQ(f->selectedText(), f->text()) << control;
        static_cast<QDialog&>(d).accept();
    }, [&] { b.click(b.button("bProgVcb")); });
}

// Empties the field with Escape, then types.
void typeInto(QLineEdit* f, const char* keys) {
    f->setFocus();
    QTest::keyClick(f, Qt::Key_Escape);
    QTest::keyClicks(f, keys);
}

TEST(OptionsWindow, KeysSkipBoxesAndTiltTakenAtClose) {
    WindowBench b(kAdvancedIni);
    EXPECT_FALSE(b.action("mShowTiltTempCal")->isEnabled());
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QLineEdit* radius = field(d, "memoTapeMinRadius");
        EXPECT_FALSE(radius->isEnabled()) << "skipped after start-up";
        QTest::mouseClick(d.findChild<QCheckBox*>("cbSkipTapeMinRadius"), Qt::LeftButton);
        ASSERT_TRUE(radius->isEnabled());
        radius->setFocus();
        radius->selectAll();
        QTest::keyClick(radius, '.');
        EXPECT_EQ(radius->text(), "3.048") << "a second point is refused";
        QTest::keyClick(radius, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(radius, Qt::Key_Escape);
        EXPECT_EQ(radius->text(), "") << "Escape empties and keeps the dialog open";
        EXPECT_TRUE(d.isVisible());
        QTest::keyClicks(radius, "1a2-.5.\r");
        EXPECT_EQ(radius->text(), "12.5");
        QTest::keyClick(radius, Qt::Key_Escape);
        QTest::mouseClick(d.findChild<QRadioButton*>("rbTiltYes"), Qt::LeftButton);
    }, "mShowAdvancedControls");
    EXPECT_TRUE(b.action("mShowTiltTempCal")->isEnabled()) << "Tilt Yes enables Tilt Temp Cal";
    whileOpen(b, "TfAdv", nullptr, [&](QWidget& d) {
        auto* no = d.findChild<QRadioButton*>("rbTiltNo");
        QTest::mouseClick(no, Qt::LeftButton);
        no->setFocus();
        QTest::keyClick(no, Qt::Key_Escape); // closing another way is "Close" too
        EXPECT_FALSE(d.isVisible());
    }, "mShowAdvancedControls");
    EXPECT_FALSE(b.action("mShowTiltTempCal")->isEnabled());
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QRadioButton*>("rbTiltYes"), Qt::LeftButton);
    }, "mShowAdvancedControls");

    b.putRecord(WindowBench::record(2, 77));
    b.click(b.button("bReadVcb"));
    b.errorBoxes.clear();
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QLineEdit* radius = field(d, "memoTapeMinRadius");
        QTest::mouseClick(d.findChild<QCheckBox*>("cbSkipTapeMinRadius"), Qt::LeftButton);
        radius->setFocus();
        QTest::keyClick(radius, Qt::Key_Escape);
    }, "mShowAdvancedControls");
    expectShownField(b, "TfAdv", "memoTapeMinRadius");
    ASSERT_EQ(b.errorBoxes.size(), 1u);
    EXPECT_EQ(b.errorBoxes[0], "Tessel|'' is not a valid floating point value");
}

TEST(ScalesWindow, NamesUpperCaseBlanksRefuseLettersAndValuesMustFit) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 77)); // a block without scale names
    b.click(b.button("bReadVcb"));
    whileOpen(b, "TfScales", "bScalesOK", [&](QWidget& d) {
        QLineEdit* name = field(d, "memoScale1Name");
        EXPECT_EQ(name->text(), "   ") << "three blanks after a block without names";
        name->setFocus();
        QTest::keyClicks(name, "x");
        EXPECT_EQ(name->text(), "   ");
        QTest::keyClick(name, Qt::Key_Escape);
        QTest::keyClicks(name, "fin");
        EXPECT_EQ(name->text(), "FIN");
        QTest::keyClicks(name, "a");
        EXPECT_EQ(name->text(), "FIN") << "a fourth letter is refused";
        QTest::mouseClick(d.findChild<QPushButton*>("bLightBarDefaults"), Qt::LeftButton);
        EXPECT_EQ(field(d, "memoMtScale38")->text(), "1260");
        QLineEdit* value = field(d, "memoMtScale11");
        value->setFocus();
        value->selectAll();
        QTest::keyClicks(value, "700001");
        EXPECT_EQ(value->text(), "70000");
    }, "mShowOffsetScales");
    b.errorBoxes.clear();
    expectShownField(b, "TfScales", "memoMtScale11");
    ASSERT_EQ(b.errorBoxes.size(), 1u);
    EXPECT_EQ(b.errorBoxes[0], "Tessel|'70000' is not a valid integer value");
}

TEST(TiltWindow, TemperaturesConvertOnLeavingAndAcquireShowsOrClears) {
    WindowBench b(kAdvancedIni);
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QRadioButton*>("rbTiltYes"), Qt::LeftButton);
    }, "mShowAdvancedControls");
    putTiltRecord(b.lightBar(), 100, sampleTilt());
    whileOpen(b, "TfTiltTempCal", "bTiltTempCalClose", [&](QWidget& d) {
        typeInto(field(d, "memoHiTempCalC"), "25");
        field(d, "memoHiTempCalQ")->setFocus();
        EXPECT_EQ(field(d, "memoHiTempCalF")->text(), "77");
        typeInto(field(d, "memoMidTempCalF"), "100");
        field(d, "memoHiTempCalQ")->setFocus();
        EXPECT_EQ(field(d, "memoMidTempCalC")->text(), "38");
        typeInto(field(d, "memoHiAngleAtCal"), "-5x");
        EXPECT_EQ(field(d, "memoHiAngleAtCal")->text(), "-5");

        QTest::mouseClick(d.findChild<QPushButton*>("bAcquireReadingsFromLb"), Qt::LeftButton);
        EXPECT_EQ(field(d, "memoHiAngleAtCal")->text(), "-10") << "350 degrees";
        EXPECT_EQ(field(d, "memoLoTempCalF")->text(), "-4");
        EXPECT_EQ(field(d, "memoLoTempCalQ")->text(), "40005");

        TiltCalibration incomplete = sampleTilt();
        incomplete.loTempQCal = 0;
        putTiltRecord(b.lightBar(), 100, incomplete);
        QTest::mouseClick(d.findChild<QPushButton*>("bAcquireReadingsFromLb"), Qt::LeftButton);
        for (auto* f : d.findChildren<QLineEdit*>())
            EXPECT_EQ(f->text(), "") << f->objectName().toStdString();
    }, "mShowTiltTempCal");
    ASSERT_FALSE(b.errorBoxes.empty());
    EXPECT_NE(b.errorBoxes.back().find("incomplete"), std::string::npos) << b.errorBoxes.back();
}

TEST(DialogWindows, ARoundTripThroughEveryDialogAndTheLightBar) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 4321));
    b.click(b.button("bReadVcb"));
    whileOpen(b, "TfAdv", "bAdvOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QCheckBox*>("cbSkipMinSogForCog"), Qt::LeftButton);
        field(d, "memoMinSogForCog")->setText("7.25");
        QTest::mouseClick(d.findChild<QRadioButton*>("rbTiltYes"), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QRadioButton*>("rbDid20No"), Qt::LeftButton);
    }, "mShowAdvancedControls");
    whileOpen(b, "TfScales", "bScalesOK", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("bLightBarDefaults"), Qt::LeftButton);
        field(d, "memoScale2Name")->setText("ABC");
    }, "mShowOffsetScales");
    putTiltRecord(b.lightBar(), 0, sampleTilt());
    whileOpen(b, "TfTiltTempCal", "bTiltTempCalClose", [&](QWidget& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("bAcquireReadingsFromLb"), Qt::LeftButton);
    }, "mShowTiltTempCal");
    b.click(b.button("bProgVcb"));

    WindowBench fresh(kAdvancedIni);
    for (std::uint32_t i = 0; i < 4096; ++i)
        fresh.lightBar().setFlashByte(0x1F000 + i, b.lightBar().flashByte(0x1F000 + i));
    fresh.click(fresh.button("bReadVcb"));
    auto& dialogs = fresh.session->dialogs();
    EXPECT_EQ(field(dialogs.options(), "memoMinSogForCog")->text(), "7.25");
    EXPECT_TRUE(field(dialogs.options(), "memoMinSogForCog")->isEnabled());
    EXPECT_TRUE(dialogs.options().findChild<QRadioButton*>("rbDid20No")->isChecked());
    EXPECT_TRUE(dialogs.options().findChild<QRadioButton*>("rbTiltYes")->isChecked());
    EXPECT_EQ(field(dialogs.scales(), "memoScale1Name")->text(), "FIN");
    EXPECT_EQ(field(dialogs.scales(), "memoScale2Name")->text(), "ABC");
    EXPECT_EQ(field(dialogs.scales(), "memoFtScale48")->text(), "500");
    EXPECT_EQ(field(dialogs.tiltTempCal(), "memoHiAngleAtCal")->text(), "-10");
    EXPECT_EQ(field(dialogs.tiltTempCal(), "memoHiTempSlopeQ")->text(), "-128");
    EXPECT_TRUE(fresh.action("mShowTiltTempCal")->isEnabled());
}

// The words of a pdftotext -bbox page with their top-left corners in points.
struct PdfWord {
    double x, y;
    std::string text;
};

std::vector<PdfWord> pdfWords(const std::string& pdf, const std::string& html) {
    const std::string command = "pdftotext -bbox '" + pdf + "' '" + html + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(html);
    const std::string page((std::istreambuf_iterator<char>(in)), {});
    const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    std::vector<PdfWord> words;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), word);
         it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), (*it)[3]});
    return words;
}

TEST(Instructions, ShownInABoxPrintedToPdfAndRefusedWithoutAPrinter) {
    WindowBench b(kAdvancedIni);
    b.action("mInstructions")->trigger();
    ASSERT_EQ(b.errorBoxes.size(), 1u);
    EXPECT_EQ(b.errorBoxes[0].rfind(std::string(kInstructionsHeading) + "|<pre>This utility d", 0),
              0u)
        << b.errorBoxes[0];
    EXPECT_NE(b.errorBoxes[0].find("\n                of the "),
              std::string::npos)
        << "sixteen blanks stay";

    ::setenv("CUPS_SERVER", (b.dir / "no-cups.sock").c_str(), 1); // no printer anywhere
    const std::string offered = b.dir / "offered.pdf";
    b.fileToChoose = offered;
    b.action("mPrintInstructions")->trigger();
    ASSERT_EQ(b.errorBoxes.size(), 3u);
    EXPECT_EQ(b.errorBoxes[1], "Tessel|There is no default printer currently selected");
    EXPECT_EQ(b.errorBoxes[2], "Tessel|" + std::string(kPdfOffer)) << "then a PDF is offered";

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    const std::string pdf = b.dir / "instructions.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf));
    printInstructions(printer, "Tessel v3.6", std::string(kInstructionsBody));
    const std::string info = b.dir / "info.txt";
    ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + info + "'").c_str()), 0);
    EXPECT_NE(readFile(info).find("Title:           Tessel v3.6\n"), std::string::npos)
        << "the print job carries the main window's caption";
    const auto words = pdfWords(pdf, b.dir / "instructions.html");
    ASSERT_GT(words.size(), 100u);
    // 600 pixels per inch: margins 250 and 416 pixels from the printable area's corner, lines
    // 133 pixels apart (in points: * 72 / 600).
    const QPointF corner = printer.pageLayout().paintRectPoints().topLeft();
    const double left = corner.x() + 250 * 72.0 / 600, top = corner.y() + 416 * 72.0 / 600;
    const double step = 133 * 72.0 / 600;
    EXPECT_EQ(words[0].text, "Instructions");
    EXPECT_GT(words[0].x, left + 10) << "the heading's nine blanks stay";
    EXPECT_NEAR(words[0].y, top, 1.5) << "placed by its top, not its baseline";
    const auto first = std::find_if(words.begin(), words.end(),
                                    [](const PdfWord& w) { return w.text == "This"; });
    ASSERT_NE(first, words.end());
    EXPECT_NEAR(first->x, left, 1.5);
    EXPECT_NEAR(first->y, top + 2 * step, 1.5);
    const PdfWord& last = words.back();
    EXPECT_EQ(last.text, "box.");
    EXPECT_NEAR(last.y, top + 33 * step, 1.5);

    // The offered file: the same page, naming the program as it is started here.
    const auto offeredWords = pdfWords(offered, b.dir / "offered.html");
    ASSERT_EQ(offeredWords.size(), words.size());
    EXPECT_NEAR(offeredWords.back().y, last.y, 1.5);
    const auto named = std::find_if(offeredWords.begin(), offeredWords.end(), [](const PdfWord& w) {
        return w.text == "(&apos;tessel&apos;)"; // as pdftotext escapes it
    });
    EXPECT_NE(named, offeredWords.end()) << "not 'Tessel.exe' on Linux";
}

// Help > About shows a window made for this showing (name, version, the settings file in use): a
// change made to one showing is gone at the next, and the window is destroyed when it closes.
TEST(AboutWindow, EachShowingIsAFreshWindowWithNameAndVersion) {
    WindowBench b(kPlainIni);
    for (int showing = 0; showing < 2; ++showing) {
        whileOpen(b, "TfAboutWindow", "bOK", [&](QWidget& about) {
            EXPECT_EQ(about.findChild<QLabel*>("lProgramName")->text().toStdString(), "Tessel");
            auto* version = about.findChild<QLabel*>("lVersion");
            EXPECT_EQ(version->text().toStdString(), "Version: 3.6") << "showing " << showing;
            EXPECT_EQ(about.size(), QSize(392, 249));
            EXPECT_EQ(about.findChild<QLabel*>("lNotice")->text().toStdString(),
                      "Settings: " + b.iniPath);
            version->setText("seen before");
        }, "mAbout");
        EXPECT_EQ(b.mainWindow().findChild<QDialog*>("TfAboutWindow"), nullptr);
    }
}

} // namespace
} // namespace tessel::testing
