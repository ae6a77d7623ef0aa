// Every job on two virtual light bars, one on the specified link and one on the fast link, and
// again over an emulated FT232R adapter: the chip must not be able to tell them apart except by
// their speed, the fast link's polls and the adapter's reads ahead.
#include "JobBench.h"

#include "support/ResultCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>

namespace tessel::testing {
namespace {

using Log = std::vector<std::array<std::uint8_t, 4>>;

bool readsPage(const std::array<std::uint8_t, 4>& i, int page) {
    return (i[0] == 0x20 || i[0] == 0x28) && ((i[1] << 8 | i[2]) & 0xFF80) == page;
}

// The fast link's log must be the specified one with reads of the page just written (its polls)
// added after page writes. Returns the number of such reads, or -1 with the first mismatch.
int pollsBetween(const Log& specified, const Log& fast, std::string& mismatch) {
    std::size_t i = 0;
    int page = -1, polls = 0;
    for (std::size_t j = 0; j < fast.size(); ++j) {
        if (i < specified.size() && specified[i] == fast[j]) {
            if (fast[j][0] == 0x4C) page = (fast[j][1] << 8 | fast[j][2]) & 0xFF80;
            ++i;
        } else if (page >= 0 && readsPage(fast[j], page)) {
            ++polls;
        } else {
            mismatch = "fast instruction " + std::to_string(j) + " unexpected";
            return -1;
        }
    }
    if (i != specified.size()) mismatch = "specified instruction " + std::to_string(i) + " missing";
    return i == specified.size() ? polls : -1;
}

FirmwareImage firmware(std::size_t codeBytes) {
    FirmwareImage image;
    std::uint32_t x = 777;
    for (std::size_t i = 0; i < codeBytes; ++i) {
        x = x * 1103515245u + 12345u;
        image.bytes[i] = static_cast<std::uint8_t>(x >> 16);
    }
    std::memset(image.bytes.data() + 1024, 0xFF, 600); // a whole erased page inside the code
    const std::string id = "<Veltrane Inc. Firmware ID>:product:Demo:version:v3.1:VCB Format:2"
                           ":date:2026-12-08<end>";
    std::memcpy(image.bytes.data() + 64, id.data(), id.size());
    image.updateLength();
    return image;
}

// The job log without the backups' own folders.
std::vector<std::string> withoutBackupPaths(std::vector<std::string> log) {
    for (auto& line : log)
        if (const auto at = line.find(" saved to "); at != std::string::npos) line.resize(at);
    return log;
}

bool isRead(const std::array<std::uint8_t, 4>& i) {
    return i[0] == 0x20 || i[0] == 0x28 || i[0] == 0xA0;
}

// The adapter's log must be the serial link's with reads added (it reads ahead in runs).
// Returns the number of reads added, or -1 with the first mismatch.
int readsAdded(const Log& serial, const Log& adapter, std::string& mismatch) {
    std::size_t i = 0;
    int added = 0;
    for (std::size_t j = 0; j < adapter.size(); ++j) {
        if (i < serial.size() && serial[i] == adapter[j])
            ++i;
        else if (isRead(adapter[j]))
            ++added;
        else {
            mismatch = "adapter instruction " + std::to_string(j) + " unexpected";
            return -1;
        }
    }
    if (i != serial.size()) mismatch = "serial instruction " + std::to_string(i) + " missing";
    return i == serial.size() ? added : -1;
}

void expectSameChips(const JobBench& a, const JobBench& b) {
    for (std::uint32_t x = 0; x < VirtualLightBar::kFlashBytes; ++x)
        ASSERT_EQ(a.lightBar.flashByte(x), b.lightBar.flashByte(x)) << x;
    for (std::uint32_t x = 0; x < VirtualLightBar::kEepromBytes; ++x)
        ASSERT_EQ(a.lightBar.eepromByte(x), b.lightBar.eepromByte(x)) << x;
    EXPECT_EQ(a.lightBar.fuses().low, b.lightBar.fuses().low);
    EXPECT_EQ(a.lightBar.fuses().high, b.lightBar.fuses().high);
    EXPECT_EQ(a.lightBar.fuses().extended, b.lightBar.fuses().extended);
    for (const JobBench* bench : {&a, &b})
        EXPECT_EQ(bench->lightBar.timingViolations(), 0u)
            << ::testing::PrintToString(bench->lightBar.violationNotes());
}

struct Scenario {
    const char* name;
    std::function<void(JobBench&)> setup;
    std::function<int(JobBench&)> job;
};

void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

class BothLinkModes : public ::testing::TestWithParam<Scenario> {};

TEST_P(BothLinkModes, SameInstructionsAnswersAndMemories) {
    JobBench specified, fast;
    fast.engine.setLinkMode(LinkMode::Fast);
    for (JobBench* b : {&specified, &fast}) {
        b->putRecord(JobBench::sampleRecord());
        GetParam().setup(*b);
    }
    const int result = GetParam().job(specified);
    EXPECT_EQ(GetParam().job(fast), result);

    // The log differs only by the fast link's first line (and the backups' own folders).
    auto fastLog = withoutBackupPaths(fast.window.texts());
    ASSERT_FALSE(fastLog.empty());
    EXPECT_EQ(fastLog.front(), " Fast link: datasheet waits, fewer line calls");
    fastLog.erase(fastLog.begin());
    EXPECT_EQ(fastLog, withoutBackupPaths(specified.window.texts()));

    std::string mismatch;
    const int polls =
        pollsBetween(specified.lightBar.instructions(), fast.lightBar.instructions(), mismatch);
    EXPECT_GE(polls, 0) << mismatch;
    const auto& writes = fast.lightBar.pageWrites();
    EXPECT_EQ(writes, specified.lightBar.pageWrites());
    // Each page write was polled until it read back: 0xFF answers while busy, then one more.
    EXPECT_EQ(static_cast<std::uint64_t>(polls),
              fast.lightBar.counts().busyPolls + writes.size());
    expectSameChips(specified, fast);
    // Fewer line calls of every kind but the reset line, and less time.
    const LineCallCounts& s = specified.lightBar.counts();
    const LineCallCounts& f = fast.lightBar.counts();
    EXPECT_EQ(f.dtr, s.dtr);
    EXPECT_LT(f.rts + f.breaks, s.rts + s.breaks);
    EXPECT_LT(f.ringReads, s.ringReads);
    EXPECT_LT(fast.clock.micros(), specified.clock.micros());
}

const FirmwareImage& image() {
    static const FirmwareImage im = firmware(5000);
    return im;
}

ConfigBlock renamed(int format, const char* name) {
    ConfigBlock r = JobBench::sampleRecord(format);
    r.productName = name;
    return r;
}

const Scenario kScenarios[] = {
    // Factory fuses are corrected; two refused enables give two "try" lines.
    {"ReadAfterFailedTriesAndFuseCorrection",
     [](JobBench& b) {
         b.lightBar.setFuses(VirtualLightBar::kFactoryFuses);
         b.lightBar.failEnables(2);
     },
     [](JobBench& b) {
         BlockArea area;
         return b.engine.readBlock(area);
     }},
    {"VerifyBlock", [](JobBench&) {},
     [](JobBench& b) { return b.engine.verifyBlock(JobBench::rendered(renamed(2, "KD-9"))); }},
    {"ProgramBlockInPlace", [](JobBench&) {},
     [](JobBench& b) { return b.engine.programBlock(JobBench::rendered(renamed(2, "KD-8"))); }},
    {"ProgramBlockWithErase", [](JobBench& b) { b.putRecord(JobBench::sampleRecord(1)); },
     [](JobBench& b) { return b.engine.programBlock(JobBench::rendered(renamed(1, "KD-8"))); }},
    {"ConvertTo1", [](JobBench&) {}, [](JobBench& b) { return b.engine.convertBlock(1); }},
    {"InitDefault", [](JobBench& b) { b.lightBar.eraseAll(); },
     [](JobBench& b) { return b.engine.initDefaultBlock(); }},
    {"ProgramFirmware", [](JobBench&) {},
     [](JobBench& b) { return b.engine.programFirmware(image(), nullptr); }},
    {"ProgramFirmwareCancelledHalfWay", [](JobBench& b) { b.window.cancelAtAbortTest = 25; },
     [](JobBench& b) {
         const int r = b.engine.programFirmware(image(), nullptr);
         EXPECT_EQ(r, result::OperationAborted);
         return r;
     }},
    {"VerifyFirmwareWithAWrongByte",
     [](JobBench& b) {
         for (std::uint32_t i = 0; i < image().length; ++i)
             b.lightBar.setFlashByte(i, i == 3000 ? 0x00 : image().bytes[i]);
     },
     [](JobBench& b) { return b.engine.verifyFirmware(image(), nullptr); }},
    {"ReadDataMemory",
     [](JobBench& b) {
         for (std::uint32_t a = 0; a < 300; ++a) b.lightBar.setEepromByte(a, static_cast<std::uint8_t>(a * 7));
     },
     [](JobBench& b) {
         std::array<std::uint8_t, 300> buffer{};
         const int r = b.engine.readDataMemory(buffer.data(), 300);
         for (std::uint32_t a = 0; a < 300; ++a)
             EXPECT_EQ(buffer[a], static_cast<std::uint8_t>(a * 7)) << a;
         return r;
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryJob, BothLinkModes, ::testing::ValuesIn(kScenarios),
                         [](const auto& test) { return std::string(test.param.name); });

class OverAnAdapter : public ::testing::TestWithParam<Scenario> {};

// The log without the lines only an adapter writes: its SCK rate, a step down after a silent
// enable, the hint after a verify error.
std::vector<std::string> withoutAdapterLines(std::vector<std::string> log) {
    std::erase_if(log, [](const std::string& line) {
        return line.starts_with(" FT232R adapter, SCK at ") || line.starts_with(" no answer at ") ||
               line.starts_with(" Through a USB adapter");
    });
    return log;
}

// Over the FT232R: the same job log line for line (besides the adapter's own lines), the same
// memories byte for byte, the serial link's instructions in its order (and reads ahead), whole
// runs of them per USB transfer, and the adapter handed back to its serial driver at the end.
TEST_P(OverAnAdapter, TheSameJobAsOnTheSerialLink) {
    JobBench serial, usb;
    usb.useAdapter();
    for (JobBench* b : {&serial, &usb}) {
        b->putRecord(JobBench::sampleRecord());
        GetParam().setup(*b);
    }
    EXPECT_EQ(GetParam().job(usb), GetParam().job(serial));
    EXPECT_EQ(withoutAdapterLines(withoutBackupPaths(usb.window.texts())),
              withoutBackupPaths(serial.window.texts()));
    std::string mismatch;
    EXPECT_GE(readsAdded(serial.lightBar.instructions(), usb.lightBar.instructions(), mismatch), 0)
        << mismatch;
    EXPECT_EQ(usb.lightBar.pageWrites(), serial.lightBar.pageWrites());
    expectSameChips(serial, usb);
    EXPECT_EQ(usb.lightBar.counts().lineCalls(), 0u);
    EXPECT_LT(usb.adapter.counts().transfers * 4, usb.lightBar.counts().instructions);
    EXPECT_TRUE(usb.adapter.serialDriverBound());
    EXPECT_EQ(usb.adapter.drivenReceiverPins(), 0) << "RXD, CTS, DSR, DCD and RI are never driven";
}

INSTANTIATE_TEST_SUITE_P(EveryJob, OverAnAdapter, ::testing::ValuesIn(kScenarios),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace tessel::testing
