// The job window's own rules without a toolkit: layouts, questions and click flags, change
// notices, and a whole job driven through it by clicks delivered while it waits for input.
#include "app/JobWindowModel.h"

#include "app/RecordHost.h"
#include "jobs/ChipProgrammer.h"
#include "sim/VirtualLightBar.h"
#include "support/ResultCode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tessel {
namespace {

// Clicks arrive while the model waits for input; a question never pumps in a loop.
struct Window {
    bool advanced = true;
    std::function<void(JobWindowModel&)> onWait = [](JobWindowModel&) {};
    int pumps = 0;
    int waits = 0;
    JobWindowModel model{[this] { return advanced; }, [this] { ++pumps; },
                         [this] {
                             ++waits;
                             onWait(model);
                         }};
};

TEST(JobWindowModel, LayoutFollowsTheBlockPaneAndAdvancedMode) {
    Window w;
    w.model.showForJob("--- Read Light Bar VCB ---", true);
    EXPECT_TRUE(w.model.visible());
    EXPECT_EQ(w.model.caption(), "                  --- Read Light Bar VCB ---");
    EXPECT_EQ(w.model.layoutMode(), JobLayoutMode::Design);
    EXPECT_FALSE(jobWindowLayout(JobLayoutMode::Design).row("reVcbDisplay").has(ControlRow::Hidden));

    w.advanced = false;
    w.model.showForJob("t", true);
    ASSERT_EQ(w.model.layoutMode(), JobLayoutMode::Narrow);
    const WindowLayout narrow = jobWindowLayout(JobLayoutMode::Narrow);
    EXPECT_TRUE(narrow.row("reVcbDisplay").has(ControlRow::Hidden));
    EXPECT_EQ(narrow.clientWidth, 632 - 255);
    EXPECT_EQ(narrow.row("reProg").place.left, 275 - 255);
    EXPECT_EQ(narrow.row("pbProgrammingProgress").place.left, 275 - 255);
    EXPECT_EQ(narrow.row("bProgOk").place.left, 586 - 255);
    EXPECT_EQ(narrow.row("bProgOk").place.top, 264);

    w.advanced = true;
    w.model.showForJob("t", false);
    ASSERT_EQ(w.model.layoutMode(), JobLayoutMode::Compact);
    const WindowLayout compact = jobWindowLayout(JobLayoutMode::Compact);
    EXPECT_TRUE(compact.row("reVcbDisplay").has(ControlRow::Hidden));
    EXPECT_EQ(compact.clientWidth, 632 - 161);
    EXPECT_EQ(compact.row("reProg").place, (Rect{275 - 261, 8, 306 + 100, 310}));
    EXPECT_EQ(compact.row("pbProgrammingProgress").place, (Rect{14, 325, 406, 12}));
    EXPECT_EQ(compact.row("bProgYes").place.left, 586 - 161);
}

TEST(JobWindowModel, ShowingForAJobEmptiesPanesAndHidesControls) {
    Window w;
    w.model.showForJob("a", true);
    w.model.appendLine(LineStyle::Error, " x");
    w.model.showBlock(std::string("text\0junk", 9));
    EXPECT_EQ(w.model.blockText(), "text");
    w.model.showAbortControls();
    w.model.setProgress(140);
    EXPECT_EQ(w.model.progress(), 100);
    EXPECT_TRUE(w.model.cancelVisible());
    w.model.showForJob("b", true);
    EXPECT_TRUE(w.model.lines().empty());
    EXPECT_EQ(w.model.blockText(), "");
    EXPECT_EQ(w.model.progress(), 0);
    EXPECT_FALSE(w.model.progressVisible() || w.model.cancelVisible() || w.model.okVisible());
}

// The window's own words for putting a lost block back: its menu command, no command line.
TEST(JobWindowModel, ALostBlockIsPutBackThroughTheFileMenu) {
    Window w;
    JobSummary summary;
    summary.backupFiles = {"b-vcb.bin"};
    w.model.jobEnded(summary);
    EXPECT_TRUE(w.model.lines().empty()) << "nothing lost";
    summary.restoreNeeded = true;
    w.model.jobEnded(summary);
    ASSERT_EQ(w.model.lines().size(), 1u);
    EXPECT_EQ(w.model.lines().back().text,
              " Put it back with 'Restore from Backup…' in the File menu");
}

TEST(JobWindowModel, YesNoQuestionHidesOkCancelMeanwhileAndYesWinsATie) {
    Window w;
    w.model.showForJob("t", true);
    w.model.showAbortControls(); // Cancel visible before the question
    w.onWait = [](JobWindowModel& m) {
        EXPECT_TRUE(m.yesVisible() && m.noVisible());
        EXPECT_FALSE(m.cancelVisible());
        m.setNoClicked();
        m.setYesClicked();
    };
    EXPECT_TRUE(w.model.askYesNo());
    EXPECT_TRUE(w.model.cancelVisible()) << "Cancel is shown again as it was";
    EXPECT_FALSE(w.model.yesVisible() || w.model.noVisible());

    w.onWait = [](JobWindowModel& m) { m.setNoClicked(); };
    EXPECT_FALSE(w.model.askYesNo());
}

// Each question waits for input once per delivery and never spins on the message pump.
TEST(JobWindowModel, QuestionsWaitForInputWithoutSpinning) {
    Window w;
    w.model.showForJob("t", true);
    int round = 0;
    w.onWait = [&](JobWindowModel& m) {
        EXPECT_TRUE(m.okVisible() && m.cancelVisible());
        if (++round == 3) m.setCancelClicked();
    };
    EXPECT_FALSE(w.model.askOkCancel());
    EXPECT_EQ(w.waits, 3);
    EXPECT_EQ(w.pumps, 0);
    EXPECT_FALSE(w.model.okVisible() || w.model.cancelVisible());

    w.model.appendLine(LineStyle::Plain, " Light Bar will be Erased");
    w.onWait = [](JobWindowModel& m) {
        EXPECT_TRUE(m.okVisible());
        EXPECT_FALSE(m.cancelVisible());
        m.setOkClicked();
    };
    w.model.waitForOk(" Click OK to exit");
    EXPECT_EQ(w.model.lines().back().text, " Light Bar will be Erased");
    EXPECT_EQ(w.pumps, 0);
}

// The view repaints from the notices: after every operation the last notice saw the state as it is.
TEST(JobWindowModel, EveryVisibleChangeIsNotified) {
    Window w;
    using Shown = std::tuple<bool, std::string, std::vector<JobWindowModel::Line>, std::string, int,
                             bool, bool, bool, bool, bool, JobLayoutMode>;
    const auto shown = [&] {
        const JobWindowModel& m = w.model;
        return Shown{m.visible(),   m.caption(),         m.lines(),      m.blockText(),
                     m.progress(),  m.progressVisible(), m.yesVisible(), m.noVisible(),
                     m.okVisible(), m.cancelVisible(),   m.layoutMode()};
    };
    Shown seen;
    w.model.setOnChanged([&] { seen = shown(); });
    const auto check = [&](const char* step) { EXPECT_EQ(seen, shown()) << step; };

    w.advanced = false;
    w.model.showForJob("t", true);
    check("show");
    w.model.appendLine(LineStyle::Plain, " a");
    check("line");
    w.model.showBlock("text");
    check("block");
    w.model.showAbortControls();
    check("abort controls");
    w.model.setProgress(5);
    check("progress");
    w.onWait = [&](JobWindowModel& m) {
        check("question shown");
        m.setYesClicked();
    };
    w.model.askYesNo();
    check("question answered");
    w.onWait = [&](JobWindowModel& m) {
        check("prompt shown");
        m.setOkClicked();
    };
    w.model.waitForOk(" Click OK to exit");
    check("prompt gone");
    w.model.removeLastLine();
    check("line removed");
    w.model.close();
    check("closed");
}

TEST(JobWindowModel, ClicksPersistUntilTestedOrAJobStarts) {
    Window w;
    w.model.setCancelClicked();
    EXPECT_TRUE(w.model.aborted());
    EXPECT_FALSE(w.model.aborted());
    w.model.setCancelClicked();
    w.model.clearClicks();
    EXPECT_FALSE(w.model.aborted());
}

// A whole job through the model: OK clicked whenever it is offered, Cancel at the erase.
TEST(JobWindowModel, DrivesAJobByClicks) {
    VirtualClock clock;
    VirtualLightBar lightBar(clock);
    MemoryPortSettings settings;
    RecordHost host(false);
    int erasePrompts = 0;
    JobWindowModel* self = nullptr;
    JobWindowModel window([&] { return host.isAdvancedMode(); }, [] {},
                          [&] {
                              if (self->cancelVisible() && self->okVisible()) {
                                  ++erasePrompts;
                                  EXPECT_EQ(self->lines().back().text,
                                            " Click OK to Continue or Cancel to Exit");
                                  self->setCancelClicked();
                              } else if (self->okVisible()) {
                                  self->setOkClicked();
                              }
                          });
    self = &window;
    ChipProgrammer engine(lightBar, clock, settings, window, host);
    testing::TempDir dir;
    engine.setBackupFolder(dir / "backups");

    BlockArea area;
    EXPECT_EQ(engine.readBlock(area), result::NoValidVcb);
    EXPECT_FALSE(window.visible()) << "closed after OK";
    EXPECT_NE(window.layoutMode(), JobLayoutMode::Design) << "no block pane outside advanced mode";
    EXPECT_EQ(window.lines().back().text, " **********************************");

    EXPECT_EQ(engine.initDefaultBlock(), result::EraseCancelled);
    EXPECT_EQ(erasePrompts, 1);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(lightBar.flashByte(0x1F000), 0xFF) << "nothing written after Cancel";
}

} // namespace
} // namespace tessel
