// Nothing a light bar holds is lost: whole records survive conversions, a block survives Cancel,
// signals and link failures after the erase, and every write is preceded by a backup.
#include "JobTest.h"
#include "support/AtomicFile.h"
#include "support/Utf8File.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tessel::testing {
namespace {

using ConvertKeepsEverything = JobTest;

TEST_F(ConvertKeepsEverything, AFullRecordThereAndBackInBothFormats) {
    for (int format : {1, 2}) {
        const int other = 3 - format;
        const ConfigBlock record = JobBench::fullRecord(format);
        ASSERT_TRUE(record.isTiltCalibrationComplete());
        b.putRecord(record);

        ASSERT_EQ(b.engine.convertBlock(other), 0) << log();
        ConfigBlock converted = record;
        converted.format = other;
        EXPECT_EQ(b.flashRecord(), converted) << format;

        ASSERT_EQ(b.engine.convertBlock(format), 0) << log();
        EXPECT_EQ(b.flashRecord(), record) << format;
    }
}

// 600 bytes of code whose identification block asks for a format 2 block.
FirmwareImage smallFirmware() {
    FirmwareImage image;
    for (std::size_t i = 0; i < 600; ++i) image.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::string id = "<Veltrane Inc. Firmware ID>:product:Demo:version:v3.0:VCB Format:2"
                           ":date:2026-12-08<end>";
    std::copy(id.begin(), id.end(), image.bytes.begin() + 64);
    image.updateLength();
    return image;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string asText(const BlockArea& area) { return {area.begin(), area.end()}; }

// A format 2 block with a withdrawn line, and data memory that is not blank.
void putUsedLightBar(JobBench& b, const ConfigBlock& record = JobBench::sampleRecord(2)) {
    BlockArea area = JobBench::rendered(record);
    area[88] = '~'; // the first character of "Customer ID"
    b.putBlockArea(area);
    for (std::uint32_t i = 0; i < 4096; ++i)
        b.lightBar.setEepromByte(i, static_cast<std::uint8_t>(i * 13 + 7));
}

using Backups = JobTest;

TEST_F(Backups, HoldTheChipsMemoriesAsTheyWereBeforeTheErase) {
    putUsedLightBar(b);
    BlockArea held = b.flashBlockArea(); // withdrawn bytes are "~" in the file, as in a block file
    std::replace(held.begin(), held.end(), std::uint8_t{0}, std::uint8_t{'~'});
    std::string eeprom;
    for (std::uint32_t i = 0; i < 4096; ++i) eeprom += static_cast<char>(b.lightBar.eepromByte(i));

    ASSERT_EQ(b.engine.convertBlock(1), 0) << log();
    const auto files = b.backupFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(fileBytes(files[0]), eeprom);
    EXPECT_EQ(fileBytes(files[1]), asText(held));
    EXPECT_EQ(std::filesystem::path(files[1]).filename().string().rfind("SN314159-", 0), 0u);
    EXPECT_TRUE(b.window.hasLine(" Light Bar VCB area saved to " + files[1])) << log();
    EXPECT_TRUE(b.window.hasLine(" Light Bar EEPROM saved to " + files[0]));
    EXPECT_EQ(b.lightBar.eepromByte(5), 0xFF) << "the erase took the EEPROM with it";

    // A write without an erase saves the block area alone, in a set of its own.
    ASSERT_EQ(b.engine.convertBlock(2), 0) << log();
    BlockArea f2 = b.flashBlockArea();
    std::replace(f2.begin(), f2.end(), std::uint8_t{0}, std::uint8_t{'~'});
    const auto four = b.backupFiles();
    auto changed = b.flashRecord();
    changed.productName = "KD-7";
    ASSERT_EQ(b.engine.programBlock(JobBench::rendered(changed)), 0) << log();
    ASSERT_TRUE(b.window.hasLine(" Light Bar Erasure not required")) << log();
    const auto five = b.backupFiles();
    ASSERT_EQ(five.size(), 5u);
    const auto added = std::find_if(five.begin(), five.end(), [&](const std::string& f) {
        return std::find(four.begin(), four.end(), f) == four.end();
    });
    ASSERT_NE(added, five.end());
    EXPECT_EQ(fileBytes(*added), asText(f2));
}

// A copy is kept only of what a job goes on to change: No or Cancel at its question leaves no
// file. What the job did is summed up for its window and the history: the serial numbers before
// and after, the erase, the files.
TEST_F(Backups, NoOrCancelAtTheQuestionLeavesNoFileAndEveryJobIsSummedUp) {
    std::vector<JobSummary> summaries;
    b.engine.setJobEndListener([&](const JobSummary& s) {
        summaries.push_back(s);
        return std::optional<std::string>();
    });
    putUsedLightBar(b);
    auto renumbered = JobBench::sampleRecord(2, 42);
    b.window.yesNoAnswers = {false};
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(renumbered)), 22) << log();
    b.window.okCancelAnswers = {false};
    EXPECT_EQ(b.engine.convertBlock(1), 20) << log();
    EXPECT_TRUE(b.backupFiles().empty()) << "nothing was written, nothing was saved";

    b.window.yesNoAnswers = {true};
    ASSERT_EQ(b.engine.programBlock(JobBench::rendered(renumbered)), 0) << log();
    EXPECT_EQ(b.backupFiles().size(), 1u);
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 0);

    ASSERT_EQ(summaries.size(), 4u);
    EXPECT_EQ(summaries[0].serialBefore, 314159);
    EXPECT_EQ(summaries[1].firmware, LightBarState::Firmware::Unchanged)
        << "Cancel before the erase";
    EXPECT_EQ(summaries[2].serialAfter, 42) << "as read back";
    EXPECT_EQ(summaries[2].backupFiles, b.backupFiles());
    EXPECT_TRUE(summaries[3].backupFiles.empty());
}

// The backup folder may have any name (a user "Jürgen", a folder "固件"): the files land in it as
// named and the log names them so, not a folder named after the UTF-8 bytes read in another code
// page.
TEST_F(Backups, LandInAFolderOfAnyName) {
    const std::string folder =
        utf8Text(b.dir.path()) + "/Pr\xC3\xBC" "fung/\xE5\x9B\xBA\xE4\xBB\xB6"; // "Prüfung/固件"
    b.engine.setBackupFolder(folder);
    putUsedLightBar(b);
    ASSERT_EQ(b.engine.convertBlock(1), 0) << log();
    const LightBarState& saved = b.engine.lightBarState();
    for (const std::string& file : {saved.backupBlockFile, saved.backupEepromFile}) {
        EXPECT_EQ(file.rfind(folder, 0), 0u) << file;
        EXPECT_EQ(readWholeFile(file).value_or("").size(), 4096u) << file;
    }
    EXPECT_TRUE(b.window.hasLine(" Light Bar VCB area saved to " + saved.backupBlockFile)) << log();
    EXPECT_EQ(filesIn(utf8Path(folder)), 2u);
}

// Never erase or write without a copy: every erasing or writing job stops before it.
TEST_F(Backups, AFolderThatCannotBeWrittenLeavesTheChipUntouched) {
    const std::string plainFile = b.dir / "plain";
    std::ofstream(plainFile) << "x";
    b.engine.setBackupFolder(plainFile + "/backups");
    putUsedLightBar(b);
    const BlockArea before = b.flashBlockArea();
    auto changed = JobBench::sampleRecord(2);
    changed.productName = "KD-9";
    const FirmwareImage image = smallFirmware();

    const std::vector<std::pair<const char*, std::function<int()>>> jobs = {
        {"convert", [&] { return b.engine.convertBlock(1); }},
        {"program", [&] { return b.engine.programBlock(JobBench::rendered(changed)); }},
        {"firmware", [&] { return b.engine.programFirmware(image, nullptr); }},
    };
    for (const auto& [name, job] : jobs) {
        EXPECT_EQ(job(), 11) << name << log();
        EXPECT_EQ(b.window.errorTexts().back(), " Output File Write Error") << name;
        EXPECT_TRUE(b.window.hasLine(LineStyle::Error, " Nothing is erased or written")) << name;
        EXPECT_FALSE(b.chipErased()) << name << ": the copy is saved after OK, before the erase";
    }
    b.putBlockArea(BlockArea{[] { BlockArea a; a.fill(0xFF); return a; }()});
    EXPECT_EQ(b.engine.initDefaultBlock(), 11) << log();
    b.putBlockArea(before);

    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
    EXPECT_EQ(b.lightBar.eepromByte(5), 5 * 13 + 7);
}

// --- Cancel and line failures at every stage of every erasing or writing job -----------------

// What identifies a light bar's block here: present, format, serial number, product name.
struct BlockState {
    bool present = false;
    int format = 0;
    std::int32_t serial = 0;
    std::string name;
    bool operator==(const BlockState&) const = default;
};

BlockState stateOf(const JobBench& b) {
    BlockArea area = b.flashBlockArea();
    std::replace(area.begin(), area.end(), std::uint8_t{0}, std::uint8_t{'~'});
    if (!locateBlock(area).present) return {};
    const ConfigBlock r = b.flashRecord();
    return {true, r.format, r.serialNumber, r.productName};
}

BlockState stateOf(const ConfigBlock& r) { return {true, r.format, r.serialNumber, r.productName}; }

struct SweptJob {
    const char* name;
    std::function<void(JobBench&)> setUp; // the light bar as the job finds it
    std::function<int(JobBench&)> run;
    BlockState before, after;             // the old block and the block the job writes
};

std::vector<SweptJob> erasingJobs() {
    const ConfigBlock f1 = JobBench::sampleRecord(1), f2 = JobBench::sampleRecord(2);
    ConfigBlock f1New = f1, f2New = f2, converted = f2;
    f1New.productName = f2New.productName = "KD-8";
    converted.format = 1;
    ConfigBlock initial;
    initial.setDefaultBlock();
    return {
        {"convert", [=](JobBench& b) { b.putRecord(f2); },
         [](JobBench& b) { return b.engine.convertBlock(1); }, stateOf(f2), stateOf(converted)},
        {"program after erase", [=](JobBench& b) { b.putRecord(f1); },
         [=](JobBench& b) { return b.engine.programBlock(JobBench::rendered(f1New)); },
         stateOf(f1), stateOf(f1New)},
        {"program in place", [=](JobBench& b) { b.putRecord(f2); },
         [=](JobBench& b) { return b.engine.programBlock(JobBench::rendered(f2New)); },
         stateOf(f2), stateOf(f2New)},
        {"initialise", [](JobBench&) {}, [](JobBench& b) { return b.engine.initDefaultBlock(); },
         BlockState{}, stateOf(initial)},
        {"firmware", [=](JobBench& b) { b.putRecord(f2); },
         [](JobBench& b) { return b.engine.programFirmware(smallFirmware(), nullptr); },
         stateOf(f2), stateOf(f2)},
    };
}

struct Profile {
    int abortTests = 0;
    std::pair<int, int> rewriteAborts;       // abort tests made before the rewrite's start, end
    std::uint64_t linkUse = 0;               // line calls, or pin states through the adapter
    std::pair<std::uint64_t, std::uint64_t> rewriteUse;
};

// How much of its link a job has used: line calls on a serial port, bytes through an adapter.
std::uint64_t linkUse(const JobBench& b, bool overAdapter) {
    return overAdapter ? b.adapter.counts().bytes : b.lightBar.counts().lineCalls();
}

Profile profileOf(const SweptJob& job, bool overAdapter = false) {
    JobBench b;
    if (overAdapter) b.useAdapter();
    job.setUp(b);
    Profile p;
    b.window.onRewrite = [&](bool on) {
        (on ? p.rewriteUse.first : p.rewriteUse.second) = linkUse(b, overAdapter);
    };
    EXPECT_EQ(job.run(b), 0) << job.name;
    EXPECT_EQ(stateOf(b), job.after) << job.name;
    EXPECT_EQ(b.window.rewrites.size(), 2u) << job.name;
    if (b.window.rewrites.size() == 2)
        p.rewriteAborts = {b.window.rewrites[0].second, b.window.rewrites[1].second};
    p.abortTests = b.window.abortTests;
    p.linkUse = linkUse(b, overAdapter);
    return p;
}

// Every abort test inside the rewrite and a spread of the others: the light bar keeps its old
// block, or holds the new one whole when the Cancel came after the erase. A Cancel held through
// the rewrite stops the firmware before its code; a block job has nothing left and says so.
TEST(NothingLostSweep, CancelNeverLeavesALightBarWithoutItsBlock) {
    for (const SweptJob& job : erasingJobs()) {
        const Profile p = profileOf(job);
        ASSERT_GT(p.rewriteAborts.second, p.rewriteAborts.first) << job.name;
        for (int k = 1; k <= p.abortTests; ++k) {
            const bool inRewrite = k > p.rewriteAborts.first && k <= p.rewriteAborts.second;
            if (!inRewrite && k % 15 != 0) continue;
            JobBench b;
            job.setUp(b);
            b.window.cancelAtAbortTest = k;
            const int r = job.run(b);
            const BlockState s = stateOf(b);
            if (inRewrite) {
                const bool firmware = std::string(job.name) == "firmware";
                EXPECT_EQ(r, firmware ? 23 : 0) << job.name << " abort test " << k;
                EXPECT_EQ(b.window.hasLine(" Cancel came while the VCB was rewritten: it is "
                                           "programmed and verified"),
                          !firmware)
                    << job.name << " abort test " << k;
                EXPECT_EQ(s, job.after) << job.name << " abort test " << k;
            } else {
                EXPECT_TRUE(s == job.before || s == job.after) << job.name << " abort test " << k;
            }
            EXPECT_FALSE(b.window.hasLine(" The Light Bar holds no valid VCB now"));
            EXPECT_EQ(b.lightBar.timingViolations(), 0u) << job.name << " abort test " << k;
        }
    }
}

// A cable pulled (or a USB adapter unplugged) at a spread of points, denser inside the rewrite:
// the light bar ends with its old or its new block, or the report says it holds none and names a
// backup of the old one. An adapter is handed back to its serial driver whatever happened.
TEST(NothingLostSweep, ALineFailureEndsWithABlockOrNamesTheBackup) {
    for (const bool overAdapter : {false, true})
        for (const SweptJob& job : erasingJobs()) {
            const Profile p = profileOf(job, overAdapter);
            std::vector<std::uint64_t> points;
            for (std::uint64_t k = 1; k < 12; ++k) points.push_back(p.linkUse * k / 12);
            const auto [from, to] = p.rewriteUse;
            for (std::uint64_t k = 0; k < 12; ++k) points.push_back(from + (to - from) * k / 12);
            for (const std::uint64_t at : points) {
                const std::string where = std::string(job.name) + (overAdapter ? " unplugged" : " line failure") +
                                          " after " + std::to_string(at);
                JobBench b;
                if (overAdapter) b.useAdapter();
                job.setUp(b);
                const BlockArea old = b.flashBlockArea();
                if (overAdapter)
                    b.adapter.unplugAfterBytes(at);
                else
                    b.lightBar.failLineCallsAfter(at);
                const int r = job.run(b);
                EXPECT_NE(r, 0) << where;
                EXPECT_FALSE(b.adapter.held()) << where;
                const BlockState s = stateOf(b);
                if (s == job.before || s == job.after) continue;
                EXPECT_TRUE(b.window.hasLine(LineStyle::Error, " The Light Bar holds no valid VCB now"))
                    << where << ::testing::PrintToString(b.window.texts());
                if (!job.before.present) continue;
                const auto files = b.backupFiles();
                ASSERT_FALSE(files.empty()) << where;
                const std::string vcb = files.back();
                EXPECT_TRUE(b.window.hasLine(" Its VCB was saved to " + vcb)) << where;
                BlockArea held = old;
                std::replace(held.begin(), held.end(), std::uint8_t{0}, std::uint8_t{'~'});
                EXPECT_EQ(fileBytes(vcb), asText(held)) << where;
            }
        }
}

// A line that fails while the erase instruction goes out (at its first call, its middle, the call
// of its last clock edge) erased nothing, and the job says so: never that the firmware or the
// block is gone. A failure just after that edge leaves the chip erased, and the report says so.
TEST(NothingLostSweep, ALineFailureBeforeTheEraseReachedTheChipErasedNothing) {
    for (const SweptJob& job : erasingJobs()) {
        if (std::string(job.name) == "program in place") continue;
        JobBench p;
        job.setUp(p);
        p.traceInstructions();
        ASSERT_EQ(job.run(p), 0) << job.name;
        const auto erase = p.callsOf({0xAC, 0x80});
        ASSERT_EQ(erase.size(), 1u) << job.name;
        const std::uint64_t lastEdge = erase[0], first = lastEdge - 129; // 132 calls, edge at 130
        for (const std::uint64_t at : {first - 1, first + 64, lastEdge - 1, lastEdge}) {
            const bool erased = at == lastEdge;
            JobBench b;
            job.setUp(b);
            const BlockState before = stateOf(b);
            b.lightBar.failLineCallsAfter(at);
            EXPECT_EQ(job.run(b), 32) << job.name << " " << at;
            EXPECT_EQ(b.chipErased(), erased) << job.name << " " << at;
            EXPECT_EQ(b.engine.lightBarState().firmware == LightBarState::Firmware::Erased, erased);
            EXPECT_EQ(b.window.hasLine(" The Light Bar holds no valid VCB now"), erased) << job.name;
            EXPECT_EQ(b.window.hasLine(" Nothing was erased: the Light Bar is as it was before"),
                      !erased)
                << job.name << " " << at << ::testing::PrintToString(b.window.texts());
            if (!erased) {
                EXPECT_EQ(stateOf(b), before) << job.name << " " << at;
            }
        }
    }
}

// --- The report against the chip, at every transfer boundary -----------------------------------

// A job that changes the light bar, with the blocks it may leave: the old one, the one it writes,
// and the mix a failure part-way may leave (the new one with the old lines still in it).
struct ChangingJob {
    const char* name;
    ConfigBlock old, wanted, mixed;
    bool firmware = false; // program-code, which keeps the old block
};

std::vector<ChangingJob> changingJobs() {
    // An option set to Skip together with a new product name, made in place: a few page writes
    // read as the new block with the old option line in it.
    const ConfigBlock old = JobBench::fullRecord(2);
    ConfigBlock skip = old, mixed = old;
    skip.option(SwitchOption::FastConfig) = OptionState::Skip;
    skip.productName = mixed.productName = "LB-4000";
    const ConfigBlock f2 = JobBench::sampleRecord(2);
    return {{"the Skip edit in place", old, skip, mixed}, {"program-code", f2, f2, f2, true}};
}

// A byte of code the image does not cover: 0xFF once the chip was erased.
constexpr std::uint32_t kCodeMarker = 0x10000;

int runChanging(JobBench& b, const ChangingJob& job, bool overAdapter) {
    if (overAdapter) b.useAdapter();
    b.putRecord(job.old);
    b.lightBar.setFlashByte(kCodeMarker, 0x5A);
    return job.firmware ? b.engine.programFirmware(smallFirmware(), nullptr)
                        : b.engine.programBlock(JobBench::rendered(job.wanted));
}

// The block readings the job's account of the light bar allows: the state its report (and the
// line of a program stopped at once) is made from.
std::vector<std::optional<BlockArea>> claimedReadings(const JobBench& b, const ChangingJob& job) {
    using Block = LightBarState::Block;
    auto readingOf = [&](Block block) -> std::optional<BlockArea> {
        if (block == Block::Lost) return std::nullopt;
        if (block == Block::Mixed) return JobBench::rendered(job.mixed);
        const bool written = block == Block::New || block == Block::Verified;
        return JobBench::rendered(written ? job.wanted : job.old);
    };
    const LightBarState& state = b.engine.lightBarState();
    if (!state.blockOr) return {readingOf(state.block)};
    return {readingOf(state.block), readingOf(*state.blockOr)};
}

void expectReportMatchesChip(const JobBench& b, const ChangingJob& job, const std::string& where) {
    const auto claims = claimedReadings(b, job);
    EXPECT_NE(std::find(claims.begin(), claims.end(), b.reading()), claims.end())
        << where << ::testing::PrintToString(b.window.texts());
    const LightBarState& state = b.engine.lightBarState();
    if (state.firmwareOr) return;
    EXPECT_EQ(state.firmware != LightBarState::Firmware::Unchanged,
              b.lightBar.flashByte(kCodeMarker) == 0xFF)
        << where << ": the erase as reported";
}

// Whether the light bar's instructions from..to change its memories (an erase, a page write,
// an EEPROM write), beyond loading the page buffer.
bool changesTheChip(const JobBench& b, std::uint64_t from, std::uint64_t to) {
    const auto& log = b.lightBar.instructions();
    return std::any_of(log.begin() + static_cast<std::ptrdiff_t>(from),
                       log.begin() + static_cast<std::ptrdiff_t>(to), [](const auto& i) {
                           return i[0] == 0x4C || i[0] == 0xC0 || (i[0] == 0xAC && i[1] == 0x80);
                       });
}

// Through the adapter, pulled out at the end of every transfer that changes the chip, and of a
// spread of the others (after all of it went out, and after its first byte): what the job says
// the light bar holds is what it reads back. A transfer that failed with a write in it leaves
// either state, and the report names both.
TEST(NothingLostSweep, AnAdapterPulledOutAtEveryTransferLeavesWhatTheReportSays) {
    for (const ChangingJob& job : changingJobs()) {
        JobBench p;
        ASSERT_EQ(runChanging(p, job, true), 0) << job.name;
        const auto ends = p.adapter.transferEnds();
        for (std::size_t k = 0; k < ends.size(); ++k) {
            const EmulatedFt232r::TransferEnd before = k ? ends[k - 1] : EmulatedFt232r::TransferEnd{};
            if (!changesTheChip(p, before.instructions, ends[k].instructions) && k % 16 != 0) continue;
            for (const std::uint64_t at : {ends[k].bytes, before.bytes + 1}) {
                JobBench b;
                b.adapter.unplugAfterBytes(at);
                runChanging(b, job, true);
                expectReportMatchesChip(
                    b, job, std::string(job.name) + " unplugged after " + std::to_string(at));
            }
        }
    }
}

// On the serial lines, a line failure just before and just after each page write and the erase
// reached the chip: the same, the last page of the block kept by program-code included.
TEST(NothingLostSweep, ALineFailureAtEveryPageWriteLeavesWhatTheReportSays) {
    const ChangingJob job = changingJobs().back();
    JobBench p;
    p.traceInstructions();
    ASSERT_EQ(runChanging(p, job, false), 0);
    auto calls = p.callsOf({0x4C});
    calls.push_back(p.callsOf({0xAC, 0x80}).at(0));
    for (const std::uint64_t call : calls)
        for (const std::uint64_t at : {call - 1, call}) {
            JobBench b;
            b.lightBar.failLineCallsAfter(at);
            EXPECT_EQ(runChanging(b, job, false), 32);
            expectReportMatchesChip(b, job, "line failure after " + std::to_string(at));
        }
}

// A conversion cut short after its erase (the block area blank, or half a new block in it):
// the backups it names put the block and the data memory back in one restore, erasing again only
// where the half-written block is in the way.
TEST(Restore, PutsBlockAndEepromBackAfterAFailedEraseJob) {
    const ConfigBlock record = JobBench::fullRecord(2); // over several pages
    JobBench p;
    putUsedLightBar(p, record);
    p.traceInstructions();
    ASSERT_EQ(p.engine.convertBlock(1), 0);
    const std::uint64_t erased = p.callsOf({0xAC, 0x80}).at(0);
    const std::uint64_t firstPage = p.callsOf({0x4C}).at(0); // of the converted block
    for (const std::uint64_t at : {erased, firstPage}) {
        JobBench b;
        putUsedLightBar(b, record);
        const ConfigBlock original = b.flashRecord();
        b.lightBar.failLineCallsAfter(at);
        ASSERT_EQ(b.engine.convertBlock(1), 32);
        const auto files = b.backupFiles();
        ASSERT_EQ(files.size(), 2u);
        ASSERT_TRUE(b.window.summary && b.window.summary->restoreNeeded)
            << ::testing::PrintToString(b.window.texts());
        ASSERT_EQ(b.window.summary->backupFiles, (std::vector<std::string>{files[1], files[0]}));

        b.lightBar.failLineCallsAfter(~std::uint64_t{0}); // the cable plugged in again
        BlockArea savedBlock;
        BlockBackup::Eeprom savedEeprom;
        const std::string blockBytes = fileBytes(files[1]), eepromBytes = fileBytes(files[0]);
        std::copy(blockBytes.begin(), blockBytes.end(), savedBlock.begin());
        std::copy(eepromBytes.begin(), eepromBytes.end(), savedEeprom.begin());
        EXPECT_EQ(b.engine.restore({&savedBlock, &savedEeprom, &files[1]}), 0)
            << ::testing::PrintToString(b.window.texts());
        EXPECT_EQ(b.window.okCancelQuestions, at == erased ? 1 : 2) << "erased again only when needed";
        EXPECT_EQ(b.flashRecord(), original);
        for (std::uint32_t i = 0; i < 4096; ++i) // the pattern putUsedLightBar wrote
            ASSERT_EQ(b.lightBar.eepromByte(i), static_cast<std::uint8_t>(i * 13 + 7)) << i;
        EXPECT_EQ(b.lightBar.timingViolations(), 0u);
    }
}

// A restore cut short while it writes the data memory back says so, and the same restore
// finishes it.
TEST(Restore, CutShortInTheEepromSaysSoAndTheSameRestoreFinishesIt) {
    JobBench b;
    putUsedLightBar(b);
    BlockArea block = b.flashBlockArea();
    std::replace(block.begin(), block.end(), std::uint8_t{0}, std::uint8_t{'~'});
    BlockBackup::Eeprom eeprom;
    for (std::uint32_t i = 0; i < eeprom.size(); ++i)
        eeprom[i] = b.lightBar.eepromByte(i);
    for (std::uint32_t i = 100; i < 200; ++i)
        b.lightBar.setEepromByte(i, 0xFF);
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Restoring Light Bar EEPROM")
            b.lightBar.failLineCallsAfter(100 * 132 + 2000);
    };
    EXPECT_EQ(b.engine.restore({&block, &eeprom, nullptr}), 32);
    EXPECT_TRUE(b.window.hasLine(
        LineStyle::Error, " Light Bar EEPROM is partly written: the same restore finishes it"))
        << ::testing::PrintToString(b.window.texts());
    EXPECT_NE(b.lightBar.eepromByte(100), 0xFF) << "partly";
    EXPECT_EQ(b.lightBar.eepromByte(199), 0xFF) << "partly";

    b.window.onLine = nullptr;
    b.lightBar.failLineCallsAfter(~std::uint64_t{0});
    EXPECT_EQ(b.engine.restore({&block, &eeprom, nullptr}), 0);
    for (std::uint32_t i = 0; i < eeprom.size(); ++i)
        ASSERT_EQ(b.lightBar.eepromByte(i), eeprom[i]) << i;
}

} // namespace
} // namespace tessel::testing
