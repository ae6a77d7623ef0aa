// The offline commands on block files, records and HEX files.
#include "CliRunner.h"

#include "block/BlockText.h"
#include "cli/Json.h"
#include "cli/RecordJson.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tessel::testing {
namespace {

const std::string kRecord = R"({"format": 2, "serialNumber": 314159, "customerId": 3,
  "productName": "KD-7\u00e9", "tapeMinRadius": 3.048, "skipTapeMinRadius": false,
  "minSogForCogKph": 0.5, "skipMinSogForCog": false, "tiltOpAmpGain": 3.125,
  "skipTiltOpAmpGain": true,
  "options": {"Advanced Tape": "Yes", "Tilt": "Yes", "Bypass BTTF": "No"},
  "scaleNames": ["FIN", "NRM", "CRS", "AUT"],
  "metricScales": [[10,20,40,60,80,100,120,140],[30,60,120,180,240,300,360,420],
                   [0,0,0,0,0,0,0,0],[5,10,20,40,100,200,400,500]],
  "englishScales": [[3,10,15,20,25,30,35,50],[0,0,0,0,0,0,0,0],[0,0,0,0,0,0,0,0],
                    [0,0,0,0,0,0,0,0]],
  "tilt": {"zeroGTestI": 512, "zeroGTestQ": 513, "oneGTestI": 700, "oneGTestQ": 701,
           "hiTempC": 60, "midTempC": 20, "loTempC": -20, "hiTempTiltAtCal": -10,
           "midTempTiltAtCal": 0, "loTempTiltAtCal": 12, "hiTempICal": 1, "hiTempQCal": 2,
           "midTempICal": 3, "midTempQCal": 4, "loTempICal": 5, "loTempQCal": 6,
           "hiTempISlope": -3, "loTempISlope": 4, "hiTempQSlope": -128, "loTempQSlope": 127}})";

TEST(CliOffline, RecordRendersShowsAndComesBackTheSame) {
    CliRunner cli;
    writeFile(cli.path("rec.json"), kRecord);
    ASSERT_EQ(cli.run({"vcb", "render", cli.path("rec.json"), "--raw", "--out", cli.path("area.bin")}), 0)
        << cli.err;
    const std::string area = readFile(cli.path("area.bin"));
    ASSERT_EQ(area.size(), 4096u);
    EXPECT_EQ(area.substr(0, 34), "< Veltrane Configuration Block >\r\n");
    EXPECT_NE(area.find("Product Name:       KD-7\xE9\r\n"), std::string::npos)
        << "U+00E9 is the block byte 0xE9";

    ASSERT_EQ(cli.run({"vcb", "show", cli.path("area.bin"), "--json"}), 0) << cli.err;
    const ConfigBlock shown = recordFromJson(parseJson(cli.out));
    const ConfigBlock original = recordFromJson(parseJson(kRecord));
    EXPECT_EQ(shown, original);
    EXPECT_EQ(writeJson(recordToJson(shown)), writeJson(recordToJson(original)));

    ASSERT_EQ(cli.run({"vcb", "show", cli.path("area.bin")}), 0);
    EXPECT_NE(cli.out.find("Customer ID: 3 (Menvo)\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("MinSogForCogKph: 0.5\n"), std::string::npos);
    EXPECT_NE(cli.out.find("TiltOpAmpGain: 3.125 (skipped)\n"), std::string::npos);
    EXPECT_NE(cli.out.find("Mt Offset Scale 1: 10 20 40 60 80 100 120 140\n"), std::string::npos);
}

TEST(CliOffline, RenderGivesTheBlockTextOrWithRawTheWholeArea) {
    CliRunner cli;
    writeFile(cli.path("rec.json"), R"({"format": 1, "serialNumber": 77})");
    ASSERT_EQ(cli.run({"vcb", "render", cli.path("rec.json"), "--raw"}), 0);
    ASSERT_EQ(cli.out.size(), 4096u);
    EXPECT_EQ(cli.out.substr(0, 2048), std::string(2048, '\xFF')) << "format 1 sits at 2048";
    EXPECT_EQ(cli.out.substr(2048, 34), "< Veltrane Configuration Block >\r\n");

    // The text alone is a block file that goes back to the same place.
    ASSERT_EQ(cli.run({"vcb", "render", cli.path("rec.json"), "--out", cli.path("f1.vcb")}), 0);
    EXPECT_EQ(readFile(cli.path("f1.vcb")).rfind("< Veltrane Configuration Block >\r\nS/N:", 0), 0u);
    ASSERT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb"), "--json"}), 0) << cli.err;
    EXPECT_EQ(parseJson(cli.out).at("serialNumber"), 77);
}

TEST(CliOffline, BlockTextFilesArePlacedByTheirFormat) {
    CliRunner cli;
    writeFile(cli.path("f1.txt"), "< Veltrane Configuration Block >\r\nS/N: 77\r\n< end >\r\n");
    ASSERT_EQ(cli.run({"vcb", "show", cli.path("f1.txt")}), 0) << cli.err;
    EXPECT_NE(cli.out.find("VCB Format: 1\nS/N: 77\n"), std::string::npos) << cli.out;

    ASSERT_EQ(cli.run({"vcb", "convert", cli.path("f1.txt"), "--to", "2", "--raw", "--out",
                       cli.path("f2.bin")}),
              0);
    const std::string f2 = readFile(cli.path("f2.bin"));
    EXPECT_EQ(f2.substr(0, 67), "< Veltrane Configuration Block >\r\nVCB Format: 2\r\nS/N: 77\r\n"
                                "< end >\r\n");
    EXPECT_EQ(f2.size(), 4096u);
    ASSERT_EQ(cli.run({"vcb", "show", cli.path("f2.bin")}), 0);
    EXPECT_NE(cli.out.find("VCB Format: 2\nS/N: 77\n"), std::string::npos);
}

TEST(CliOffline, MalformedInputsGiveExitCodesAndMessages) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("nothing.txt")}), result::InputFileOpenError)
        << "a file that cannot be read, whatever its kind";
    EXPECT_NE(cli.err.find("cannot read " + cli.path("nothing.txt")), std::string::npos);

    writeFile(cli.path("big.bin"), std::string(4097, 'x'));
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("big.bin")}), 65);
    EXPECT_NE(cli.err.find("at most 4096 bytes"), std::string::npos);

    writeFile(cli.path("noblock.txt"), "just text\r\n");
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("noblock.txt")}), 65);

    for (const auto& [json, key] : std::vector<std::pair<std::string, std::string>>{
             {R"({"format": 2, "colour": 1})", "colour"},
             {R"({"serialNumber": "12"})", "serialNumber"},
             {R"({"options": {"Tilt": "Maybe"}})", "options.Tilt"},
             {R"({"metricScales": [[1,2,3]]})", "metricScales"},
             {R"({"tilt": {"hiTempISlope": 300}})", "tilt.hiTempISlope"},
             {R"({"productName": "A~B"})", "productName"},
             {R"({"productName": "LB 3000"})", "productName"},
             {R"({"scaleNames": ["   ", "A:B", "   ", "   "]})", "scaleNames[1]"},
             {R"({"productName": "\u0100"})", "productName"},
             {R"({"format": 2,)", "JSON error"},
         }) {
        writeFile(cli.path("bad.json"), json);
        EXPECT_EQ(cli.run({"vcb", "render", cli.path("bad.json")}), 65) << json;
        EXPECT_NE(cli.err.find(key), std::string::npos) << cli.err;
    }

    writeFile(cli.path("rec.json"), "{}");
    writeFile(cli.path("plain"), "x");
    EXPECT_EQ(cli.run({"vcb", "render", cli.path("rec.json"), "--out", cli.path("plain") + "/a"}),
              74);
    EXPECT_EQ(readFile(cli.path("plain")), "x");

    EXPECT_EQ(cli.run({"vcb", "explode"}), 64);
    EXPECT_NE(cli.err.find("unknown command"), std::string::npos);
}

TEST(CliOffline, HexInfoAndImage) {
    CliRunner cli;
    writeFile(cli.path("fw.hex"), sampleHex(2));
    ASSERT_EQ(cli.run({"hex", "info", cli.path("fw.hex"), "--json"}), 0);
    EXPECT_EQ(parseJson(cli.out).dump(),
              R"({"result":0,"length":1755,"product":"KD","version":"v3.4",)"
              R"("requiredFormat":2,"date":"2026-12-01"})");
    const Json info = parseJson(cli.out);
    EXPECT_EQ(info.at("length"), 1755);
    EXPECT_EQ(info.at("product"), "KD");
    EXPECT_EQ(info.at("requiredFormat"), 2);
    EXPECT_EQ(info.at("date"), "2026-12-01");

    ASSERT_EQ(cli.run({"hex", "image", cli.path("fw.hex"), "--out", cli.path("fw.bin")}), 0);
    const std::string image = readFile(cli.path("fw.bin"));
    ASSERT_EQ(image.size(), 0x1F000u);
    EXPECT_EQ(static_cast<unsigned char>(image[1]), 10u);
    EXPECT_EQ(static_cast<unsigned char>(image[1500]), 0xFFu);

    // A checksum error in the last record: what was read is still printed, and the exit is 3.
    std::string bad = sampleHex(2);
    const auto last = bad.rfind(":00000001FF");
    bad[last - 3] = bad[last - 3] == '0' ? '1' : '0';
    writeFile(cli.path("bad.hex"), bad);
    EXPECT_EQ(cli.run({"hex", "info", cli.path("bad.hex")}), 3);
    EXPECT_NE(cli.out.find("version: v3.4\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.err.find("HEX File Format Error"), std::string::npos);
    EXPECT_EQ(cli.run({"hex", "image", cli.path("bad.hex"), "--out", cli.path("bad.bin")}), 3);
    EXPECT_FALSE(std::filesystem::exists(cli.path("bad.bin"))) << "nothing without --partial";
    EXPECT_EQ(cli.run({"hex", "image", cli.path("bad.hex"), "--partial", "--out",
                       cli.path("bad.bin")}),
              3);
    EXPECT_EQ(readFile(cli.path("bad.bin")).size(), 0x1F000u);
    EXPECT_EQ(cli.run({"hex", "info", cli.path("missing.hex")}), 14);

    // Cut after a whole record: no end-of-file record. What was read is shown, with result 3.
    const std::string whole = sampleHex(2);
    writeFile(cli.path("cut.hex"), whole.substr(0, whole.rfind(":00000001FF")));
    EXPECT_EQ(cli.run({"hex", "info", cli.path("cut.hex")}), 3);
    EXPECT_NE(cli.out.find("result: 3 (HEX File Format Error)\nlength: 1755\n"), std::string::npos)
        << cli.out;
    EXPECT_NE(cli.err.find("cut.hex: HEX File Format Error: the file has no end-of-file record: "
                           "it may be cut short"),
              std::string::npos)
        << cli.err;
    EXPECT_EQ(cli.run({"hex", "image", cli.path("cut.hex"), "--partial", "--out",
                       cli.path("cut.bin")}),
              3);
    EXPECT_EQ(readFile(cli.path("cut.bin")), image);
}

} // namespace
} // namespace tessel::testing
