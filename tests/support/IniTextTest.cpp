#include "support/IniText.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

const char* const kHandEdited =
    "; Tessel settings, bench 3\r\n"
    "\r\n"
    "[Configuration]\r\n"
    "  com port   =   2  \r\n"
    "Serial Number=\"  42 \"\r\n"
    "Serial Number=7\r\n"
    "this line is not an entry\r\n"
    "; trailing comment\r\n"
    "\r\n"
    "[Bench]\r\n"
    "Owner=Kim ; not a comment\r\n"
    "[configuration]\r\n"
    "Type Control=1\r\n";

TEST(IniText, ReadsEntriesAsPeopleWriteThem) {
    const IniText ini(kHandEdited);
    EXPECT_EQ(ini.value("CONFIGURATION", "COM PORT"), "2") << "names ignore case; blanks trimmed";
    EXPECT_EQ(ini.value("Configuration", "Serial Number"), "  42 ") << "one pair of quotes removed; first duplicate wins";
    EXPECT_EQ(ini.value("Bench", "Owner"), "Kim ; not a comment") << "no inline comments";
    EXPECT_EQ(ini.value("Configuration", "Type Control"), std::nullopt) << "the first section of a name is the one read";
    EXPECT_EQ(ini.value("Configuration", "this line is not an entry"), std::nullopt);
    EXPECT_EQ(ini.value("Missing", "COM Port"), std::nullopt);
    EXPECT_EQ(IniText("Key=1\n[A]\nKey=2").value("A", "Key"), "2") << "lines before any section are no entries";
    EXPECT_EQ(IniText("[A]\n; Key=1\n").value("A", "; Key"), std::nullopt);
    EXPECT_EQ(IniText("[A]\nKey='x'\nOther=\"y'\n").value("A", "Key"), "x");
    EXPECT_EQ(IniText("[A]\nOther=\"y'\n").value("A", "Other"), "\"y'");
}

TEST(IniText, AnUnchangedFileComesBackByteForByte) {
    for (const char* bytes : {kHandEdited, "[A]\nx=1", "\n\n[A]\r\nmixed=1\nends\r\n", ""})
        EXPECT_EQ(IniText(bytes).bytes(), bytes);
}

TEST(IniText, SettingAnEntryChangesOnlyItsValue) {
    IniText ini(kHandEdited);
    ini.set("configuration", "COM Port", "4");
    std::string expected(kHandEdited);
    expected.replace(expected.find("   2  "), 6, "   4");
    EXPECT_EQ(ini.bytes(), expected);
}

TEST(IniText, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEndOfTheFile) {
    IniText ini(kHandEdited);
    ini.set("Configuration", "HexPath", "/home/kim/fw/");
    ini.set("Units", "Speed.Units", "2");
    ini.set("Units", "Time.Units", "1");
    std::string expected(kHandEdited);
    expected.insert(expected.find("; trailing comment"), "HexPath=/home/kim/fw/\r\n");
    expected += "\r\n[Units]\r\nSpeed.Units=2\r\nTime.Units=1\r\n";
    EXPECT_EQ(ini.bytes(), expected) << "new lines take the file's CR LF";
}

TEST(IniText, NewLinesFollowTheFilesLineEndsAndFinishAnUnendedLastLine) {
    IniText lf("[A]\nx=1");
    lf.set("A", "y", "2");
    EXPECT_EQ(lf.bytes(), "[A]\nx=1\ny=2\n");

    IniText empty("");
    empty.set("A", "x", "1");
    empty.set("B", "y", "2");
    EXPECT_EQ(empty.bytes(), "[A]\nx=1\n\n[B]\ny=2\n");

    IniText headerOnly("[A]");
    headerOnly.set("A", "x", "1");
    EXPECT_EQ(headerOnly.bytes(), "[A]\nx=1\n");

    // A CR alone ends a line too, as the platform's profile functions read it.
    IniText cr("[Ports]\rCOM1=nodev1\rCOM2=nodev2\r");
    EXPECT_EQ(cr.value("Ports", "COM1"), "nodev1");
    EXPECT_EQ(cr.value("Ports", "COM2"), "nodev2");
    cr.set("Ports", "COM3", "nodev3");
    EXPECT_EQ(cr.bytes(), "[Ports]\rCOM1=nodev1\rCOM2=nodev2\rCOM3=nodev3\r");
}

TEST(IniText, WrittenTextsReadBackTheSameAndCannotAddLines) {
    IniText ini;
    ini.set("A", "padded", "  two blanks ");
    ini.set("A", "quoted", "\"q\"");
    ini.set("A", "multi", "one\r\n[Evil]\nx=1");
    EXPECT_EQ(ini.value("A", "padded"), "  two blanks ");
    EXPECT_EQ(ini.value("A", "quoted"), "\"q\"");
    EXPECT_EQ(ini.value("A", "multi"), "one  [Evil] x=1");
    EXPECT_EQ(ini.value("Evil", "x"), std::nullopt);
}

// Decimal numbers are read as everywhere (StrictNumber, tested with the block's numbers under a
// decimal-comma locale); here what the INI file adds: blanks around, and hexadecimal.
TEST(IniValues, IntegersAreTheWholeTextInDecimalOrHexadecimal) {
    EXPECT_EQ(parseIniInteger(" 52817364\t"), 52817364);
    EXPECT_EQ(parseIniInteger("0x1F"), 31);
    EXPECT_EQ(parseIniInteger("0X1f"), 31);
    EXPECT_EQ(parseIniInteger("$10"), 16);
    EXPECT_EQ(parseIniInteger("0xFFFFFFFF"), -1) << "hexadecimal is the 32-bit pattern";
    for (const char* bad : {"", "3 ; bench", "0x", "$", "0x1FFFFFFFF", "0x-1", "2147483648"})
        EXPECT_EQ(parseIniInteger(bad), std::nullopt) << bad;
}

TEST(IniValues, RealsAreTheWholeTextAndKeepFifteenDigits) {
    EXPECT_EQ(parseIniReal("\t-2.5e3 "), -2500.0);
    for (const char* bad : {"0,5", "5 ft"}) EXPECT_EQ(parseIniReal(bad), std::nullopt) << bad;
    EXPECT_EQ(formatIniReal(5280.0), "5280");
    EXPECT_EQ(formatIniReal(static_cast<double>(0.1f)), "0.100000001490116");
    EXPECT_EQ(formatIniReal(-0.25), "-0.25");
}

} // namespace
} // namespace tessel
