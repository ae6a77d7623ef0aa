#include "block/BlockText.h"

#include <gtest/gtest.h>

#include <random>

namespace tessel {
namespace {

// Records within the windows' limits: names of at most 14 characters without blanks or colons
// (a value word ends at them), reals of at most nine characters with three decimals, scale
// values of at most four digits.
class RecordGenerator {
public:
    explicit RecordGenerator(unsigned seed) : random_(seed) {}

    ConfigBlock next() {
        ConfigBlock r;
        r.format = pick(1, 2);
        r.serialNumber = static_cast<std::int32_t>(random_());
        r.customerId = pick(0, 5);
        r.productName = word(pick(1, 14), "ABCXYZabcxyz0189.-_/#<>!$%&()*+,;=?@[]^{|}");
        r.skipTapeMinRadius = coin();
        r.skipMinSogForCog = coin();
        r.skipTiltOpAmpGain = coin();
        r.tapeMinRadius = pick(0, 99999) / 1000.0;
        r.minSogForCogKph = pick(0, 99999999) / 1000.0;
        r.tiltOpAmpGain = pick(0, 9) / 1000.0;
        for (auto& option : r.options)
            option = static_cast<OptionState>(pick(0, 2));
        for (auto& name : r.scaleNames)
            name = coin() ? word(3, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") : std::string{};
        for (auto* rows : {&r.metricScales, &r.englishScales})
            for (auto& row : *rows) {
                if (coin()) continue; // an absent row
                for (auto& value : row)
                    value = static_cast<std::uint16_t>(pick(0, 9999));
                row[0] = static_cast<std::uint16_t>(pick(1, 9999));
            }
        auto& t = r.tiltCalibration;
        for (auto* v :
             {&t.zeroGTestI, &t.zeroGTestQ, &t.oneGTestI, &t.oneGTestQ, &t.hiTempICal,
              &t.hiTempQCal, &t.midTempICal, &t.midTempQCal, &t.loTempICal, &t.loTempQCal})
            *v = static_cast<std::uint16_t>(pick(0, 65535));
        for (auto* v : {&t.hiTempC, &t.midTempC, &t.loTempC, &t.hiTempTiltAtCal,
                        &t.midTempTiltAtCal, &t.loTempTiltAtCal})
            *v = static_cast<std::int16_t>(pick(-32768, 32767));
        for (auto* v : {&t.hiTempISlope, &t.loTempISlope, &t.hiTempQSlope, &t.loTempQSlope})
            *v = static_cast<std::int8_t>(pick(-128, 127));
        return r;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool coin() { return pick(0, 1) == 1; }
    std::string word(int length, std::string_view alphabet) {
        std::string w;
        for (int i = 0; i < length; ++i)
            w += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return w;
    }

    std::mt19937 random_;
};

// What a parse gives back: skipped values and unwritten lines keep their reset values.
ConfigBlock expectedAfterParse(const ConfigBlock& written) {
    ConfigBlock expected = written;
    const ConfigBlock reset = [] {
        ConfigBlock r;
        r.resetBeforeParsing(100);
        return r;
    }();
    if (written.skipTapeMinRadius) expected.tapeMinRadius = reset.tapeMinRadius;
    if (written.skipMinSogForCog) expected.minSogForCogKph = reset.minSogForCogKph;
    if (written.skipTiltOpAmpGain) expected.tiltOpAmpGain = reset.tiltOpAmpGain;
    for (auto& name : expected.scaleNames)
        if (name.size() != 3) name = "   ";
    for (auto* rows : {&expected.metricScales, &expected.englishScales})
        for (auto& row : *rows)
            if (row[0] == 0) row = {};
    if (written.option(SwitchOption::Tilt) != OptionState::Yes ||
        !written.isTiltCalibrationComplete())
        expected.tiltCalibration = {};
    return expected;
}

TEST(BlockRoundTrip, GeneratedRecordsComeBackFromTheirText) {
    RecordGenerator generate(20261208);
    int tiltWritten = 0;
    for (int i = 0; i < 3000; ++i) {
        const ConfigBlock written = generate.next();
        BlockArea area;
        ASSERT_TRUE(renderBlock(written, area));
        const auto loc = locateBlock(area);
        ASSERT_TRUE(loc.present);
        ASSERT_LT(loc.blockEnd(), kBlockAreaSize) << "room for the zero byte";
        ConfigBlock read;
        read.tiltCalibration = {};
        parseBlock(area, read, 100);
        ASSERT_EQ(read, expectedAfterParse(written)) << "record " << i;
        EXPECT_EQ(blockFormatOf(area), written.format);
        const std::int64_t serial = written.serialNumber;
        EXPECT_EQ(findValue(area, "S/N"), static_cast<std::uint64_t>(serial < 0 ? -serial : serial))
            << "find value reads the digits without their sign";
        if (read.tiltCalibration.isComplete()) ++tiltWritten;

        // Rendering what was read gives the same bytes again.
        BlockArea again;
        ASSERT_TRUE(renderBlock(read, again));
        ASSERT_EQ(again, area);
    }
    EXPECT_GT(tiltWritten, 100) << "the sweep covers the tilt calibration lines";
}

} // namespace
} // namespace tessel
