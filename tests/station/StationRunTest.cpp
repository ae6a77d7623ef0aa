// A station's run as its bays' workers tell it: units wanted, bays that crash.
#include "app/StationScenes.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

using K = BayEvent::Kind;

TEST(StationRunOfBays, ACrashedBayStopsNoOtherAndNoMoreUnitsAreStartedThanWanted) {
    auto owned = std::make_unique<ScriptedLinks>();
    ScriptedLinks& links = *owned;
    StationRun run({"COM1", "COM2"}, std::move(owned), 3);
    run.launch();
    for (std::size_t bay : {0u, 1u}) {
        run.apply(bay, {.kind = K::Waiting});
        run.apply(bay, {.kind = K::Present}); // a new light bar: started at once
        run.apply(bay, {.kind = K::Started});
    }
    EXPECT_EQ(links.sent[0], std::vector<std::string>{"start"});
    EXPECT_EQ(links.sent[1], std::vector<std::string>{"start"});

    // Bay 2's worker dies in the middle of its unit; bay 1 goes on.
    links.crashed[1] = 137;
    run.pump(0);
    EXPECT_EQ(run.bays()[1].state, BayStatus::State::Stopped);
    EXPECT_EQ(run.bays()[1].reason, "the bay's program ended (exit code 137)");
    EXPECT_EQ(run.failed(), 1);
    for (int unit = 0; unit < 3; ++unit) {
        run.apply(0, {.kind = K::Unit, .serialNumber = 100 + unit, .result = result::Ok});
        run.apply(0, {.kind = K::Waiting});
        run.apply(0, {.kind = K::Present});
        if (run.bays()[0].state == BayStatus::State::Running) run.apply(0, {.kind = K::Started});
    }
    EXPECT_EQ(run.passed(), 3);
    EXPECT_EQ(links.sent[0], (std::vector<std::string>{"start", "start", "start", "quit"}));
    EXPECT_EQ(links.sent[1], std::vector<std::string>{"start"}) << "nothing more to a crashed bay";
    run.pump(0);
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(*run.yield(), 75.0);
}

} // namespace
} // namespace tessel::testing
