// Every light bar command end to end on the virtual light bar kept in a state file.
#include "CliRunner.h"

#include "block/BlockText.h"
#include "cli/Json.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

const std::string kBlockText =
    "< Veltrane Configuration Block >\r\n"
    "VCB Format:             2\r\n"
    "S/N:               314159\r\n"
    "Customer ID:            1\r\n"
    "Product Name:        KD-7\r\n"
    "     --- Options ---\r\n"
    "Scales Display:       yes\r\n"
    "Tilt:                  no\r\n"
    " ------------------------\r\n"
    "< end >\r\n";

// A light bar that has the default block (serial number 1) after init-vcb.
void initialise(CliRunner& cli) { ASSERT_EQ(cli.run({"--yes", "init-vcb"}), 0) << cli.out << cli.err; }

TEST(CliLightBar, BlankLightBarReadsAsNoBlockThenInitAndReadShowTheDefaultBlock) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"read-vcb"}), 5);
    EXPECT_NE(cli.err.find("Execute 'Init Default VCB'"), std::string::npos);

    initialise(cli);
    // Standard output is the block text alone; --out puts the same bytes into a file, which
    // verify-vcb takes as its source.
    EXPECT_EQ(cli.run({"read-vcb"}), 0);
    EXPECT_EQ(cli.out.rfind("< Veltrane Configuration Block >\r\nVCB Format:             2\r\n"
                            "S/N:                    1\r\n",
                            0),
              0u)
        << cli.out;
    EXPECT_EQ(cli.out.substr(cli.out.size() - 9), "< end >\r\n");
    EXPECT_NE(cli.err.find(" Finished Reading Light Bar VCB"), std::string::npos);
    const std::string text = cli.out;
    EXPECT_EQ(cli.run({"read-vcb", "--out", cli.path("lb.vcb")}), 0);
    EXPECT_EQ(cli.out, "");
    EXPECT_EQ(readFile(cli.path("lb.vcb")), text);
    EXPECT_EQ(cli.run({"verify-vcb", cli.path("lb.vcb")}), 0) << cli.err;

    EXPECT_EQ(cli.run({"read-vcb", "--raw", "--out", cli.path("area.bin")}), 0);
    const std::string area = readFile(cli.path("area.bin"));
    ASSERT_EQ(area.size(), 4096u);
    EXPECT_EQ(area.substr(0, text.size()), text);

    EXPECT_EQ(cli.run({"read-vcb", "--json", "--out", cli.path("rec.json")}), 0);
    EXPECT_EQ(parseJson(readFile(cli.path("rec.json"))).at("serialNumber"), 1);
}

TEST(CliLightBar, AComPortMappedToAnAdapterRunsThroughTheEmulatedFt232r) {
    CliRunner cli;
    initialise(cli);
    ASSERT_EQ(cli.run({"read-vcb"}), 0);
    const std::string text = cli.out, log = cli.err;

    writeFile(cli.ini, "[Ports]\nCOM2=ftdi:TSIM0001\n");
    ASSERT_EQ(cli.run({"--port", "2", "read-vcb"}), 0) << cli.err;
    EXPECT_EQ(cli.out, text);
    // The same log, with the rate the adapter's SCK ran at after the title.
    const std::size_t title = log.find('\n') + 1;
    EXPECT_EQ(cli.err,
              log.substr(0, title) + " FT232R adapter, SCK at 100 kHz\n" + log.substr(title));
    ASSERT_EQ(cli.run({"--port", "2", "ports"}), 0);
    EXPECT_NE(cli.out.find("COM2\tftdi:TSIM0001\tfree\tselected\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("FTDI\tftdi:TSIM0001\t"), std::string::npos) << cli.out;

    EXPECT_EQ(cli.run({"--device", "ftdi:A10K1234", "read-vcb"}), 8);
    EXPECT_NE(cli.err.find(" Cannot open ftdi:A10K1234: no such FTDI adapter is plugged in"),
              std::string::npos);
    // The job history keeps the rate an adapter answered at, and why a port could not be used.
    ASSERT_EQ(cli.run({"--simulate=" + cli.state, "history", "--json"}, false), 0);
    const Json records = parseJson(cli.out);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[records.size() - 2]["sckHz"], 100000);
    EXPECT_EQ(records.back()["linkFailure"],
              "Cannot open ftdi:A10K1234: no such FTDI adapter is plugged in");
    writeFile(cli.ini, "[Ports]\nCOM2=ftdi:TSIM0001\n[FTDI]\nMISO=TXD\n");
    EXPECT_EQ(cli.run({"--port", "2", "read-vcb"}), 8);
    EXPECT_NE(cli.err.find(" Cannot open ftdi:TSIM0001: [FTDI] MISO=TXD: MISO must be an input"),
              std::string::npos)
        << cli.err;
}

TEST(CliLightBar, NothingIsErasedUnattendedWithoutYes) {
    CliRunner cli;
    initialise(cli);
    const std::string before = readFile(cli.state);
    EXPECT_EQ(cli.run({"--no", "convert-vcb", "1"}), 20);
    EXPECT_EQ(readFile(cli.state), before) << "--no at the erase leaves the chip as it was";
    EXPECT_EQ(cli.run({"convert-vcb", "1"}), 20) << "standard input is no terminal: No";
    EXPECT_EQ(readFile(cli.state), before);
    EXPECT_EQ(cli.run({"--yes", "convert-vcb", "1"}), 0) << cli.err;
    EXPECT_EQ(cli.run({"--quiet", "read-vcb"}), 0);
    EXPECT_EQ(cli.out.find("VCB Format"), std::string::npos) << "a format 1 block has no line";
    EXPECT_EQ(cli.run({"--yes", "convert-vcb", "1"}), 27);
    EXPECT_NE(cli.err.find(" VCB is already Format 1"), std::string::npos);
}

// The backups saved before an erase put the block (withdrawn lines and all) and the data memory
// back in one restore; a backup of another serial number needs --force.
TEST(CliLightBar, ARestorePutsTheBlockAndTheEepromBack) {
    CliRunner cli;
    initialise(cli);
    writeFile(cli.path("block.txt"), kBlockText);
    ASSERT_EQ(cli.run({"--yes", "program-vcb", cli.path("block.txt")}), 0) << cli.out;
    ASSERT_EQ(cli.run({"--yes", "convert-vcb", "1"}), 0) << cli.out;
    const auto saved = cli.err.find(" Light Bar VCB area saved to ");
    ASSERT_NE(saved, std::string::npos) << cli.err;
    const auto from = saved + std::string(" Light Bar VCB area saved to ").size();
    const std::string backup = cli.err.substr(from, cli.err.find('\n', from) - from);
    const std::string eeprom = backup.substr(0, backup.size() - 7) + "eeprom.bin";
    const std::filesystem::path backupPath(backup);
    EXPECT_EQ(backupPath.parent_path(), std::filesystem::path(cli.backups)) << backup;
    EXPECT_EQ(backupPath.filename().string().rfind("SN314159-", 0), 0u) << backup;
    EXPECT_NE(readFile(backup).find('~'), std::string::npos) << "the in-place update withdrew lines";

    EXPECT_EQ(cli.run({"--yes", "restore", backup, cli.path("block.txt")}), 65);
    EXPECT_NE(cli.err.find("an EEPROM backup holds 4096 bytes"), std::string::npos) << cli.err;
    EXPECT_EQ(cli.run({"--yes", "restore", backup, cli.path("none-eeprom.bin")}), 14)
        << "a backup that cannot be read, as any input file";
    ASSERT_EQ(cli.run({"--yes", "restore", backup, eeprom}), 0) << cli.err;
    EXPECT_NE(cli.err.find(" Light Bar EEPROM is Restored"), std::string::npos) << cli.err;
    EXPECT_EQ(cli.run({"verify-vcb", cli.path("block.txt")}), 0) << cli.err;

    // Another light bar's backup is refused, and nothing is written, unless forced.
    std::string other = kBlockText;
    other.replace(other.find("314159"), 6, "314160");
    writeFile(cli.path("other.txt"), other);
    const std::string state = readFile(cli.state);
    EXPECT_EQ(cli.run({"--yes", "restore", cli.path("other.txt")}), 22);
    EXPECT_NE(cli.err.find("give --force to restore it"), std::string::npos) << cli.err;
    EXPECT_EQ(readFile(cli.state), state);
    EXPECT_EQ(cli.run({"--yes", "--force", "restore", cli.path("other.txt")}), 0) << cli.err;
    EXPECT_EQ(cli.run({"verify-vcb", cli.path("other.txt")}), 0) << cli.err;
}

TEST(CliLightBar, ProgramsABlockFileInPlaceAndVerifiesIt) {
    CliRunner cli;
    initialise(cli);
    writeFile(cli.path("block.txt"), kBlockText);
    // The serial number changes from 1: --yes answers the question; no erase is needed.
    EXPECT_EQ(cli.run({"--yes", "program-vcb", cli.path("block.txt")}), 0) << cli.out << cli.err;
    EXPECT_NE(cli.err.find(" Light Bar Erasure not required"), std::string::npos) << cli.err;
    EXPECT_NE(cli.err.find("   from 1 to 314159."), std::string::npos);
    EXPECT_EQ(cli.run({"verify-vcb", cli.path("block.txt")}), 0) << cli.err;

    // Another product name on the bench: the verify finds the difference.
    std::string other = kBlockText;
    other.replace(other.find("KD-7"), 4, "KD-8");
    writeFile(cli.path("other.txt"), other);
    EXPECT_EQ(cli.run({"verify-vcb", cli.path("other.txt")}), 28);
    EXPECT_NE(cli.err.find("<VCB> Product Name:        KD-8"), std::string::npos) << cli.err;
    EXPECT_NE(cli.err.find("< LB> Product Name:        KD-7"), std::string::npos);
}

TEST(CliLightBar, SerialNumberChangeRefusedWithNo) {
    CliRunner cli;
    initialise(cli);
    writeFile(cli.path("block.txt"), kBlockText);
    const std::string before = readFile(cli.state);
    EXPECT_EQ(cli.run({"--no", "program-vcb", cli.path("block.txt")}), 22);
    EXPECT_NE(cli.err.find(" Serial Number change is aborted"), std::string::npos);
    EXPECT_EQ(readFile(cli.state), before);
}

TEST(CliLightBar, JsonRecordIsRenderedAsTheWindowsWouldAndReadBack) {
    CliRunner cli;
    initialise(cli);
    writeFile(cli.path("rec.json"),
              R"({"format": 2, "serialNumber": 1, "productName": "KD-9", "tapeMinRadius": 12.5,
                  "skipTapeMinRadius": false, "options": {"Tilt": "Yes"},
                  "scaleNames": ["FIN", "NRM", "", ""],
                  "metricScales": [[10,20,40,60,80,100,120,140],[0,0,0,0,0,0,0,0],
                                   [1,2,3,0,5,6,7,8],[0,0,0,0,0,0,0,0]]})");
    EXPECT_EQ(cli.run({"--yes", "program-vcb", "--json", cli.path("rec.json")}), 0) << cli.err;
    EXPECT_EQ(cli.run({"read-vcb"}), 0);
    EXPECT_NE(cli.out.find("Tape Min Radius:   12.500\r\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("Mt Offset Scale 1:   10   20   40   60   80  100  120  140\r\n"),
              std::string::npos);
    EXPECT_EQ(cli.out.find("Mt Offset Scale 3"), std::string::npos)
        << "a row holding a zero is dropped, as the scales window drops it";
}

TEST(CliLightBar, FirmwareIsProgrammedAndVerifiedKeepingTheBlock) {
    CliRunner cli;
    initialise(cli);
    writeFile(cli.path("fw.hex"), sampleHex(2));
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("fw.hex")}), 0) << cli.out << cli.err;
    EXPECT_NE(cli.err.find(" Firmware Code is v3.4, length is 1755 bytes"), std::string::npos)
        << cli.err;
    EXPECT_EQ(cli.run({"verify-code", cli.path("fw.hex")}), 0) << cli.err;
    EXPECT_NE(cli.err.find(" Light Bar Firmware Code Verified Ok"), std::string::npos);
    EXPECT_EQ(cli.run({"read-vcb", "--json"}), 0) << "the block survived the erase";

    writeFile(cli.path("fw1.hex"), sampleHex(1));
    const std::string before = readFile(cli.state);
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("fw1.hex")}), 29);
    EXPECT_NE(cli.err.find(" ** Execute 'Convert VCB to Format 1' **"), std::string::npos);
    EXPECT_EQ(readFile(cli.state), before);
    EXPECT_EQ(cli.run({"verify-code", cli.path("fw1.hex")}), 19);
}

TEST(CliLightBar, UnreadableHexFilesStartNoJob) {
    CliRunner cli;
    initialise(cli);
    const std::string before = readFile(cli.state);
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("missing.hex")}), 14);
    EXPECT_NE(cli.err.find("missing.hex"), std::string::npos);
    writeFile(cli.path("bad.hex"), ":10000000ZZ\r\n");
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("bad.hex")}), 3);
    EXPECT_NE(cli.err.find("HEX File Format Error"), std::string::npos);
    writeFile(cli.path("empty.hex"), ":00000001FF\r\n");
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("empty.hex")}), 3);
    EXPECT_EQ(cli.err.find("---"), std::string::npos) << "no job started";
    // Cut after a whole record, half a firmware would read cleanly: the end record is required.
    // A record cut in the middle is a bad record, as before.
    const std::string whole = sampleHex(2);
    writeFile(cli.path("cut.hex"), whole.substr(0, whole.rfind(":10")));
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("cut.hex")}), 3);
    EXPECT_NE(cli.err.find("cut.hex: HEX File Format Error: the file has no end-of-file record"),
              std::string::npos)
        << cli.err;
    writeFile(cli.path("half.hex"), whole.substr(0, whole.rfind(":10") + 20));
    EXPECT_EQ(cli.run({"--yes", "program-code", cli.path("half.hex")}), 3);
    EXPECT_EQ(cli.err, "tessel: " + cli.path("half.hex") + ": HEX File Format Error\n");
    EXPECT_EQ(readFile(cli.state), before);
}

TEST(CliLightBar, DataMemoryAsHexDumpOrFile) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"read-eeprom", "--count", "20"}), 0);
    EXPECT_NE(cli.out.find("0000: ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff  |................|"),
              std::string::npos)
        << cli.out;
    EXPECT_NE(cli.out.find("0010: ff ff ff ff"), std::string::npos);
    EXPECT_EQ(cli.run({"read-eeprom", "--raw", "--out", cli.path("ee.bin")}), 0);
    EXPECT_EQ(readFile(cli.path("ee.bin")), std::string(4096, '\xFF'));
    EXPECT_EQ(cli.run({"read-eeprom", "--count", "4097"}), 64);
    EXPECT_NE(cli.err.find("from 1 to 4096"), std::string::npos) << cli.err;
}

TEST(CliLightBar, MissingPortAndUnwritableOutputsAreReported) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"read-vcb"}, false), 1);
    EXPECT_NE(cli.err.find("no COM port selected"), std::string::npos);

    initialise(cli);
    writeFile(cli.path("file"), "x");
    EXPECT_EQ(cli.run({"read-vcb", "--out", cli.path("file") + "/area.bin"}), 74);

    writeFile(cli.path("broken.state"), "not a light bar");
    EXPECT_EQ(cli.run({"--simulate=" + cli.path("broken.state"), "read-vcb"}), 65);
    EXPECT_EQ(readFile(cli.path("broken.state")), "not a light bar");

    // A settings file that is there but cannot be read is no file of defaults.
    std::filesystem::create_directory(cli.path("folder.INI"));
    for (const std::string command : {"read-vcb", "ports"}) {
        EXPECT_EQ(cli.run({"--ini", cli.path("folder.INI"), command}, false), 78) << command;
        EXPECT_EQ(cli.err, "tessel: cannot read the settings file " + cli.path("folder.INI") +
                               ": it is a folder (give a readable file with --ini, or none to "
                               "start from the defaults)\n");
        EXPECT_EQ(cli.out, "");
    }
}

TEST(CliLightBar, ServicesStartAndTerminateAroundTheJob) {
    CliRunner cli;
    writeFile(cli.ini, "[ProgramServices]\nLogMessages=1\n");
    EXPECT_EQ(cli.run({"read-vcb"}), 5);
    EXPECT_EQ(readFile(cli.path("tessel.LOG")), "Tessel   Version: 3.6\nProgram Terminate\n");

    writeFile(cli.ini, "[Configuration]\nIniFileIsReadOnly=1\n[ProgramServices]\nLogMessages=1\n");
    const std::string ini = readFile(cli.ini);
    EXPECT_EQ(cli.run({"read-vcb"}), 5);
    EXPECT_EQ(readFile(cli.ini), ini);
    EXPECT_EQ(readFile(cli.path("tessel.LOG")), "Tessel   Version: 3.6\n");
}

} // namespace
} // namespace tessel::testing
