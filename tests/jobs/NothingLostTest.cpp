// Nothing a light bar holds is lost: whole records survive conversions, a block survives Cancel,
// signals and link failures after the erase, and every write is preceded by a backup.
#include "JobTest.h"

#include "block/RecordFields.h"

#include <fstream>
#include <iterator>

namespace tessel::testing {
namespace {

// Every field set: all options, names (trailing blank and colon included), eight values in
// every row, a complete tilt group with negative members.
ConfigBlock fullRecord(int format) {
    ConfigBlock r;
    r.format = format;
    r.serialNumber = 271828;
    r.customerId = 3;
    r.productName = "LB-3000 ";
    r.tapeMinRadius = 12.5;
    r.minSogForCogKph = 0.25;
    r.tiltOpAmpGain = 3.125;
    r.skipTapeMinRadius = r.skipMinSogForCog = r.skipTiltOpAmpGain = false;
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        r.options[i] = i % 2 == 0 ? OptionState::Yes : OptionState::No;
    r.option(SwitchOption::Tilt) = OptionState::Yes;
    r.scaleNames = {"AB ", "CDE", "FG:", "H-J"};
    for (std::size_t row = 0; row < 4; ++row)
        for (std::size_t k = 0; k < kScaleRowLength; ++k) {
            r.metricScales[row][k] = static_cast<std::uint16_t>(1000 * (row + 1) + 10 * k + 1);
            r.englishScales[row][k] = static_cast<std::uint16_t>(9000 - 100 * row - k);
        }
    for (std::size_t i = 0; i < fields::kTilt.size(); ++i)
        fields::kTilt[i].set(r.tiltCalibration, (i % 3 == 0 ? -1 : 1) * static_cast<int>(7 * i + 3));
    return r;
}

using ConvertKeepsEverything = JobTest;

TEST_F(ConvertKeepsEverything, AFullRecordThereAndBackInBothFormats) {
    for (int format : {1, 2}) {
        const int other = 3 - format;
        const ConfigBlock record = fullRecord(format);
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

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string asText(const BlockArea& area) { return {area.begin(), area.end()}; }

// A format 2 block with a withdrawn line, and data memory that is not blank.
void putUsedLightBar(JobBench& b) {
    BlockArea area = JobBench::rendered(JobBench::sampleRecord(2));
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
    EXPECT_NE(files[1].find("/SN314159-"), std::string::npos);
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

// Never erase or write without a copy: every erasing or writing job stops before it.
TEST_F(Backups, AFolderThatCannotBeWrittenLeavesTheChipUntouched) {
    const std::string plainFile = b.dir / "plain";
    std::ofstream(plainFile) << "x";
    b.engine.setBackupFolder(plainFile + "/backups");
    putUsedLightBar(b);
    const BlockArea before = b.flashBlockArea();
    auto changed = JobBench::sampleRecord(2);
    changed.productName = "KD-9";
    FirmwareImage image;
    const std::string id = "<Veltrane Inc. Firmware ID>:product:Demo:version:v3.0:VCB Format:2"
                           ":date:2026-12-08<end>";
    std::copy(id.begin(), id.end(), image.bytes.begin() + 64);
    image.updateLength();

    const std::vector<std::pair<const char*, std::function<int()>>> jobs = {
        {"convert", [&] { return b.engine.convertBlock(1); }},
        {"program", [&] { return b.engine.programBlock(JobBench::rendered(changed)); }},
        {"firmware", [&] { return b.engine.programFirmware(image, nullptr); }},
    };
    for (const auto& [name, job] : jobs) {
        EXPECT_EQ(job(), 11) << name << log();
        EXPECT_EQ(b.window.errorTexts().back(), " Output File Write Error") << name;
        EXPECT_TRUE(b.window.hasLine(LineStyle::Error, " Nothing is erased or written")) << name;
        EXPECT_EQ(b.window.okCancelQuestions, 0) << name;
    }
    b.putBlockArea(BlockArea{[] { BlockArea a; a.fill(0xFF); return a; }()});
    EXPECT_EQ(b.engine.initDefaultBlock(), 11) << log();
    b.putBlockArea(before);

    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
    EXPECT_EQ(b.lightBar.eepromByte(5), 5 * 13 + 7);
}

} // namespace
} // namespace tessel::testing
