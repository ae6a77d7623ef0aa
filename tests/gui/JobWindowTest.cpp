// The job window through its widgets: its lines in their styles, its buttons, its layouts, and
// a job that nothing can close or interrupt but its own buttons.
#include "WindowBench.h"

#include <QAbstractTextDocumentLayout>
#include <QProgressBar>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

const DrawnLine* findLine(const std::vector<DrawnLine>& lines, const std::string& text) {
    for (const auto& l : lines)
        if (l.text == text) return &l;
    return nullptr;
}

void expectStyle(const std::vector<DrawnLine>& lines, const std::string& text, QColor colour,
                 bool bold, bool italic) {
    const DrawnLine* l = findLine(lines, text);
    ASSERT_NE(l, nullptr) << text;
    EXPECT_EQ(l->colour, colour) << text;
    EXPECT_EQ(l->bold, bold) << text;
    EXPECT_EQ(l->italic, italic) << text;
}

TEST(JobWindow, AReadShowsItsLinesInTheirStylesAndOnlyTheButtonsItAsksWith) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 77));
    std::string caption;
    bool blockPane = false;
    std::vector<std::string> buttonsShown;
    b.atQuestion = [&] {
        caption = b.jobWindow().windowTitle().toStdString();
        blockPane = b.child<QWidget>(b.jobWindow(), "reVcbDisplay")->isVisible();
        for (const char* name : {"bProgNo", "bProgYes", "bProgCancel", "bProgOk"})
            if (b.jobButton(name)->isVisible()) buttonsShown.push_back(name);
        EXPECT_EQ(QApplication::activeModalWidget(), &b.jobWindow()) << "input goes to the job";
    };
    b.click(b.button("bReadVcb"));
    ASSERT_EQ(b.logs.size(), 1u);
    EXPECT_EQ(caption.substr(0, 18), std::string(18, ' '));
    EXPECT_TRUE(blockPane) << "advanced mode shows the block";
    EXPECT_EQ(buttonsShown, std::vector<std::string>{"bProgOk"});
    const auto& log = b.logs[0];
    expectStyle(log, " Signature Bytes: 1e 97 02", Qt::black, false, false);
    expectStyle(log, " Finished Reading Light Bar VCB", QColor(0, 128, 0), false, false);
    expectStyle(log, " Click OK to exit", Qt::blue, false, true);
    EXPECT_EQ(findLine(log, " Reading Light Bar VCB"), nullptr) << "replaced by its outcome";

    b.lightBar().setNoAnswer(true);
    b.click(b.button("bReadVcb"));
    expectStyle(b.logs.back(), " Error - Light Bar is not responding", Qt::red, true, false);
}

// A job that leaves the light bar without its firmware ends in long red lines: at the window's
// design size each shows whole, wrapped at the log pane's width with the rest indented.
TEST(JobWindow, ALongLineWrapsAtThePanesWidthTheRestIndented) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 20417));
    b.click(b.button("bReadVcb"));
    b.fileToChoose = TESSEL_SAMPLES_DIR "/KdV2.9.a90";
    auto* pane = b.child<QTextEdit>(b.jobWindow(), "reProg");
    std::vector<std::vector<QRectF>> rows; // each line's rows, in the pane's document
    b.atQuestion = [&] {
        if (b.session->jobModel().cancelVisible()) { // the erase: the cable is pulled later
            b.lightBar().failLineCallsAfter(5000);
            return;
        }
        QTextDocument* doc = pane->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            const QPointF at = doc->documentLayout()->blockBoundingRect(block).topLeft();
            rows.emplace_back();
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                rows.back().push_back(block.layout()->lineAt(i).naturalTextRect().translated(at));
        }
    };
    b.click(b.button("bProgCode"));
    ASSERT_FALSE(b.logs.empty());
    const auto& log = b.logs.back();
    ASSERT_EQ(rows.size(), log.size());
    const DrawnLine* red = findLine(log, " The Light Bar has no complete Firmware now: program it "
                                         "again with 'Prog Code'");
    ASSERT_NE(red, nullptr);
    EXPECT_GE(rows[static_cast<std::size_t>(red - log.data())].size(), 2u) << "wrapped";
    const qreal indent =
        QFontMetricsF(pane->font()).horizontalAdvance(QLatin1Char(' ')) * kWrapIndentColumns;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t row = 0; row < rows[i].size(); ++row) {
            EXPECT_LE(rows[i][row].right(), pane->viewport()->width()) << log[i].text;
            EXPECT_NEAR(rows[i][row].left(), rows[0][0].left() + (row == 0 ? 0 : indent), 0.5)
                << log[i].text;
        }
    const WindowLayout design = jobWindowLayout(b.session->jobModel().layoutMode());
    EXPECT_EQ(b.jobWindow().size(), QSize(design.clientWidth, design.clientHeight));
}

TEST(JobWindow, OutsideAdvancedModeTheBlockPaneIsLeftOutAndTheWindowNarrower) {
    WindowBench b(kPlainIni);
    b.putRecord(WindowBench::record(1, 3));
    int width = 0;
    bool blockPane = true;
    b.atQuestion = [&] {
        width = b.jobWindow().width();
        blockPane = b.child<QWidget>(b.jobWindow(), "reVcbDisplay")->isVisible();
    };
    b.click(b.button("bReadVcb"));
    EXPECT_FALSE(blockPane);
    EXPECT_EQ(width, 632 - 255);
}

TEST(JobWindow, CancelAtTheEraseClosesTheWindowAtOnce) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 12));
    b.click(b.button("bReadVcb"));
    const int prompts = b.okOnlyPrompts;
    b.answers = {WindowBench::Answer::Cancel};
    b.fileToChoose = TESSEL_SAMPLES_DIR "/KdV2.9.a90";
    b.click(b.button("bProgCode"));
    EXPECT_TRUE(b.answers.empty()) << "the erase was asked";
    EXPECT_EQ(b.okOnlyPrompts, prompts) << "no \"Click OK to exit\" after a refused erase";
    EXPECT_FALSE(b.jobWindow().isVisible());
    EXPECT_EQ(b.fieldText("memoSerialNumber"), "12");
}

TEST(JobWindow, NothingClosesTheWindowsOrStartsAnotherJobWhileAQuestionWaits) {
    WindowBench b(kAdvancedIni);
    b.putRecord(WindowBench::record(2, 21));
    bool mainClosed = true, jobClosed = true, jobHidden = true;
    std::uint64_t opensDuring = 0;
    b.atQuestion = [&] {
        if (opensDuring != 0) return; // the first question only
        opensDuring = b.lightBar().counts().opens;
        mainClosed = b.mainWindow().close();
        jobClosed = b.jobWindow().close();
        QTest::keyClick(&b.jobWindow(), Qt::Key_Escape);
        jobHidden = !b.jobWindow().isVisible();
        b.click(b.button("bReadVcb")); // behind the modal job window
        b.action("mInitDefaultVcb")->trigger();
        QApplication::processEvents();
        EXPECT_EQ(b.lightBar().counts().opens, opensDuring) << "no second job";
    };
    b.answers = {WindowBench::Answer::Ok};
    b.click(b.button("bReadVcb"));
    EXPECT_FALSE(mainClosed);
    EXPECT_FALSE(jobClosed);
    EXPECT_FALSE(jobHidden);
    EXPECT_TRUE(b.mainWindow().isVisible());
    EXPECT_EQ(b.fieldText("memoSerialNumber"), "21") << "the job ran to its end";
    EXPECT_TRUE(b.mainWindow().close()) << "and now the window may close";
}

} // namespace
} // namespace tessel::testing
