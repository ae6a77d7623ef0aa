// The frame every job runs in: programming enable, identification, the fuse rules, the refusal of
// other chips, one job at a time and clicks that must not outlive their job.
#include "JobTest.h"

#include <cerrno>
#include <cstring>

namespace tessel::testing {
namespace {

using Lines = std::vector<std::string>;

bool wroteAnyFuse(const VirtualLightBar& lightBar) {
    const auto& log = lightBar.instructions();
    return std::any_of(log.begin(), log.end(), [](const auto& i) {
        return i[0] == 0xAC && (i[1] == 0xA0 || i[1] == 0xA8 || i[1] == 0xA4);
    });
}

using JobFrame = JobTest;

TEST_F(JobFrame, ASilentLightBarShowsEightTriesAndTheReport) {
    b.lightBar.setNoAnswer(true);
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 8);
    Lines expected;
    for (int t = 1; t <= 8; ++t)
        expected.push_back(" try " + std::to_string(t) + " failed-echoed 00 00 expected 53 00");
    expected.push_back(" Error - Light Bar is not responding");
    expected.push_back(" Chip is not responding");
    EXPECT_EQ(b.window.texts(), expected);
    EXPECT_EQ(b.window.okWaits, 1);
}

// The port's own reason is logged and no enable is tried over a port that is not open.
TEST_F(JobFrame, APortThatCannotOpenIsNamedWithoutTries) {
    b.lightBar.failOpen(EBUSY);
    b.settings.setDevicePath(1, "/tmp/fake-ttyS0");
    b.engine.selectPort(1);
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 8) << "the report's advice: connections, COM port";
    EXPECT_EQ(b.window.texts(), (Lines{" Cannot open /tmp/fake-ttyS0: " + std::string(strerror(EBUSY)),
                                       " Error - Light Bar is not responding",
                                       " Chip is not responding"}));
    EXPECT_EQ(b.lightBar.counts().ringReads, 0u);

    b.lightBar.failOpen(0);
    b.lightBar.failConfigure(ConfigureStep::WriteState, EIO);
    EXPECT_EQ(b.engine.readBlock(area), 8);
    EXPECT_EQ(b.window.texts().front(), " SetCommState failed. Errno=5");
}

// A step's success line follows only a step that succeeded.
TEST_F(JobFrame, AnEraseCutByTheLineIsNotReportedAsDone) {
    b.putRecord(JobBench::sampleRecord(2));
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Click OK to Continue or Cancel to Exit") b.lightBar.failLineCallsAfter(10);
    };
    EXPECT_EQ(b.engine.convertBlock(1), 32) << log();
    EXPECT_FALSE(b.window.everLoggedLine(" Light Bar is Erased")) << log();
    EXPECT_TRUE(b.window.hasLine(LineStyle::Error, kPulledCable)) << log();
}

TEST_F(JobFrame, FactoryFusesAreCorrectedAndShownAgain) {
    b.lightBar.setFuses(VirtualLightBar::kFactoryFuses);
    b.putRecord(JobBench::sampleRecord());
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 0) << log();
    const auto t = b.window.texts();
    const Lines head(t.begin(), t.begin() + 3);
    EXPECT_EQ(head, (Lines{" Signature Bytes: 1e 97 02", " Fuse Bytes:      e1 99 fd",
                           " Fuse Bytes:      e0 d9 fd"}));
    EXPECT_EQ(b.lightBar.fuses().low, 0xE0);
    EXPECT_EQ(b.lightBar.fuses().high, 0xD9);
    EXPECT_EQ(b.lightBar.fuses().extended, 0xFD);
}

TEST_F(JobFrame, FusesMisreadOnceAreNeverWritten) {
    b.putRecord(JobBench::sampleRecord(1));
    const BlockArea before = b.flashBlockArea();
    // Ring reads 0..31 answer the enable, 32..127 the signature; 152 is the fuse low byte's
    // top bit: the first reading shows 60 instead of e0, the second e0 again.
    b.cable.invertedRingReads = {152};
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1))), 1) << log();
    EXPECT_EQ(b.window.texts(),
              (Lines{" Signature Bytes: 1e 97 02", " Fuse Bytes:      60 d9 fd",
                     " Fuse Bytes:      e0 d9 fd",
                     " Fuse Bytes read differently twice: check the cable", " Error"}));
    EXPECT_FALSE(wroteAnyFuse(b.lightBar));
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(JobFrame, FusesThatDoNotTakeStopTheJobBeforeTheErase) {
    b.lightBar.setFuses(VirtualLightBar::kFactoryFuses);
    b.putRecord(JobBench::sampleRecord(1));
    const BlockArea before = b.flashBlockArea();
    // Every fuse write is lost, as on a chip whose fuses are locked.
    b.cable.afterCall = [&] {
        const auto& log = b.lightBar.instructions();
        if (!log.empty() && log.back()[0] == 0xAC && log.back()[1] == 0xA4)
            b.lightBar.setFuses(VirtualLightBar::kFactoryFuses);
    };
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1))), 1) << log();
    EXPECT_TRUE(wroteAnyFuse(b.lightBar));
    const auto t = b.window.texts();
    const Lines tail(t.end() - 3, t.end());
    EXPECT_EQ(tail, (Lines{" Fuse Bytes:      e1 99 fd",
                           " Fuse Bytes could not be corrected to e0 d9 fd", " Error"}));
    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(JobFrame, AnotherChipIsReadButNeverErasedOrWritten) {
    b.lightBar.setSignature({0x1E, 0x96, 0x02});
    b.putRecord(JobBench::sampleRecord(1));
    const BlockArea before = b.flashBlockArea();
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 0) << log();
    EXPECT_TRUE(b.window.hasLine(" Fuse Bytes:      e0 00 00"));

    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1))), 1);
    EXPECT_TRUE(b.window.hasLine(
        LineStyle::Error, " Light Bar chip is not an ATmega128: nothing is erased or written"));
    EXPECT_EQ(b.engine.convertBlock(2), 1);
    EXPECT_EQ(b.engine.initDefaultBlock(), 1);
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(JobFrame, AJobStartedFromInsideAQuestionIsRefusedUntouched) {
    b.putRecord(JobBench::sampleRecord(1, 100));
    std::vector<int> nested;
    b.window.onQuestion = [&] {
        const auto opens = b.lightBar.counts().opens;
        const auto titles = b.window.titles.size();
        const auto lines = b.window.lines.size();
        BlockArea area;
        area.fill(0x42);
        nested.push_back(b.engine.readBlock(area));
        nested.push_back(b.engine.programBlock(area));
        nested.push_back(b.engine.initDefaultBlock());
        FirmwareImage image;
        image.bytes[0] = 0;
        nested.push_back(b.engine.programFirmware(image, nullptr));
        std::uint8_t data[4] = {};
        nested.push_back(b.engine.readDataMemory(data, 4));
        EXPECT_EQ(area[0], 0x42);
        EXPECT_EQ(b.lightBar.counts().opens, opens);
        EXPECT_EQ(b.window.titles.size(), titles);
        EXPECT_EQ(b.window.lines.size(), lines);
        EXPECT_TRUE(b.engine.isBusy());
    };
    // Both questions of a block programming: the erase and the serial number change.
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1, 101))), 0)
        << log();
    EXPECT_EQ(nested, std::vector<int>(10, 1));
    EXPECT_EQ(b.flashRecord().serialNumber, 101);
    EXPECT_FALSE(b.engine.isBusy());
}

TEST_F(JobFrame, ACancelClickedAfterAJobDoesNotAbortTheNext) {
    b.putRecord(JobBench::sampleRecord());
    BlockArea area;
    ASSERT_EQ(b.engine.readBlock(area), 0);
    b.window.pressCancel(); // after the job's last test
    EXPECT_EQ(b.engine.readBlock(area), 0) << log();
    EXPECT_FALSE(b.window.hasLine(" Operation aborted"));
}

} // namespace
} // namespace tessel::testing
