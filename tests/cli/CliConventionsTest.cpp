// The command line's conventions that hold on every platform: questions under --keep-firmware,
// usage mistakes explained.
#include "CliRunner.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {


const std::string kFormat1Block =
    "< Veltrane Configuration Block >\r\nS/N: 5\r\nProduct Name: KD-1\r\n< end >\r\n";

TEST(CliErase, KeepFirmwareRefusesEveryEraseWhileOtherQuestionsFollowYes) {
    CliRunner cli;
    ASSERT_EQ(cli.run({"--yes", "init-vcb"}), 0);
    EXPECT_NE(cli.err.find("tessel: the light bar's firmware was erased: program it with tessel "
                           "program-code FILE\n"),
              std::string::npos)
        << cli.err;
    // A format 1 block into a format 2 light bar needs the erase; its serial number differs.
    writeFile(cli.path("f1.vcb"), kFormat1Block);
    const std::string before = readFile(cli.state);

    EXPECT_EQ(cli.run({"--keep-firmware", "--yes", "program-vcb", cli.path("f1.vcb")}), 20);
    EXPECT_EQ(readFile(cli.state), before);
    EXPECT_NE(cli.err.find("   from 1 to 5."), std::string::npos) << cli.err;
    EXPECT_EQ(cli.err.find("Serial Number change is aborted"), std::string::npos)
        << "--yes answered the serial number question";
    EXPECT_NE(cli.err.find("tessel: nothing was erased"), std::string::npos);
    EXPECT_EQ(cli.err.find("firmware was erased"), std::string::npos);

    // The serial number question comes before the erase: its refusal decides, nothing is erased.
    EXPECT_EQ(cli.run({"--no", "program-vcb", cli.path("f1.vcb")}), 22) << "the first refusal";
    EXPECT_EQ(readFile(cli.state), before);
    EXPECT_NE(cli.err.find("tessel: the serial number was not changed\n"), std::string::npos)
        << cli.err;
    EXPECT_EQ(cli.err.find("Click OK to Continue"), std::string::npos) << "no erase was asked";

    EXPECT_EQ(cli.run({"--yes", "program-vcb", cli.path("f1.vcb")}), 0) << cli.err;
    EXPECT_NE(cli.err.find("firmware was erased: program it"), std::string::npos);

    // The hints name the program as it was started.
    CliRunner blank;
    blank.programName = "Tessel.com";
    EXPECT_EQ(blank.run({"--quiet", "read-vcb"}), 5);
    EXPECT_NE(blank.err.find(" **  Execute 'Init Default VCB'  **\n"), std::string::npos);
    const std::string hint = "**\ntessel: on the command line: Tessel.com init-vcb\n";
    EXPECT_EQ(blank.err.substr(blank.err.size() - hint.size()), hint) << "after the box";
}

TEST(CliUsage, UnusedOptionsAreRefusedAndMistakesExplained) {
    CliRunner cli;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"vcb", "show", "f", "--raw"},
             {"hex", "info", "f", "--raw"},
             {"hex", "image", "f", "--json"},
             {"vcb", "render", "r", "--to", "1"},
             {"vcb", "show", "f", "--yes"},
             {"init-vcb", "--json"},
             {"init-vcb", "--out", "x"},
             {"read-eeprom", "--json"},
             {"read-vcb", "--count", "3"},
             {"program-code", "f.hex", "--partial"},
             {"ports", "--yes"},
         }) {
        EXPECT_EQ(cli.run(args), 64) << args[0] << " " << args[1];
        EXPECT_NE(cli.err.find(" does not take --"), std::string::npos) << cli.err;
    }

    EXPECT_EQ(cli.run({"raed-vcb"}), 64);
    EXPECT_NE(cli.err.find("unknown command 'raed-vcb'; did you mean 'read-vcb'?\n"),
              std::string::npos) << cli.err;
    EXPECT_EQ(cli.run({"--simulate", "bench.state", "read-vcb"}, false), 64);
    EXPECT_NE(cli.err.find("write --simulate=bench.state"), std::string::npos) << cli.err;
    EXPECT_EQ(cli.run({"read-vcb"}, false), 1);
    EXPECT_NE(cli.err.find("\"COM Port\" in the [Configuration] section of " + cli.ini),
              std::string::npos)
        << cli.err;

    cli.outIsTerminal = true;
    EXPECT_EQ(cli.run({"read-vcb", "--raw"}), 64);
    EXPECT_NE(cli.err.find("binary data is not written to a terminal"), std::string::npos);
    EXPECT_EQ(cli.err.find("---"), std::string::npos) << "refused before the job";
    cli.outIsTerminal = false;

    EXPECT_EQ(cli.run({"vcb"}), 0);
    EXPECT_NE(cli.out.find("tessel vcb render"), std::string::npos) << cli.out;
    EXPECT_EQ(cli.run({"--help", "exit-codes"}), 0);
    EXPECT_NE(cli.out.find("32  COMM System Error\n"), std::string::npos) << cli.out;
}

} // namespace
} // namespace tessel::testing
