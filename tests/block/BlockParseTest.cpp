#include "BlockTestUtil.h"

#include "block/BlockText.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using testutil::areaWith;
using testutil::crlf;

const std::string kTitle = "< Veltrane Configuration Block >";

// Parses a format 2 text: title, the given lines, end marker.
ConfigBlock parseLines(std::initializer_list<std::string_view> lines) {
    std::string text = kTitle + "\r\nVCB Format:             2\r\n";
    for (auto line : lines)
        (text += line) += "\r\n";
    text += "< end >\r\n";
    ConfigBlock record;
    parseBlock(areaWith(text), record);
    return record;
}

TEST(BlockParse, IdentityValues) {
    auto r = parseLines({"S/N:      -42", "Customer ID: 4", "Product Name:  KD 7"});
    EXPECT_EQ(r.format, 2);
    EXPECT_EQ(r.serialNumber, -42);
    EXPECT_EQ(r.customerId, 4);
    EXPECT_EQ(r.productName, "7") << "only the part after the last blank";
    EXPECT_EQ(parseLines({"Customer ID: 9"}).customerId, 0);
    EXPECT_EQ(parseLines({"Customer ID: -1"}).customerId, 0);
    EXPECT_EQ(parseLines({"S/N: 1-2x3"}).serialNumber, -123)
        << "digits in order, any minus negates";
    EXPECT_EQ(parseLines({"Product Name:ABCDEFGHIJKLMNOPQRSTUVW"}).productName,
              "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(parseLines({"Product Name: trailing "}).productName, "trailing ")
        << "the final character is never the separator";
    // A later line for the same field wins.
    EXPECT_EQ(parseLines({"S/N: 1", "S/N: 2"}).serialNumber, 2);
}

TEST(BlockParse, NumericOptions) {
    auto r =
        parseLines({"Tape Min Radius:   12.5", "MinSogForCogKph: -1.5", "TiltOpAmpGain: 1e300"});
    EXPECT_DOUBLE_EQ(r.tapeMinRadius, 12.5);
    EXPECT_FALSE(r.skipTapeMinRadius);
    EXPECT_DOUBLE_EQ(r.minSogForCogKph, 0.0) << "a value word not starting with a digit";
    EXPECT_FALSE(r.skipMinSogForCog);
    EXPECT_DOUBLE_EQ(r.tiltOpAmpGain, 1e300);
    EXPECT_FALSE(r.skipTiltOpAmpGain) << "TiltOpAmpGain is matched before Tilt";
    EXPECT_EQ(r.option(SwitchOption::Tilt), OptionState::Skip);
    EXPECT_DOUBLE_EQ(parseLines({"Tape Min Radius: 3.25xyz"}).tapeMinRadius, 3.25);
    EXPECT_DOUBLE_EQ(parseLines({"Tape Min Radius: 1e999"}).tapeMinRadius, 0.0);
    EXPECT_DOUBLE_EQ(parseLines({"Tape Min Radius: 12,5"}).tapeMinRadius, 12.0);
}

TEST(BlockParse, SwitchOptions) {
    for (const char* yes : {"Tilt: Y", "Tilt: yes", "Tilt: 1", "Tilt:yup"})
        EXPECT_EQ(parseLines({yes}).option(SwitchOption::Tilt), OptionState::Yes) << yes;
    for (const char* no : {"Tilt: maybe", "Tilt: 0", "Tilt:", "Tilt:                  no"})
        EXPECT_EQ(parseLines({no}).option(SwitchOption::Tilt), OptionState::No) << no;
    auto r = parseLines({"Use Meters Off DSP: yes", "DID_v2.0: no", "Adv Tape Display: y"});
    EXPECT_EQ(r.option(SwitchOption::UseMetersOffDsp), OptionState::Yes);
    EXPECT_EQ(r.option(SwitchOption::Did20), OptionState::No);
    EXPECT_EQ(r.option(SwitchOption::AdvTapeDisplay), OptionState::Yes);
    EXPECT_EQ(r.option(SwitchOption::AdvancedTape), OptionState::Skip);
}

TEST(BlockParse, ScaleNamesAndRows) {
    auto r = parseLines(
        {"Offset Scale 2 Name: FINE", "Offset Scale 4 Name:AB", "Mt Offset Scale 1:  100  200  300",
         "Ft Offset Scale 3: 5 -6 7 8 9 10 11 12 13", "Mt Offset Scale 2:70000 65535"});
    EXPECT_EQ(r.scaleNames[0], "   ") << "a name without a line keeps its three blanks";
    EXPECT_EQ(r.scaleNames[1], "FIN");
    EXPECT_EQ(r.scaleNames[3], "AB");
    EXPECT_EQ(r.metricScales[0], (ScaleRow{100, 200, 300, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r.englishScales[2], (ScaleRow{5, 6, 7, 8, 9, 10, 11, 12})) << "minus ignored";
    EXPECT_EQ(r.metricScales[1][0], 4464) << "low 16 bits";
    EXPECT_EQ(r.metricScales[1][1], 65535);
    // Values of 10000 and more touch their neighbour and read back as one number.
    EXPECT_EQ(parseLines({"Mt Offset Scale 1:1000020000    3"}).metricScales[0][0],
              static_cast<std::uint16_t>(1000020000ULL));
}

TEST(BlockParse, TiltCalibrationKeepsItsFieldWidths) {
    auto r = parseLines({"0GItest: 70000", "ZTHiTempC: -40", "ZTMidTempTiltAtCal: 40000",
                         "ZTLoTempQCal: -1", "HiTempISlope: -129", "LoTempQSlope: 127"});
    const auto& t = r.tiltCalibration;
    EXPECT_EQ(t.zeroGTestI, 4464);
    EXPECT_EQ(t.hiTempC, -40);
    EXPECT_EQ(t.midTempTiltAtCal, static_cast<std::int16_t>(40000 - 65536));
    EXPECT_EQ(t.loTempQCal, 65535);
    EXPECT_EQ(t.hiTempISlope, 127) << "-129 keeps its low 8 bits";
    EXPECT_EQ(t.loTempQSlope, 127);
}

TEST(BlockParse, LinesThatChangeNothing) {
    const std::string text =
        crlf({"S/N: 7", "Tilt: yes", kTitle, "# S/N: 8", "~~~~~~~~~~~~~", "Unknown Label: 9",
              "Veltrane Configuration Block Programmer: 5", kTitle, "< end >", "S/N: 9"});
    ConfigBlock record;
    record.tiltCalibration.hiTempC = 33;
    parseBlock(areaWith(text), record, 555);
    ConfigBlock expected;
    expected.resetBeforeParsing(555);
    expected.format = 1;
    expected.tiltCalibration.hiTempC = 33; // the parser never clears the tilt group
    EXPECT_EQ(record, expected);
}

TEST(BlockParse, WhereTheTextStartsAndStops) {
    // No title: defaults with format 1.
    ConfigBlock record;
    parseBlock(areaWith(crlf({"S/N: 5", "< end >"})), record);
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.serialNumber, 100);

    // An end marker before the title ends the parse at the defaults.
    parseBlock(areaWith(crlf({"< end >", kTitle, "VCB Format: 2", "S/N: 5", "< end >"})), record);
    EXPECT_EQ(record.serialNumber, 100);

    // "VCB Format: 1" with its lines at offset 0: they are looked for at offset 2048.
    parseBlock(areaWith(crlf({kTitle, "VCB Format: 1", "S/N: 5", "< end >"})), record);
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.serialNumber, 100);

    // A format 1 block at 2048 is read there.
    parseBlock(areaWith(crlf({kTitle, "S/N: 6", "< end >"}), kFormat1Offset), record);
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.serialNumber, 6);

    // A zero byte where a line begins ends the text; inside a line it only ends the line.
    std::string text = crlf({kTitle, "VCB Format: 2", "S/N: 7"}) + "Customer ID: 3";
    text += '\0';
    text += "Tilt: yes\r\n";
    text += '\0';
    text += "Product Name: X\r\n< end >\r\n";
    parseBlock(areaWith(text), record);
    EXPECT_EQ(record.serialNumber, 7);
    EXPECT_EQ(record.customerId, 3);
    EXPECT_EQ(record.option(SwitchOption::Tilt), OptionState::Yes);
    EXPECT_EQ(record.productName, "TQM.800");

    // Lines end at any control byte; LF-only and 0xFF runs read as line ends.
    parseBlock(areaWith(kTitle + "\nVCB Format: 2\n\xFF\xFF\xFFS/N: 8\x01"
                                 "Customer ID: 2\r\n< end >"),
               record);
    EXPECT_EQ(record.serialNumber, 8);
    EXPECT_EQ(record.customerId, 2);

    // A line of 300 characters keeps 255: its tail, with the value, is dropped.
    parseBlock(areaWith(crlf(
                   {kTitle, "VCB Format: 2", "S/N:" + std::string(251, ' ') + "12345", "< end >"})),
               record);
    EXPECT_EQ(record.serialNumber, 0) << "the kept 255 characters end in blanks";
}

TEST(BlockLocate, APresentBlockEndsInsideTheArea) {
    BlockArea area = areaWith(crlf({kTitle, "S/N: 1", "< end >"}), 100);
    auto loc = locateBlock(area);
    EXPECT_TRUE(loc.present);
    EXPECT_EQ(loc.title, 100u);
    EXPECT_EQ(loc.endMarker, 100u + 34 + 8);
    EXPECT_EQ(loc.length, 34u + 8 + 9);

    // The end marker in the last nine bytes: the length is below 4096 but the block ends past
    // the area, so it is not present (writing it would address flash beyond 0x1FFFF).
    const std::string block = crlf({kTitle}) + "< end >";
    for (std::size_t end = 4087; end <= 4089; ++end) {
        area = areaWith(block, end - 34);
        loc = locateBlock(area);
        ASSERT_TRUE(loc.titleFound && loc.endFound);
        EXPECT_EQ(loc.present, end + 9 <= 4096) << end;
        EXPECT_EQ(findValue(area, "S/N").has_value(), false);
    }
    area = areaWith(crlf({kTitle, "S/N: 4"}) + "< end >", 4096 - 34 - 8 - 9);
    EXPECT_TRUE(locateBlock(area).present);
    EXPECT_EQ(blockSerialNumberOf(area), 4);

    // Length below 4096: a title at 0 with its end marker at 4087 is exactly 4096 long.
    area = areaWith(kTitle);
    std::copy_n("< end >", 7, area.begin() + 4087);
    EXPECT_FALSE(locateBlock(area).present);
    std::copy_n("< end >", 7, area.begin() + 4086);
    EXPECT_TRUE(locateBlock(area).present);

    // The end marker must follow the title.
    area = areaWith("< end >\r\n" + kTitle);
    EXPECT_FALSE(locateBlock(area).present);
}

TEST(BlockFindValue, ReadsTheDigitsOfTheFirstLabelInsideTheBlock) {
    const std::string text = crlf(
        {"S/N: 1", kTitle, "VCB Format:   2x", "S/N:   -314159", "S/N: 2", "< end >", "S/N: 3"});
    const BlockArea area = areaWith(text);
    EXPECT_EQ(findValue(area, "VCB Format"), 2u);
    EXPECT_EQ(findValue(area, "S/N"), 314159u) << "no sign";
    EXPECT_EQ(blockFormatOf(area), 2);
    EXPECT_FALSE(findValue(area, "Customer ID").has_value());

    EXPECT_EQ(blockFormatOf(areaWith(crlf({kTitle, "VCB Format: 0", "< end >"}))), 1);
    EXPECT_EQ(blockFormatOf(areaWith(crlf({kTitle, "< end >"}))), 1);
    EXPECT_EQ(blockFormatOf(areaWith(crlf({kTitle, "VCB Format: 3", "< end >"}))), 3);
    EXPECT_EQ(blockSerialNumberOf(areaWith(crlf({kTitle, "< end >"}))), 0);
    // A label right before the end marker, with no room for itself, is not found.
    EXPECT_FALSE(findValue(areaWith(kTitle + "\r\nS/N< end >\r\n"), "S/N").has_value());
    EXPECT_EQ(findValue(areaWith(kTitle + "\r\nS/N:5 < end >\r\n"), "S/N"), 0u)
        << "the line runs up to the next CR, so its last word is \">\"";
}

} // namespace
} // namespace tessel
