#include "BlockTestUtil.h"

#include "block/BlockText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessel {
namespace {

using testutil::crlf;
using testutil::textAt;

ConfigBlock exampleRecord() {
    ConfigBlock record;
    record.format = 2;
    record.serialNumber = 314159;
    record.customerId = 1;
    record.productName = "KD-7";
    record.option(SwitchOption::ScalesDisplay) = OptionState::Yes;
    record.option(SwitchOption::Tilt) = OptionState::No;
    return record;
}

TEST(BlockRender, Format2ExampleByteForByte) {
    BlockArea area;
    ASSERT_TRUE(renderBlock(exampleRecord(), area));
    const std::string expected =
        crlf({"< Veltrane Configuration Block >", "VCB Format:             2",
              "S/N:               314159", "Customer ID:            1", "Product Name:        KD-7",
              "     --- Options ---", "Scales Display:       yes", "Tilt:                  no",
              " ------------------------", "< end >"});
    BlockArea want;
    want.fill(0xFF);
    std::copy(expected.begin(), expected.end(), want.begin());
    want[expected.size()] = 0x00;
    EXPECT_EQ(area, want);
}

TEST(BlockRender, ResetRecordWritesOnlyTheFixedLines) {
    ConfigBlock record;
    record.resetBeforeParsing(100);
    record.tiltCalibration.hiTempICal = 5; // the tilt group is not written while Tilt is skipped
    BlockArea area;
    ASSERT_TRUE(renderBlock(record, area));
    EXPECT_EQ(
        textAt(area, 0),
        crlf({"< Veltrane Configuration Block >", "VCB Format:             2",
              "S/N:                  100", "Customer ID:            1", "Product Name:     TQM.800",
              "     --- Options ---", " ------------------------", "< end >"}));
}

TEST(BlockRender, Format1AndFormat0UseTheFormat1LayoutAtOffset2048) {
    for (int format : {1, 0}) {
        ConfigBlock record = exampleRecord();
        record.format = format;
        BlockArea area;
        ASSERT_TRUE(renderBlock(record, area));
        for (std::size_t i = 0; i < kFormat1Offset; ++i)
            ASSERT_EQ(area[i], 0xFF) << i;
        const std::string text = textAt(area, kFormat1Offset);
        EXPECT_EQ(text,
                  crlf({"< Veltrane Configuration Block >", "S/N:               314159",
                        "Customer ID:            1", "Product Name:        KD-7",
                        "Scales Display:       yes", "Tilt:                  no", "< end >"}));
        EXPECT_EQ(area[kFormat1Offset + text.size() + 1], 0xFF);
    }
}

TEST(BlockRender, FieldValuesFollowTheirFormats) {
    ConfigBlock record;
    record.format = 1;
    record.serialNumber = -42;
    record.customerId = 7;
    record.productName = "ABCDEFGHIJKLMNOPQRST"; // 20 characters: the first 19 are written
    record.skipTapeMinRadius = false;
    record.tapeMinRadius = 12.5;
    record.skipMinSogForCog = false;
    record.minSogForCogKph = -0.0004;
    record.skipTiltOpAmpGain = false;
    record.tiltOpAmpGain = 1234567.0;
    record.scaleNames = {"FIN", "___", "   ", "AB"};
    record.metricScales[0] = {100, 200, 300, 400, 500, 600, 700, 800};
    record.metricScales[1] = {0, 5, 5, 5, 5, 5, 5, 5}; // first value 0: absent
    record.englishScales[3] = {65535, 10000, 1, 2, 3, 4, 5, 6};
    BlockArea area;
    ASSERT_TRUE(renderBlock(record, area));
    EXPECT_EQ(textAt(area, kFormat1Offset),
              crlf({"< Veltrane Configuration Block >", "S/N:                  -42",
                    "Customer ID:            0", "Product Name:ABCDEFGHIJKLMNOPQRS",
                    "Tape Min Radius:   12.500", "MinSogForCogKph:   -0.000",
                    "TiltOpAmpGain:1234567.000", "Offset Scale 1 Name:  FIN",
                    "Mt Offset Scale 1:  100  200  300  400  500  600  700  800",
                    "Ft Offset Scale 4:6553510000    1    2    3    4    5    6", "< end >"}));

    record.customerId = -1;
    ASSERT_TRUE(renderBlock(record, area));
    EXPECT_NE(textAt(area, kFormat1Offset).find("Customer ID:            0\r\n"),
              std::string::npos);
}

TEST(BlockRender, TiltCalibrationOnlyWhenTiltIsYesAndComplete) {
    ConfigBlock record;
    record.option(SwitchOption::Tilt) = OptionState::Yes;
    auto& t = record.tiltCalibration;
    t.zeroGTestI = 65535;
    t.hiTempC = -40;
    t.loTempTiltAtCal = -180;
    t.hiTempICal = t.hiTempQCal = t.midTempICal = t.midTempQCal = t.loTempICal = 512;
    t.hiTempISlope = -128;
    t.loTempQSlope = 127;
    BlockArea area;
    ASSERT_TRUE(renderBlock(record, area));
    EXPECT_EQ(textAt(area, 0).find("0GItest"), std::string::npos) << "one reading is still 0";

    t.loTempQCal = 1;
    ASSERT_TRUE(renderBlock(record, area));
    const std::string text = textAt(area, 0);
    EXPECT_NE(text.find("Tilt:                 yes\r\n0GItest:            65535\r\n"
                        "0GQtest:                0\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("ZTHiTempC:            -40\r\n"), std::string::npos);
    EXPECT_NE(text.find("ZTLoTempTiltAtCal:   -180\r\n"), std::string::npos);
    EXPECT_NE(text.find("ZTLoTempQCal:           1\r\n"), std::string::npos);
    EXPECT_NE(text.find("HiTempISlope:        -128\r\n"), std::string::npos);
    EXPECT_NE(text.find("LoTempQSlope:         127\r\n ------------------------\r\n"),
              std::string::npos);

    record.option(SwitchOption::Tilt) = OptionState::No;
    ASSERT_TRUE(renderBlock(record, area));
    EXPECT_EQ(textAt(area, 0).find("0GItest"), std::string::npos);
}

TEST(BlockRender, ATextThatDoesNotFitLeavesNoBlock) {
    // A full format 1 record whose radius grows one digit at a time: the last text that fits
    // takes exactly 2047 bytes (the 2048th is its zero byte); the next leaves no block at all.
    ConfigBlock record = exampleRecord();
    record.format = 1;
    record.options.fill(OptionState::Yes);
    record.productName = std::string(19, 'P');
    record.scaleNames = {"AAA", "BBB", "CCC", "DDD"};
    for (auto& row : record.metricScales)
        row.fill(11111);
    for (auto& row : record.englishScales)
        row.fill(22222);
    auto& t = record.tiltCalibration;
    t.hiTempICal = t.hiTempQCal = t.midTempICal = t.midTempQCal = t.loTempICal = t.loTempQCal = 9;
    record.skipTapeMinRadius = record.skipMinSogForCog = false;
    record.minSogForCogKph = 1e250;

    BlockArea area;
    std::size_t lastFit = 0;
    bool failed = false;
    for (int digits = 1; digits < 300 && !failed; ++digits) {
        // 2 x 10^k has k + 1 digits however the power rounds.
        record.tapeMinRadius = 2.0 * std::pow(10.0, digits - 1);
        if (renderBlock(record, area)) {
            lastFit = textAt(area, kFormat1Offset).size();
            const auto loc = locateBlock(area);
            ASSERT_TRUE(loc.present);
            ASSERT_EQ(area[loc.blockEnd()], 0x00);
        } else {
            failed = true;
            for (auto byte : area)
                ASSERT_EQ(byte, 0xFF);
            EXPECT_FALSE(locateBlock(area).titleFound);
        }
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(lastFit, kFormat1Offset - 1);

    // The same values fit the 4096 bytes of a format 2 block.
    record.format = 2;
    EXPECT_TRUE(renderBlock(record, area));
    EXPECT_TRUE(locateBlock(area).present);
}

TEST(BlockRender, TextValuesNeverCarryWithdrawnOrControlCharacters) {
    ConfigBlock record = exampleRecord();
    record.productName = "K~D\r\n7~";
    record.scaleNames = {"A~B", "X\nY", "OK~", "~~~"};
    record.scaleNames[2] = "O~KZ"; // "OKZ" once the "~" is gone
    BlockArea area;
    ASSERT_TRUE(renderBlock(record, area));
    const std::string text = textAt(area, 0);
    EXPECT_EQ(text.find('~'), std::string::npos);
    EXPECT_NE(text.find("Product Name:         KD7\r\n"), std::string::npos);
    EXPECT_NE(text.find("Offset Scale 3 Name:  OKZ\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Offset Scale 1 Name"), std::string::npos);
    EXPECT_EQ(text.find("Offset Scale 2 Name"), std::string::npos);
    EXPECT_EQ(text.find("Offset Scale 4 Name"), std::string::npos);
}

} // namespace
} // namespace tessel
