// The windows' layout rows as a front end builds them: every control placed inside its parent
// without covering another, each mode of a window derived from its design, and every control the
// record moves through declared (any other name is a programming error).
#include "app/ControlNames.h"
#include "app/OptionDialogs.h"
#include "app/RecordHost.h"
#include "app/WindowLayout.h"
#include "block/RecordFields.h"

#include <gtest/gtest.h>

#include <set>

namespace tessel {
namespace {

bool holdsOthers(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::Area ||
           kind == ControlKind::GroupBox || kind == ControlKind::Menu;
}

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(WindowLayouts, EveryShownControlSitsInsideItsParentWithoutCoveringAnother) {
    for (const WindowLayout& w :
         {mainWindowLayout(true), mainWindowLayout(false), jobWindowLayout(JobLayoutMode::Design),
          jobWindowLayout(JobLayoutMode::Narrow), jobWindowLayout(JobLayoutMode::Compact),
          jobWindowLayout(JobLayoutMode::Design, 1000, 600),
          jobWindowLayout(JobLayoutMode::Narrow, 900, 400), historyWindowLayout(1200, 800),
          optionsDialogLayout(), scalesDialogLayout(), tiltCalibrationLayout(),
          aboutWindowLayout(), historyWindowLayout()}) {
        SCOPED_TRACE(w.name + " " + std::to_string(w.clientWidth));
        std::set<std::string> seen;
        std::vector<const ControlRow*> shown;
        for (const ControlRow& row : w.rows) {
            EXPECT_TRUE(seen.insert(row.name).second) << "twice: " << row.name;
            EXPECT_TRUE(isDeclaredControl(row.name)) << row.name;
            if (!row.parent.empty()) {
                ASSERT_TRUE(seen.contains(row.parent)) << row.name << " before its parent";
                EXPECT_TRUE(holdsOthers(w.row(row.parent).kind)) << row.name;
            }
            if (row.has(ControlRow::Hidden) || row.has(ControlRow::Unseen) ||
                row.kind >= ControlKind::Menu)
                continue;
            const Rect outer = row.parent.empty() ? Rect{0, 0, w.clientWidth, w.clientHeight}
                                                  : Rect{0, 0, w.row(row.parent).place.width,
                                                         w.row(row.parent).place.height};
            const Rect& r = row.place;
            EXPECT_TRUE(r.width > 0 && r.height > 0 && r.left >= 0 && r.top >= 0 &&
                        r.left + r.width <= outer.width && r.top + r.height <= outer.height)
                << row.name;
            for (const ControlRow* other : shown)
                EXPECT_FALSE(other->parent == row.parent && overlap(other->place, r))
                    << row.name << " covers " << other->name;
            shown.push_back(&row);
        }
    }
}

TEST(WindowLayouts, ThePlainMainWindowHasOneButtonRowAndNoDialogs) {
    const WindowLayout advanced = mainWindowLayout(true), plain = mainWindowLayout(false);
    // The second button row (top 120) moves up into the first (top 80); the window loses the
    // 40 pixels between them.
    EXPECT_EQ(advanced.clientHeight, 164);
    EXPECT_EQ(plain.clientHeight, 124);
    for (const char* name : {"bReadVcb", "bProgCode", "bVerifyCode"})
        EXPECT_EQ(plain.row(name).place.top, 80) << name;
    for (const char* name : {"bProgVcb", "bVerifyVcb", "mShowAdvancedControls",
                             "mShowTiltTempCal", "mShowOffsetScales"}) {
        EXPECT_TRUE(plain.row(name).has(ControlRow::Hidden)) << name;
        EXPECT_FALSE(advanced.row(name).has(ControlRow::Hidden)) << name;
    }
}

// The job window made larger: the panes take the room, never less than the design.
TEST(WindowLayouts, AResizedJobWindowGrowsItsPanesAndKeepsItsButtonsAtTheRightEdge) {
    for (const JobLayoutMode mode :
         {JobLayoutMode::Design, JobLayoutMode::Narrow, JobLayoutMode::Compact}) {
        const WindowLayout design = jobWindowLayout(mode);
        EXPECT_EQ(jobWindowLayout(mode, 10, 10).clientWidth, design.clientWidth) << "the minimum";
        const WindowLayout big = jobWindowLayout(mode, design.clientWidth + 200, design.clientHeight + 100);
        const Rect log = big.row("reProg").place, was = design.row("reProg").place;
        EXPECT_EQ(log.height, was.height + 100);
        EXPECT_EQ(log.width, was.width + (mode == JobLayoutMode::Design ? 100 : 200))
            << "beside the block pane, half the room";
        EXPECT_EQ(big.clientWidth - big.row("bProgOk").place.left,
                  design.clientWidth - design.row("bProgOk").place.left);
        EXPECT_EQ(big.row("pbProgrammingProgress").place.top, log.top + log.height + 7);
    }
}

// A named colour is shown only where it can be read on the system's background.
TEST(WindowLayouts, ANamedColourGivesWayWhereItCannotBeReadOnTheSystemsBackground) {
    const Rgb face{240, 240, 240}, black{0, 0, 0};
    for (const Colour c : {Colour::Navy, Colour::Black, Colour::Red, Colour::Blue, Colour::Green})
        EXPECT_EQ(standsOut(c, black), c == Colour::Red || c == Colour::Green) << "High Contrast";
    EXPECT_TRUE(standsOut(Colour::Navy, face) && standsOut(Colour::Red, Rgb{255, 255, 255}));
    EXPECT_FALSE(standsOut(Colour::Default, face)) << "the system's colour already";
}

TEST(ControlNames, TheRecordMovesOnlyThroughDeclaredControls) {
    RecordHost host(true);
    std::set<std::string> used;
    host.controls().addObserver([&](const std::vector<std::string>& changed) {
        used.insert(changed.begin(), changed.end());
    });
    // Records unlike the defaults in every field, so that the loads set each control.
    ConfigBlock& r = host.record();
    r.setFormat(1);
    r.serialNumber = 7;
    r.productName = "KD-7";
    r.customerId = 2;
    for (const auto& member : fields::kTilt) member.set(r.tiltCalibration, 9);
    r.scaleNames.fill("ABC");
    for (auto& row : r.metricScales) row.fill(5);
    for (auto& row : r.englishScales) row.fill(5);
    for (OptionState state : {OptionState::Yes, OptionState::No, OptionState::Skip}) {
        r.options.fill(state);
        for (const auto& option : fields::kNumericOptions) {
            r.*option.value = 1.5;
            r.*option.skip = state == OptionState::Skip;
        }
        host.loadIntoWindows();
    }
    OptionsDialogModel(host).setFormContents();
    OptionsDialogModel(host).closed();
    host.collectFromWindows();
    ASSERT_GT(used.size(), 130u) << "the whole record's controls";
    for (const std::string& name : used) EXPECT_TRUE(isDeclaredControl(name)) << name;
    EXPECT_FALSE(isDeclaredControl("memoNoSuchThing"));
#if GTEST_HAS_DEATH_TEST
    EXPECT_DEATH(host.controls().text("memoNoSuchThing"), "memoNoSuchThing");
    EXPECT_DEATH(host.controls().setEnabled("bNoSuchButton", true), "bNoSuchButton");
    EXPECT_DEATH(optionsDialogLayout().row("memoSerialNumber"), "TfAdv.*memoSerialNumber");
#endif
}

} // namespace
} // namespace tessel
