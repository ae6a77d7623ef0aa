// tessel history: the jobs a virtual light bar ran, filtered and as JSON, beside its state file.
#include "CliRunner.h"

#include "cli/Json.h"
#include "support/Sha256.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliHistory, ListsTheJobsOfAVirtualLightBarFilteredOrAsJson) {
    CliRunner cli;
    writeFile(cli.path("KdV3.4.hex"), sampleHex(2));
    ASSERT_EQ(cli.run({"--yes", "init-vcb"}), 0) << cli.err;
    ASSERT_EQ(cli.run({"--yes", "program-code", cli.path("KdV3.4.hex")}), 0) << cli.err;
    ASSERT_EQ(cli.run({"read-vcb", "--port", "9"}), 64) << "a usage error runs no job";

    ASSERT_EQ(cli.run({"--simulate=" + cli.state, "history"}, false), 0) << cli.err;
    ASSERT_EQ(lineCount(cli.out), 2u) << cli.out;
    EXPECT_NE(cli.out.find("  virtual  Initialize Default VCB  S/N ? -> 1  0 Ok  backups: "),
              std::string::npos)
        << cli.out;
    EXPECT_EQ(cli.run({"--simulate=" + cli.state, "history", "--serial", "2"}, false), 0);
    EXPECT_EQ(cli.out, "");
    EXPECT_EQ(cli.run({"--simulate=" + cli.state, "history", "--since", "2999-01-01"}, false), 0);
    EXPECT_EQ(cli.out, "");

    ASSERT_EQ(cli.run({"--simulate=" + cli.state, "history", "--json", "--serial", "1",
                       "--since", "2000-01-01 00:00"},
                      false),
              0);
    const Json records = parseJson(cli.out);
    ASSERT_EQ(records.size(), 2u);
    const Json& code = records[1];
    EXPECT_EQ(code["command"], "Program Light Bar Firmware Code");
    EXPECT_EQ(code["firmware"]["sha256"], sha256Hex(readFile(cli.path("KdV3.4.hex"))));
    EXPECT_EQ(code["serialBefore"], 1);
    EXPECT_EQ(code["result"], 0);

    writeFile(cli.history, readFile(cli.history) + "{\"time\": \"2026-12-08T15");
    EXPECT_EQ(cli.run({"--simulate=" + cli.state, "history"}, false), 0);
    EXPECT_EQ(lineCount(cli.out), 2u);
    EXPECT_NE(cli.err.find("1 line of " + cli.history + " holds no job record"), std::string::npos)
        << cli.err;
    EXPECT_EQ(cli.run({"history", "--since", "yesterday"}, false), 64);
    EXPECT_EQ(cli.run({"--simulate", "history"}, false), 64) << "a fresh virtual light bar has none";
}

} // namespace
} // namespace tessel::testing
