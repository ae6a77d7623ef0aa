// The in-place update on its own: every text it cannot carry exactly makes it fail (the job then
// erases), and what it does produce reads back as the text asked for.
#include "JobTest.h"

#include "jobs/InPlaceUpdate.h"

#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>

namespace tessel::testing {
namespace {

const std::string kTitleLine = "< Veltrane Configuration Block >\r\n";

// An area holding the title, the given lines and the end marker from offset `at`, each line
// ending in CR LF; the rest erased.
BlockArea areaOf(std::initializer_list<std::string> lines, std::size_t at = 0) {
    std::string text = kTitleLine;
    for (const auto& l : lines) text += l + "\r\n";
    text += "< end >\r\n";
    BlockArea area;
    area.fill(0xFF);
    std::memcpy(area.data() + at, text.data(), text.size());
    return area;
}

std::string textOf(const BlockArea& area) {
    const std::string_view s(reinterpret_cast<const char*>(area.data()), area.size());
    return std::string(s.substr(0, s.find('\xFF')));
}

struct Update {
    BlockArea work{};
    bool run(BlockArea& n, const BlockArea& o) { return inPlaceUpdate(n, o, work); }
};

TEST(InPlaceUpdate, WithdrawsChangedLinesAndAppendsTheNewOnes) {
    const BlockArea old = areaOf({"VCB Format: 2", "S/N: 5", "Tilt: no"});
    BlockArea n = areaOf({"VCB Format: 2", "S/N: 6", "Tilt: no"});
    ASSERT_TRUE(Update().run(n, old));
    EXPECT_EQ(textOf(n), kTitleLine + "VCB Format: 2\r\n~~~~~~\r\nTilt: no\r\n~~~~~~~\r\n"
                                      "S/N: 6\r\n< end >\r\n");
}

TEST(InPlaceUpdate, RefusesNewTextsItCannotCarryExactly) {
    const BlockArea old = areaOf({"VCB Format: 2", "Product Name: KD-7"});
    const std::string longLine = "Product Name: " + std::string(90, 'x');
    for (const std::string& line : {std::string("Product Name: KD-\xE9"), longLine,
                                   std::string("<"), std::string("< end"),
                                   std::string("Product Name: a< end >")}) {
        BlockArea n = areaOf({"VCB Format: 2", line});
        const BlockArea asked = n;
        EXPECT_FALSE(Update().run(n, old)) << line;
        EXPECT_EQ(n, asked) << "the text asked for is left as it was";
    }
}

TEST(InPlaceUpdate, RefusesLightBarTextsThatWouldNotReadBackAsAsked) {
    const BlockArea n = areaOf({"VCB Format: 2", "S/N: 6"});
    std::vector<BlockArea> olds;
    // An end marker line with more on it.
    olds.push_back(areaOf({"VCB Format: 2", "S/N: 5", "< end >x"}));
    // A line before the title: outside the block, it must not stand in for a new line.
    BlockArea early = areaOf({"VCB Format: 2", "S/N: 5"}, 8);
    std::memcpy(early.data(), "S/N: 6\r\n", 8);
    olds.push_back(early);
    // Text between the old end marker and the erased space.
    BlockArea trailing = areaOf({"VCB Format: 2", "S/N: 5"});
    const auto end = textOf(trailing).size();
    std::memcpy(trailing.data() + end, "S/N: 7", 6);
    olds.push_back(trailing);
    // A programmed byte where the new lines would go.
    BlockArea dirty = areaOf({"VCB Format: 2", "S/N: 5"});
    dirty[end + 5] = 0x7F;
    olds.push_back(dirty);

    for (std::size_t i = 0; i < olds.size(); ++i) {
        BlockArea asked = n;
        EXPECT_FALSE(Update().run(asked, olds[i])) << i;
    }
}

TEST(InPlaceUpdate, TheFreePositionMayReach4085ButNotPassIt) {
    // The old block ends so that one appended line of 25 characters (27 with CR LF) moves the
    // free position to exactly 4085, or one byte past it.
    for (const std::size_t freeAfter : {std::size_t{4085}, std::size_t{4086}}) {
        const std::string line = "S/N:                    6";
        std::string filler;
        const std::size_t oldEnd = freeAfter - 27;
        const std::size_t fixed = kTitleLine.size() + 9;
        while (filler.size() + 62 <= oldEnd - fixed - 4) filler += std::string(60, '~') + "\r\n";
        filler += std::string(oldEnd - fixed - filler.size() - 2, '~') + "\r\n";
        BlockArea old = areaOf({});
        const std::string text = kTitleLine + filler + "< end >\r\n";
        ASSERT_EQ(text.size(), oldEnd);
        std::memcpy(old.data(), text.data(), text.size());

        BlockArea n = areaOf({line});
        EXPECT_EQ(Update().run(n, old), freeAfter == 4085) << freeAfter;
    }
}

// End to end: a product name with a byte the update would split at is written after the erase.
using InPlaceUpdateJob = JobTest;

TEST_F(InPlaceUpdateJob, ARefusedUpdateFallsBackToTheErase) {
    b.putRecord(JobBench::sampleRecord());
    auto changed = JobBench::sampleRecord();
    changed.productName = "KD-\xE9";
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(changed)), 0) << log();
    EXPECT_EQ(b.window.okCancelQuestions, 1);
    EXPECT_TRUE(b.chipErased());
    EXPECT_EQ(b.flashRecord().productName, "KD-\xE9");
}

struct Edit {
    const char* name;
    std::function<void(ConfigBlock&)> change;
};

// A block over several pages, edited in place: a line failure just before and just after each
// page write reaches the chip leaves a block that reads as the old or the new one, and the report
// says which. Done, the update leaves the bytes the in-place update lays out, as ever. An option
// dropped far from the end marker, with a changed line, still shows once the marker is withdrawn
// and the new line read: that update too is made in place (an erase would take the firmware), and
// a failure in that stretch is reported as the mix it leaves.
TEST(InPlaceUpdateOrder, ALineFailureAtEveryPageWriteLeavesTheOldOrTheNewBlock) {
    const ConfigBlock old = JobBench::fullRecord(2);
    const std::vector<Edit> edits = {
        {"one line", [](ConfigBlock& r) { r.productName = "LB-4000"; }},
        {"a line in every page",
         [](ConfigBlock& r) {
             r.serialNumber = 271829;
             r.englishScales[3][0] = 7777;
             fields::kTilt.back().set(r.tiltCalibration, 99);
         }},
        {"twenty lines dropped", [](ConfigBlock& r) { r.option(SwitchOption::Tilt) = OptionState::No; }},
        {"an option dropped", [](ConfigBlock& r) { r.option(SwitchOption::FastConfig) = OptionState::Skip; }},
        {"an option dropped far from a changed line",
         [](ConfigBlock& r) {
             r.option(SwitchOption::FastConfig) = OptionState::Skip;
             r.productName = "LB-4000";
         }},
    };
    int mixes = 0;
    for (const Edit& edit : edits) {
        ConfigBlock wanted = old;
        edit.change(wanted);
        JobBench p;
        p.putRecord(old);
        BlockArea laidOut = JobBench::rendered(wanted), stored = p.flashBlockArea(), work{};
        std::replace(stored.begin(), stored.end(), std::uint8_t{0}, std::uint8_t{'~'});
        ASSERT_TRUE(inPlaceUpdate(laidOut, stored, work)) << edit.name;
        std::replace(laidOut.begin(), laidOut.end(), std::uint8_t{'~'}, std::uint8_t{0});
        p.traceInstructions();
        ASSERT_EQ(p.engine.programBlock(JobBench::rendered(wanted)), 0) << edit.name;
        ASSERT_FALSE(p.chipErased()) << edit.name;
        EXPECT_EQ(p.flashBlockArea(), laidOut) << edit.name;
        const auto pageWrites = p.callsOf({0x4C});
        ASSERT_GE(pageWrites.size(), 2u) << edit.name;

        for (const std::uint64_t call : pageWrites) {
            for (const std::uint64_t at : {call - 1, call}) { // the write lost, or just made
                JobBench b;
                b.putRecord(old);
                b.lightBar.failLineCallsAfter(at);
                EXPECT_EQ(b.engine.programBlock(JobBench::rendered(wanted)), 32);
                const auto reading = b.reading();
                const bool isNew = reading == JobBench::rendered(wanted);
                const bool isOld = reading == JobBench::rendered(old);
                mixes += isNew || isOld ? 0 : 1;
                const char* line =
                    isNew   ? " The Light Bar holds the new VCB, not verified"
                    : isOld ? " The Light Bar still holds its old VCB"
                            : " The Light Bar holds the new VCB with old lines still in it";
                EXPECT_TRUE(b.window.hasLine(LineStyle::Error, line))
                    << edit.name << " " << at << ::testing::PrintToString(b.window.texts());
            }
        }
    }
    EXPECT_GT(mixes, 0) << "the last edit passes through a mix";
}

} // namespace
} // namespace tessel::testing
