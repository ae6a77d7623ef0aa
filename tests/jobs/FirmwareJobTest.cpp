// The firmware and data memory jobs end to end: the code area, the kept block and what the chip
// was asked to do.
#include "JobTest.h"

#include <algorithm>
#include <cstring>

namespace tessel::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr std::uint32_t kFormat1Base = 0x1F800;

// An image of codeBytes pseudo-random code bytes with an identification block near its start.
FirmwareImage firmware(std::size_t codeBytes, int format, const std::string& version = "v3.0") {
    FirmwareImage image;
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < codeBytes; ++i) {
        x = x * 1103515245u + 12345u;
        image.bytes[i] = static_cast<std::uint8_t>(x >> 16);
    }
    const std::string id = "<Veltrane Inc. Firmware ID>:product:Demo:version:" + version +
                           ":VCB Format:" + std::to_string(format) + ":date:2026-12-08<end>";
    std::memcpy(image.bytes.data() + 64, id.data(), id.size());
    image.updateLength();
    return image;
}

void putCode(JobBench& b, const FirmwareImage& image) {
    for (std::size_t i = 0; i < image.length; ++i)
        b.lightBar.setFlashByte(static_cast<std::uint32_t>(i), image.bytes[i]);
}

bool codeMatches(const JobBench& b, const FirmwareImage& image) {
    for (std::size_t i = 0; i < FirmwareImage::kSize; ++i)
        if (b.lightBar.flashByte(static_cast<std::uint32_t>(i)) != image.bytes[i]) return false;
    return true;
}

std::string blockText(const ConfigBlock& record) {
    const BlockArea area = JobBench::rendered(record);
    const std::string_view s(reinterpret_cast<const char*>(area.data()), area.size());
    const auto title = s.find('<');
    return std::string(s.substr(title, s.find("< end >") + 9 - title));
}

// --- program ----------------------------------------------------------------------------------

using ProgramFirmwareJob = JobTest;

TEST_F(ProgramFirmwareJob, KeepsAFormat2BlockCompactedAtTheStartOfTheArea) {
    // The light bar's block sits 100 bytes into the area with a withdrawn line in it.
    const std::string text = blockText(JobBench::sampleRecord());
    const std::string withdrawn = text.substr(0, 34) + "~~~~~~~~~~\r\n" + text.substr(34);
    BlockArea stored;
    stored.fill(0xFF);
    std::memcpy(stored.data() + 100, withdrawn.data(), withdrawn.size());
    b.putBlockArea(stored);
    const FirmwareImage image = firmware(3000, 2);
    const std::string path = "/media/firmware/demo-f2.a90";

    EXPECT_EQ(b.engine.programFirmware(image, &path), 0) << log();
    EXPECT_EQ(b.window.titles, Lines{"--- Program Light Bar Firmware Code ---"});
    EXPECT_EQ(b.window.blockPaneShown, std::vector<bool>{false});
    EXPECT_TRUE(b.chipErased());
    EXPECT_TRUE(b.window.everLoggedLine(" Light Bar will be Erased (VCB is preserved)"));
    EXPECT_TRUE(codeMatches(b, image));
    EXPECT_EQ(b.flashText(0x1F000, text.size() + 1), text + '\xFF');
    EXPECT_EQ(b.host.record().serialNumber, 314159) << "the windows show the kept block";

    const auto t = b.window.texts();
    EXPECT_EQ(Lines(t.begin() + 2, t.begin() + 6),
              (Lines{" Firmware Code was read from:", "   /media/firmware/demo-f2.a90",
                     " Firmware Code is v3.0, length is " + std::to_string(image.length) + " bytes",
                     ""}));
    EXPECT_EQ(Lines(t.end() - 4, t.end()),
              (Lines{" Light Bar VCB Verified Ok", " Light Bar Firmware Code is Programmed",
                     " Code ID is v3.0, Chip ID is v3.0", " Light Bar Firmware Code Verified Ok"}));
    EXPECT_TRUE(b.window.hasLine(" Replaced Light Bar VCB area"));
}

TEST_F(ProgramFirmwareJob, KeepsAFormat1BlockAt0x1F800FollowedByAZeroByte) {
    b.putRecord(JobBench::sampleRecord(1));
    const FirmwareImage image = firmware(600, 1);
    EXPECT_EQ(b.engine.programFirmware(image, nullptr), 0) << log();
    const std::string text = blockText(JobBench::sampleRecord(1));
    EXPECT_EQ(b.flashText(kFormat1Base, text.size() + 2), text + '\0' + '\xFF');
    EXPECT_EQ(b.flashText(0x1F000, 2048), std::string(2048, '\xFF'));
    EXPECT_TRUE(codeMatches(b, image));
    EXPECT_FALSE(b.window.hasLine(" Firmware Code was read from:"));
}

TEST_F(ProgramFirmwareJob, FirmwareForAnotherFormatIsRefusedBeforeTheErase) {
    b.putRecord(JobBench::sampleRecord(2));
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 1), nullptr), 29);
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::VcbFormat1Required));
    EXPECT_EQ(b.window.errorTexts()[2], " ** Execute 'Convert VCB to Format 1' **");
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 3), nullptr), 31);
    EXPECT_EQ(b.window.lastLine(), " Unknown VCB Format Required");

    b.putRecord(JobBench::sampleRecord(1));
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 2), nullptr), 30);
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
}

TEST_F(ProgramFirmwareJob, ALightBarWithoutBlockIsNotProgrammed) {
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 2), nullptr), 5);
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::NoValidVcb));
    EXPECT_FALSE(b.chipErased());
}

TEST_F(ProgramFirmwareJob, AnImageWithoutCodeStartsNoJob) {
    b.putRecord(JobBench::sampleRecord());
    const FirmwareImage empty;
    EXPECT_EQ(b.engine.programFirmware(empty, nullptr), 3);
    EXPECT_EQ(b.engine.verifyFirmware(empty, nullptr), 3);
    EXPECT_EQ(b.engine.result(), 3);
    EXPECT_TRUE(b.window.titles.empty());
    EXPECT_EQ(b.lightBar.counts().opens, 0u);
}

TEST_F(ProgramFirmwareJob, AKeptBlockThatDidNotTakeStopsBeforeTheCode) {
    b.putRecord(JobBench::sampleRecord(2));
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        // A bit of the serial number's digit "5" sticks at 0 after the erase.
        if (l.text == " Light Bar is Erased") b.lightBar.setFlashByte(0x1F000 + 34 + 27 + 23, 0x31);
    };
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 2), nullptr), 28) << log();
    EXPECT_EQ(linesFrom(" Light Bar VCB Verify error:", 5),
              (Lines{" Light Bar VCB Verify error:", "<VCB> S/N:               314159",
                     "< LB> S/N:               314119", " VCB Verify Error",
                     " The Light Bar holds a VCB that differs from the one written"}));
    EXPECT_FALSE(b.anyPageWriteBelow(0x1F000)) << "no code is written";
}

TEST_F(ProgramFirmwareJob, AKeptBlockThatWouldNotFitItsPlaceIsRefusedBeforeTheErase) {
    // A format 1 block of over 2 KB that starts low in the area cannot go back to 0x1F800.
    std::string text = blockText(JobBench::sampleRecord(1));
    const auto end = text.find("< end >");
    std::string padding;
    while (padding.size() < 2100) padding += "# kept by the factory\r\n";
    text.insert(end, padding);
    BlockArea stored;
    stored.fill(0xFF);
    std::memcpy(stored.data() + 16, text.data(), text.size());
    b.putBlockArea(stored);

    EXPECT_EQ(b.engine.programFirmware(firmware(600, 1), nullptr), 7) << log();
    EXPECT_EQ(b.window.errorTexts(), (Lines{" Light Bar VCB does not fit its place in the VCB area",
                                            " Reference VCB is not valid"}));
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), stored);
}

TEST_F(ProgramFirmwareJob, CancelMidProgrammingKeepsTheBlock) {
    b.putRecord(JobBench::sampleRecord(2));
    const FirmwareImage image = firmware(4000, 2);
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Programming Light Bar Firmware Code") b.window.cancelAtProgress = 50;
    };
    EXPECT_EQ(b.engine.programFirmware(image, nullptr), 23);
    const auto t = b.window.texts();
    EXPECT_EQ(Lines(t.end() - 2, t.end()),
              (Lines{" Light Bar Firmware Programmimg aborted", " Operation aborted"}));
    EXPECT_EQ(b.window.okWaits, 1);
    EXPECT_EQ(b.flashRecord().serialNumber, 314159);
    EXPECT_FALSE(codeMatches(b, image));

    // The page left half-loaded by the abort is forgotten: the next job writes only its own.
    const auto pagesBefore = b.lightBar.pageWrites().size();
    b.window.onLine = nullptr;
    auto changed = JobBench::sampleRecord(2);
    changed.productName = "KD-8";
    ASSERT_EQ(b.engine.programBlock(JobBench::rendered(changed)), 0) << log();
    const auto& pages = b.lightBar.pageWrites();
    EXPECT_GT(pages.size(), pagesBefore);
    for (std::size_t i = pagesBefore; i < pages.size(); ++i) EXPECT_GE(pages[i] * 2u, 0x1F000u);
}

// Programmed in full, its verify cut short (a pulled cable, a Cancel): the firmware is there,
// unverified, not incomplete; a verify that finds a difference leaves it incomplete.
TEST_F(ProgramFirmwareJob, AVerifyCutShortLeavesTheFirmwareProgrammedNotIncomplete) {
    using Firmware = LightBarState::Firmware;
    const FirmwareImage image = firmware(4000, 2);
    for (const int cut : {32, 24, 19}) {
        b.putRecord(JobBench::sampleRecord(2));
        b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
            if (l.text != " Verifying Firmware Code to Light Bar") return;
            if (cut == 32) b.lightBar.failLineCallsAfter(20000);
            if (cut == 24) b.window.cancelAtProgress = 50;
            if (cut == 19) b.lightBar.setFlashByte(3000, 0x00);
        };
        EXPECT_EQ(b.engine.programFirmware(image, nullptr), cut) << log();
        EXPECT_EQ(b.engine.lightBarState().firmware,
                  cut == 19 ? Firmware::Incomplete : Firmware::Programmed);
        b.lightBar.failLineCallsAfter(~std::uint64_t{0});
    }
}

TEST(ProgramFirmwareSweep, TheBlockSurvivesAnAbortAtEveryProgressPoint) {
    const FirmwareImage image = firmware(1500, 1);
    int points = 0;
    {
        JobBench b;
        b.putRecord(JobBench::sampleRecord(1));
        ASSERT_EQ(b.engine.programFirmware(image, nullptr), 0);
        points = b.window.abortTests;
    }
    ASSERT_GT(points, 25);
    for (int k = 1; k <= points; ++k) {
        JobBench b;
        b.putRecord(JobBench::sampleRecord(1));
        b.window.cancelAtAbortTest = k;
        const int r = b.engine.programFirmware(image, nullptr);
        EXPECT_TRUE(r == 23 || r == 24) << "abort test " << k << " gave " << r;
        const ConfigBlock kept = b.flashRecord();
        EXPECT_EQ(kept.format, 1) << k;
        EXPECT_EQ(kept.serialNumber, 314159) << k;
        EXPECT_EQ(kept.productName, "KD-7") << k;
        EXPECT_EQ(b.lightBar.timingViolations(), 0u) << k;
    }
}

TEST_F(ProgramFirmwareJob, AStaleCancelDoesNotAbortAnErasingJob) {
    b.putRecord(JobBench::sampleRecord(2));
    b.window.pressCancel();
    EXPECT_EQ(b.engine.programFirmware(firmware(600, 2), nullptr), 0) << log();
}

// --- the window stays alive ------------------------------------------------------------------

// Records the longest stretch of virtual job time without a message pump.
struct PumpGaps {
    explicit PumpGaps(JobBench& bench) : b(bench) {
        b.window.onProcessMessages = [this] { mark(); };
    }
    void mark() {
        const std::uint64_t now = b.clock.micros();
        longest = std::max(longest, now - last);
        last = now;
        ++pumps;
    }
    template <class Job> int run(Job job) {
        last = b.clock.micros();
        const int r = job();
        mark();
        return r;
    }
    JobBench& b;
    std::uint64_t last = 0, longest = 0;
    int pumps = 0;
};

// Reset waits, enable tries, the erase, page writes and long loops on a slow cable all let the
// window process messages at least every 50 ms of job time.
TEST_F(ProgramFirmwareJob, TheWindowIsPumpedAtLeastEvery50ms) {
    PumpGaps gaps(b);
    b.putRecord(JobBench::sampleRecord(1));
    EXPECT_EQ(gaps.run([&] {
        return b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1)));
    }),
              0);
    EXPECT_TRUE(b.chipErased());

    b.cable.afterCall = [&] { b.clock.advanceMicros(50); }; // 128 bytes take about a second
    EXPECT_EQ(gaps.run([&] { return b.engine.programFirmware(firmware(1200, 1), nullptr); }), 0)
        << log();
    b.cable.afterCall = nullptr;

    b.lightBar.setNoAnswer(true); // eight tries of more than half a second each
    BlockArea area;
    EXPECT_EQ(gaps.run([&] { return b.engine.readBlock(area); }), 8);
    EXPECT_LE(gaps.longest, 50'000u);
    EXPECT_GT(gaps.pumps, 4000 / 50);
}

// A Cancel clicked while the port waits is seen by the job's next abort test, as any other.
TEST_F(ProgramFirmwareJob, ACancelDuringAWaitAbortsAtTheNextProgressPoint) {
    b.putRecord(JobBench::sampleRecord(2));
    bool erased = false;
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        erased = erased || l.text == " Light Bar is Erased";
    };
    b.window.onProcessMessages = [&] {
        if (!b.chipErased() || erased) return;
        b.window.pressCancel(); // during the 150 ms after the erase instruction
        erased = true;
    };
    EXPECT_EQ(b.engine.programFirmware(firmware(3000, 2), nullptr), 23) << log();
    EXPECT_EQ(b.flashRecord().serialNumber, 314159) << "the kept block is back";
}

// --- verify -----------------------------------------------------------------------------------

using VerifyFirmwareJob = JobTest;

TEST_F(VerifyFirmwareJob, ReportsTheFirstDifferenceWithBothBytes) {
    FirmwareImage image = firmware(0x2000, 2);
    image.bytes[0x1234] = 0x0E;
    putCode(b, image);
    b.lightBar.setFlashByte(0x1234, 0x0C);
    b.lightBar.setFlashByte(0x1300, 0x00); // past the first difference: never reported

    EXPECT_EQ(b.engine.verifyFirmware(image, nullptr), 19);
    EXPECT_EQ(b.window.titles, Lines{"--- Verify Light Bar Firmware Code ---"});
    EXPECT_EQ(b.window.texts(),
              (Lines{" Signature Bytes: 1e 97 02", " Fuse Bytes:      e0 d9 fd",
                     " Firmware Code length is " + std::to_string(image.length) + " bytes", "",
                     " Code ID is v3.0, Chip ID is v3.0",
                     " Verify Error @1234 chip=0c data=0e"}));
    EXPECT_EQ(b.window.lines.back().style, LineStyle::Error);
    EXPECT_EQ(b.window.okWaits, 1);
}

TEST_F(VerifyFirmwareJob, NamesOlderFirmwareByItsSum) {
    // 6 bytes of 0x7D and 1018 of 0x7C add up to 126982: "v2.1". The light bar holds another.
    FirmwareImage image;
    std::fill(image.bytes.begin(), image.bytes.begin() + 6, 0x7D);
    std::fill(image.bytes.begin() + 6, image.bytes.begin() + 1024, 0x7C);
    image.updateLength();
    EXPECT_EQ(b.engine.verifyFirmware(image, nullptr), 19);
    EXPECT_TRUE(b.window.hasLine(" Code ID is v2.1, Chip ID is unknown"));
    EXPECT_TRUE(b.window.hasLine(" Verify Error @0000 chip=ff data=7d"));
}

TEST_F(VerifyFirmwareJob, LongVersionsAndPathsStayWhole) {
    const std::string version(79, 'v'); // the longest version an identification block gives
    const FirmwareImage image = firmware(600, 2, version);
    putCode(b, image);
    const std::string path = "/srv/" + std::string(300, 'p') + "/lightbar.a90";
    EXPECT_EQ(b.engine.verifyFirmware(image, &path), 0) << log();
    EXPECT_TRUE(b.window.hasLine("   " + path));
    const std::string idLine = " Code ID is " + version + ", Chip ID is " + version;
    EXPECT_EQ(idLine.size(), 183u);
    EXPECT_TRUE(b.window.hasLine(idLine));
    EXPECT_EQ(b.window.lastLine(), " Light Bar Firmware Code Verified Ok");
}

TEST_F(VerifyFirmwareJob, ALinkFailureStaysACommErrorAndIsNoVerifyError) {
    const FirmwareImage image = firmware(3000, 2);
    putCode(b, image);
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Verifying Firmware Code to Light Bar") b.lightBar.failLineCallsAfter(20000);
    };
    EXPECT_EQ(b.engine.verifyFirmware(image, nullptr), 32);
    EXPECT_EQ(b.window.lastLine(), kPulledCable);
    EXPECT_FALSE(b.window.hasLine(LineStyle::Progress, " Verifying Firmware Code to Light Bar"));
    for (const auto& line : b.window.everLogged)
        EXPECT_EQ(line.text.find("Verify Error"), std::string::npos) << line.text;
}

TEST_F(VerifyFirmwareJob, CancelGives24) {
    const FirmwareImage image = firmware(3000, 2);
    putCode(b, image);
    b.window.cancelAtAbortTest = 3;
    EXPECT_EQ(b.engine.verifyFirmware(image, nullptr), 24);
    EXPECT_EQ(b.window.lastLine(), " Light Bar Firmware Code Verify aborted");
}

// --- data memory ------------------------------------------------------------------------------

using ReadDataMemoryJob = JobTest;

TEST_F(ReadDataMemoryJob, ACountAbove4096Reads4096) {
    for (std::uint32_t a = 0; a < 4096; ++a)
        b.lightBar.setEepromByte(a, static_cast<std::uint8_t>(a * 7));
    std::vector<std::uint8_t> buffer(5000, 0xAA);
    EXPECT_EQ(b.engine.readDataMemory(buffer.data(), 5000), 0) << log();
    EXPECT_EQ(b.window.titles, Lines{"--- Read Light Bar EEPROM Data ---"});
    EXPECT_TRUE(b.window.everLoggedLine(" Reading 4096 bytes from Light Bar"));
    EXPECT_EQ(b.window.lastLine(), " Finished Reading Light Bar");
    EXPECT_EQ(b.instructionsWith(0xA0), 4096u);
    for (std::uint32_t a = 0; a < 4096; ++a)
        ASSERT_EQ(buffer[a], static_cast<std::uint8_t>(a * 7)) << a;
    EXPECT_TRUE(std::all_of(buffer.begin() + 4096, buffer.end(), [](auto v) { return v == 0xAA; }));
}

TEST_F(ReadDataMemoryJob, CountZeroReadsNothingAndCancelLeavesTheBuffer) {
    std::uint8_t buffer[200];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    EXPECT_EQ(b.engine.readDataMemory(buffer, 0), 0);
    EXPECT_EQ(b.instructionsWith(0xA0), 0u);
    EXPECT_EQ(b.window.progress.back(), 100);
    EXPECT_EQ(b.window.lastLine(), " Finished Reading Light Bar");

    b.window.cancelAtAbortTest = 2;
    EXPECT_EQ(b.engine.readDataMemory(buffer, 200), 23);
    EXPECT_EQ(b.window.lastLine(), " Operation aborted");
    EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](auto v) { return v == 0xAA; }));
}

} // namespace
} // namespace tessel::testing
