#include "BlockTestUtil.h"

#include "block/BlockText.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using testutil::areaWith;
using testutil::crlf;
using testutil::textAt;

const std::string kTitle = "< Veltrane Configuration Block >";

TEST(BlockConvert, Format2ToFormat1KeepsWholeValuesAndCarriesTheSeparators) {
    const std::string source =
        crlf({kTitle, "VCB Format:             2", "S/N:               314159",
              "Customer ID:            1", "Product Name:        KD-7", "     --- Options ---",
              "Tilt:                  no", "Display-Only Mode: 3", "Display-Only BAUD: 19200",
              "Mt Offset Scale 1:  100  200  300  400  500  600  700  800",
              " ------------------------", "< end >"});
    BlockArea area;
    ASSERT_TRUE(convertText(areaWith(source), 1, area));
    for (std::size_t i = 0; i < kFormat1Offset; ++i)
        ASSERT_EQ(area[i], 0xFF);
    const std::string converted = crlf(
        {kTitle, "S/N: 314159", "Customer ID: 1", "Product Name: KD-7",
         "     --- Options ---: ", "Tilt: no", "Display Mode: 3", "Display Only BAUD Rate: 19200",
         "Mt Offset Scale 1: 100  200  300  400  500  600  700  800", " ------------------------: ",
         "< end >"});
    EXPECT_EQ(textAt(area, kFormat1Offset), converted);
    EXPECT_EQ(area[kFormat1Offset + converted.size() + 1], 0xFF);

    ConfigBlock record;
    parseBlock(area, record);
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.serialNumber, 314159);
    EXPECT_EQ(record.productName, "KD-7");
    EXPECT_EQ(record.option(SwitchOption::Tilt), OptionState::No);
    EXPECT_EQ(record.metricScales[0], (ScaleRow{100, 200, 300, 400, 500, 600, 700, 800}));
}

TEST(BlockConvert, Format1ToFormat2RoundTripsTheRecord) {
    ConfigBlock record;
    record.format = 1;
    record.serialNumber = 77;
    record.customerId = 3;
    record.productName = "LB-9";
    record.skipTiltOpAmpGain = false;
    record.tiltOpAmpGain = 2.5;
    record.option(SwitchOption::FastConfig) = OptionState::Yes;
    record.scaleNames[1] = "NRM";
    BlockArea f1;
    ASSERT_TRUE(renderBlock(record, f1));
    std::string source = textAt(f1, kFormat1Offset);
    source.insert(source.find("< end >"), "Display Mode: 1\r\nDisplay Only BAUD Rate: 4800\r\n");

    BlockArea f2;
    ASSERT_TRUE(convertText(areaWith(source), 2, f2));
    const std::string text = textAt(f2, 0);
    EXPECT_EQ(text.substr(0, 34 + 15), kTitle + "\r\nVCB Format: 2\r\n");
    EXPECT_NE(text.find("Display-Only Mode: 1\r\nDisplay-Only BAUD: 4800\r\n< end >\r\n"),
              std::string::npos);
    ConfigBlock back;
    parseBlock(f2, back);
    record.format = 2;
    record.scaleNames = {"   ", "NRM", "   ", "   "};
    EXPECT_EQ(back, record);
}

TEST(BlockConvert, EdgeCases) {
    BlockArea area;
    // Labels are compared exactly: a renamed label only when it matches whole.
    ASSERT_TRUE(convertText(
        areaWith(crlf({kTitle, "Display Modes: 2", "NoColon", "Empty:", "< end >"})), 2, area));
    EXPECT_EQ(textAt(area, 0), crlf({kTitle, "VCB Format: 2", "Display Modes: 2",
                                     "NoColon: ", "Empty: ", "< end >"}));
    // A carried "VCB Format" line would contradict the target's own: it is dropped both ways.
    ASSERT_TRUE(
        convertText(areaWith(crlf({kTitle, "VCB Format: 1", "S/N: 4", "< end >"})), 2, area));
    EXPECT_EQ(textAt(area, 0), crlf({kTitle, "VCB Format: 2", "S/N: 4", "< end >"}));
    // Long labels keep 49 characters, values the rest of a line of at most 99.
    const std::string longLine = std::string(60, 'L') + ":" + std::string(60, 'V');
    ASSERT_TRUE(convertText(areaWith(crlf({kTitle, longLine, "< end >"})), 1, area));
    EXPECT_EQ(textAt(area, kFormat1Offset),
              crlf({kTitle, std::string(49, 'L') + ": " + std::string(38, 'V'), "< end >"}));
    // Any target other than 1 or 2, and a result that does not fit, leave no block.
    EXPECT_FALSE(convertText(areaWith(crlf({kTitle, "< end >"})), 3, area));
    EXPECT_FALSE(locateBlock(area).titleFound);
    std::string many = kTitle + "\r\n";
    while (many.size() < 4000)
        many += "a\r\n";
    EXPECT_FALSE(convertText(areaWith(many), 1, area));
    for (auto byte : area)
        ASSERT_EQ(byte, 0xFF);
}

TEST(BlockCompact, WithdrawnRunsGoWithTheirLineBreak) {
    std::string text = "AB~~~\r\nCD~E\r\n~~\r~\r\n";
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(text.data()), text.size());
    const std::size_t length = removeWithdrawn(bytes, text.size());
    EXPECT_EQ(text.substr(0, length), "ABCDE\r\n\r");
}

TEST(BlockCompact, AnInPlaceUpdatedBlockReadsAsTheNewRecord) {
    // As the light bar holds it after one value changed without an erase: the old line and
    // the old end marker withdrawn, the new line and a new end marker appended.
    const std::string updated =
        crlf({kTitle, "VCB Format:             2", "~~~~~~~~~~~~~~~~~~~~~~~~~",
              "Product Name:        KD-7", "~~~~~~~", "S/N:               314160", "< end >"});
    BlockArea area = areaWith(updated, 40);
    const auto loc = compactBlock(area);
    ASSERT_TRUE(loc && loc->present);
    EXPECT_EQ(loc->title, 0u);
    const std::string compacted =
        crlf({kTitle, "VCB Format:             2", "Product Name:        KD-7",
              "S/N:               314160", "< end >"});
    EXPECT_EQ(textAt(area, 0), compacted);
    EXPECT_EQ(loc->length, compacted.size());
    EXPECT_EQ(area[compacted.size()], 0x00);
    for (std::size_t i = compacted.size() + 1; i < area.size(); ++i)
        ASSERT_EQ(area[i], 0xFF);

    ConfigBlock record;
    parseBlock(area, record);
    EXPECT_EQ(record.serialNumber, 314160);
    EXPECT_EQ(record.productName, "KD-7");

    BlockArea empty;
    empty.fill(0xFF);
    EXPECT_FALSE(compactBlock(empty).has_value());
}

} // namespace
} // namespace tessel
