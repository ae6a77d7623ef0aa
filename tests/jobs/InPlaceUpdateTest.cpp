// The in-place update on its own: every text it cannot carry exactly makes it fail (the job then
// erases), and what it does produce reads back as the text asked for.
#include "JobTest.h"

#include "jobs/InPlaceUpdate.h"

#include <cstring>
#include <initializer_list>

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

} // namespace
} // namespace tessel::testing
