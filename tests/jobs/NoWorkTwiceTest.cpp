// No work done twice, on every link: after the erase a page the firmware leaves all 0xFF is
// neither loaded nor written (the verification still reads it), and the light bar's block area
// is read once before the erase, the backup reusing what the job read first.
#include "JobBench.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace tessel::testing {
namespace {

std::uint32_t readAddress(const std::array<std::uint8_t, 4>& i) {
    return ((static_cast<std::uint32_t>(i[1]) << 8 | i[2]) << 1) | (i[0] == 0x28 ? 1u : 0u);
}

TEST(NoWorkDoneTwice, BlankPagesAndTheBlockAreaOnEveryLink) {
    FirmwareImage image;
    for (std::size_t k = 0; k < 2000; ++k) image.bytes[k] = static_cast<std::uint8_t>(k % 251);
    std::memset(image.bytes.data() + 512, 0xFF, 512); // pages 2 and 3 stay erased
    const char id[] = "<Veltrane Inc. Firmware ID>:product:Demo:version:v3.1:VCB Format:2"
                      ":date:2026-12-08<end>";
    std::memcpy(image.bytes.data() + 64, id, sizeof id - 1);
    image.updateLength();

    for (const char* link : {"specified", "fast", "adapter"}) {
        JobBench b;
        if (link == std::string("fast")) b.engine.setLinkMode(LinkMode::Fast);
        if (link == std::string("adapter")) b.useAdapter();
        b.putRecord(JobBench::sampleRecord());
        ASSERT_EQ(b.engine.programFirmware(image, nullptr), 0) << link;

        const auto& log = b.lightBar.instructions();
        const auto erase = std::find(log.begin(), log.end(), JobBench::kChipErase);
        ASSERT_NE(erase, log.end()) << link;
        std::map<std::uint32_t, int> blockReads;
        for (auto i = log.begin(); i != erase; ++i)
            if ((*i)[0] == 0x20 || (*i)[0] == 0x28) {
                const std::uint32_t a = readAddress(*i);
                if (a >= JobBench::kBlockBase) ++blockReads[a];
            }
        EXPECT_EQ(blockReads.size(), 4096u) << link << ": the whole area is saved";
        for (const auto& [address, reads] : blockReads) ASSERT_EQ(reads, 1) << link << " " << address;

        std::size_t loads = 0, writes = 0;
        bool blankRead = false;
        for (auto i = erase; i != log.end(); ++i) {
            loads += (*i)[0] == 0x40 || (*i)[0] == 0x48;
            writes += (*i)[0] == 0x4C;
            blankRead |= (*i)[0] == 0x20 && readAddress(*i) == 600;
        }
        EXPECT_EQ(loads, 256 * writes) << link << ": no page is loaded without being written";
        for (const std::uint16_t page : b.lightBar.pageWrites())
            EXPECT_TRUE(page * 2u < 512 || page * 2u >= 1024) << link << " wrote page " << page;
        EXPECT_TRUE(blankRead) << link << ": the verification reads the blank pages";
        EXPECT_EQ(b.lightBar.timingViolations(), 0u) << link;
    }
}

} // namespace
} // namespace tessel::testing
