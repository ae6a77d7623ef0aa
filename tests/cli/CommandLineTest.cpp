#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

CommandLineRequest parse(std::vector<std::string> args) { return parseCommandLine(args); }

TEST(CommandLine, NoCommandMeansTheWindow) {
    const auto req = parse({});
    EXPECT_TRUE(req.command.empty());
    EXPECT_TRUE(parse({"--ini", "x.INI"}).command.empty());
}

TEST(CommandLine, OptionsStandBeforeOrAfterTheCommand) {
    const auto req = parse({"--port", "3", "read-vcb", "--out=area.bin", "--json", "--simulate"});
    EXPECT_EQ(req.command, "read-vcb");
    EXPECT_EQ(req.port, 3);
    EXPECT_EQ(req.out, "area.bin");
    EXPECT_TRUE(req.json);
    EXPECT_TRUE(req.simulate);
    EXPECT_TRUE(req.simulateFile.empty());

    const auto sim = parse({"init-vcb", "--simulate=/tmp/lb.state", "--yes", "--device", "/x"});
    EXPECT_EQ(sim.simulateFile, "/tmp/lb.state");
    EXPECT_TRUE(sim.yes);
    EXPECT_EQ(sim.device, "/x");
}

TEST(CommandLine, TwoWordCommandsAndTheirArguments) {
    const auto show = parse({"vcb", "show", "block.txt", "--json"});
    EXPECT_EQ(show.command, "vcb show");
    EXPECT_EQ(show.args, std::vector<std::string>{"block.txt"});
    EXPECT_TRUE(show.json);

    const auto conv = parse({"vcb", "convert", "b.txt", "--to", "1", "--out", "a.bin"});
    EXPECT_EQ(conv.toFormat, 1);
    EXPECT_EQ(parse({"convert-vcb", "2"}).toFormat, 2);
    EXPECT_EQ(parse({"read-eeprom", "--count", "700"}).count, 700);
}

TEST(CommandLine, BlockSourceIsAFileOrAJsonRecord) {
    EXPECT_EQ(parse({"program-vcb", "b.txt"}).args[0], "b.txt");
    const auto rec = parse({"verify-vcb", "--json", "r.json"});
    EXPECT_EQ(rec.jsonInput, "r.json");
    EXPECT_TRUE(rec.args.empty());
    EXPECT_THROW(parse({"program-vcb"}), UsageError);
    EXPECT_THROW(parse({"program-vcb", "b.txt", "--json", "r.json"}), UsageError);
}

TEST(CommandLine, MistakesAreUsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"frobnicate"},
             {"vcb", "explode", "x"},
             {"read-vcb", "extra"},
             {"--port", "5", "read-vcb"},
             {"--port", "0", "read-vcb"},
             {"--port"},
             {"convert-vcb", "3"},
             {"vcb", "convert", "b.txt"},
             {"read-vcb", "--yes", "--no"},
             {"read-vcb", "--bogus"},
             {"read-eeprom", "--count", "-1"},
             {"read-eeprom", "--count", "4097"},
             {"read-vcb", "--json", "--raw"},
             {"--simulate=", "read-vcb"},
         }) {
        EXPECT_THROW(parse(args), UsageError) << args[0];
    }
}

TEST(CommandLine, HelpDescribesEveryCommandAndOption) {
    const std::string text = usageText();
    for (const char* word : {"read-vcb", "verify-vcb", "program-vcb", "convert-vcb", "init-vcb",
                             "program-code", "verify-code", "read-eeprom", "vcb show",
                             "vcb render", "vcb convert", "hex info", "hex image", "--port",
                             "--device", "--simulate", "--ini", "--advanced", "--yes", "--no",
                             "--quiet"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
    const auto req = parse({"hex", "image", "--help"});
    EXPECT_TRUE(req.help);
    EXPECT_NE(commandHelp(req.command).find("0x1F000"), std::string::npos);
}

} // namespace
} // namespace tessel
