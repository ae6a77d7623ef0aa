// The rules the window set keeps for every front end, on a virtual light bar kept in a state file:
// jobs answered from the message pump the front end would run.
#include "app/WindowSet.h"
#include "app/ControlNames.h"
#include "block/RecordFields.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tessel::testing {
namespace {

struct SetBench {
    TempDir dir;
    std::string state = dir / "lightbar.state";
    std::function<void()> inJob = [] {}; // runs while a job waits for a click
    // The dialogs' views: shown with the field to focus.
    std::function<void(WindowSet::Dialog, std::string_view)> dialogShown = [](auto, auto) {};
    std::unique_ptr<WindowSet> windows;
    int mainRepaints = 0, jobRepaints = 0;

    SetBench() {
        writeFile(dir / "tessel.INI", "[Configuration]\nAdvanced Options=1\nCOM Port=1\n");
        setEnvironment("XDG_DATA_HOME", dir / "data"); // the jobs' backups stay here
    }
    Outcome open() {
        AppSession::Options options;
        options.executablePath = dir / "tessel";
        options.iniPath = dir / "tessel.INI";
        options.simulate = true;
        options.simulateFile = state;
        // Every question is answered OK or Yes.
        WindowSet::Opened opened = WindowSet::open(options, {[] {},
                                                             [this] {
                                                                 inJob();
                                                                 JobWindowModel& job =
                                                                     windows->jobWindow();
                                                                 if (job.yesVisible())
                                                                     job.setYesClicked();
                                                                 else
                                                                     job.setOkClicked();
                                                             }});
        windows = std::move(opened.windows);
        if (!windows) return opened.outcome;
        windows->attachViews({[this] { ++mainRepaints; }, [this] { ++jobRepaints; }});
        const auto view = [this](WindowSet::Dialog dialog) {
            return [this, dialog](std::string_view field) { dialogShown(dialog, field); };
        };
        windows->attachDialogs({view(WindowSet::Dialog::Options), view(WindowSet::Dialog::Scales),
                                view(WindowSet::Dialog::TiltTempCal)});
        return {};
    }
    std::string text(std::string_view control) { return windows->controls().text(control); }
};

TEST(WindowSet, KeepsTheLightBarAfterEachCommandAndNeverEndsInTheMiddleOfAJob) {
    SetBench b;
    writeFile(b.state, "not a light bar");
    const Outcome refused = b.open();
    EXPECT_EQ(refused.code, result::BadInput) << "a state file that holds no light bar";
    EXPECT_EQ(refused.message, b.state + " is not a saved virtual light bar");
    EXPECT_FALSE(b.windows);
    EXPECT_EQ(readFile(b.state), "not a light bar") << "and kept";

    std::filesystem::remove(b.state);
    ASSERT_TRUE(b.open().ok());
    b.windows->mainWindowShown();
    ASSERT_FALSE(readFile(b.state).empty()) << "kept once the window shows";
    ASSERT_EQ(b.windows->mainWindow().initDefaultVcb().code, result::Ok);
    const std::string format2 = readFile(b.state);
    int questions = 0;
    bool openedMidJob = false;
    b.inJob = [&] {
        ++questions;
        b.windows->mainWindowShown(); // restored from the task bar meanwhile
        EXPECT_FALSE(b.windows->mayClose()) << "neither the window nor the desktop ends a job";
        EXPECT_EQ(readFile(b.state), format2) << "never kept in the middle of a job";
        b.dialogShown = [&](auto, auto) { openedMidJob = true; };
        b.windows->showDialog(WindowSet::Dialog::Scales);
    };
    ASSERT_EQ(b.windows->mainWindow().convertVcb(1).code, result::Ok);
    EXPECT_EQ(questions, 2) << "the erase, then OK after the block was written";
    EXPECT_FALSE(openedMidJob);
    EXPECT_TRUE(b.windows->mayClose());
    EXPECT_GT(b.mainRepaints, 0);
    EXPECT_GT(b.jobRepaints, 0);

    b.windows.reset();
    b.inJob = [] {};
    b.open();
    b.windows->mainWindowShown();
    ASSERT_EQ(b.windows->mainWindow().readVcb().code, result::Ok) << "the converted block was kept";
    EXPECT_EQ(b.text(controls::kFormatNumber), "1");
}

TEST(WindowSet, DialogsShowTheFormUntilTheFirstShowingAndTiltIsTakenWhenOptionsClose) {
    SetBench b;
    b.open();
    const auto& radius = fields::kNumericOptions[0];
    const auto& tilt = fields::kSwitches[static_cast<std::size_t>(SwitchOption::Tilt)];
    EXPECT_EQ(b.text(radius.control), "3.048");
    EXPECT_TRUE(b.windows->controls().isChecked(tilt.no));
    EXPECT_EQ(b.text(controls::kScaleNames[0]), " ");

    b.windows->mainWindowShown();
    EXPECT_TRUE(b.windows->controls().isChecked(tilt.skip)) << "the record's defaults";
    EXPECT_FALSE(b.windows->controls().isEnabled(radius.control));
    EXPECT_EQ(b.text(controls::kScaleNames[0]), "");
    b.windows->options().skipClicked(0, false);
    b.windows->mainWindowShown(); // restored from the task bar: the edits stay
    EXPECT_TRUE(b.windows->controls().isEnabled(radius.control));

    const ConfigBlock& record = b.windows->session().host().record();
    int choice = 0;
    b.dialogShown = [&](auto, auto) {
        b.windows->options().switchChosen(static_cast<std::size_t>(SwitchOption::Tilt), choice);
    };
    const auto choose = [&](int chosen) {
        choice = chosen;
        b.windows->showDialog(WindowSet::Dialog::Options);
    };
    choose(0);
    EXPECT_EQ(record.option(SwitchOption::Tilt), OptionState::Yes);
    EXPECT_TRUE(b.windows->controls().isEnabled(controls::kTiltTempCal));
    choose(1);
    EXPECT_EQ(record.option(SwitchOption::Tilt), OptionState::No);
    EXPECT_FALSE(b.windows->controls().isEnabled(controls::kTiltTempCal));
    choice = 0;
    b.windows->showDialog(WindowSet::Dialog::Scales);
    EXPECT_EQ(record.option(SwitchOption::Tilt), OptionState::No)
        << "only the options dialog's closing takes Tilt";
}

// A collection that stops names its field: the window set shows the dialog that holds it with
// the field focused (the main window's own fields are its view's). The history's last jobs are
// there for Help > Job History.
TEST(WindowSet, AStoppedCollectionShowsItsFieldAndTheHistoryItsJobs) {
    SetBench b;
    b.open();
    b.windows->mainWindowShown();
    EXPECT_NE(b.windows->historyText().find("No jobs recorded yet"), std::string::npos);
    ASSERT_EQ(b.windows->mainWindow().initDefaultVcb().code, result::Ok);
    ControlValues& ctl = b.windows->controls();
    const std::string value = controls::scaleField(controls::kEnglishScalePrefix, 3, 0);
    std::vector<std::pair<WindowSet::Dialog, std::string>> shown;
    b.dialogShown = [&](WindowSet::Dialog dialog, std::string_view field) {
        shown.emplace_back(dialog, field);
    };
    const std::pair<std::string, WindowSet::Dialog> stops[] = {
        {std::string(fields::kNumericOptions[1].control), WindowSet::Dialog::Options},
        {value, WindowSet::Dialog::Scales},
        {std::string(fields::kTilt[0].control), WindowSet::Dialog::TiltTempCal},
    };
    for (const auto& [control, dialog] : stops) {
        const std::string before = ctl.text(control);
        ctl.setText(control, "x");
        const CommandOutcome stopped = b.windows->mainWindow().progVcb();
        EXPECT_EQ(stopped.code, result::Error) << control;
        EXPECT_TRUE(stopped.message) << control;
        ASSERT_EQ(stopped.field, control);
        EXPECT_TRUE(b.windows->showField(*stopped.field));
        EXPECT_EQ(shown,
                  (std::vector<std::pair<WindowSet::Dialog, std::string>>{{dialog, control}}));
        shown.clear();
        ctl.setText(control, before);
    }
    EXPECT_FALSE(b.windows->showField(std::string(controls::kProductName)));
    EXPECT_TRUE(shown.empty()) << "the main window's field is its own view's";
    const std::string history = b.windows->historyText();
    EXPECT_NE(history.find("Initialize Default VCB  S/N ? -> 1  0 Ok"), std::string::npos) << history;
    EXPECT_NE(history.find("  virtual  Read Light Bar VCB  S/N 1  0 Ok"), std::string::npos)
        << "the read that follows";
}

// The about window's web site button opens the INI's "WebSite", else the README installed beside
// the program; with neither it has nothing to open.
TEST(WindowSet, TheWebSiteIsTheIniAddressElseTheReadmeBesideTheProgram) {
    SetBench b;
    b.open();
    AppSession& session = b.windows->session();
    EXPECT_EQ(session.webSiteAddress(), "");
    writeFile(b.dir / "README.txt", "Tessel\n");
    EXPECT_EQ(session.webSiteAddress(), b.dir / "README.txt");
    writeFile(b.dir / "tessel.INI", "[Configuration]\nWebSite=https://bench.example/tessel\n");
    EXPECT_EQ(session.webSiteAddress(), "https://bench.example/tessel");
}

} // namespace
} // namespace tessel::testing
