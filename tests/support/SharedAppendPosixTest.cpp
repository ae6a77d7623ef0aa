// The job history's appends: whole lines from processes that append at the same time, a folder
// that takes no file.
#include "support/SharedAppend.h"

#include "ReadOnlyFolder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <sys/wait.h>

namespace tessel::testing {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(SharedAppend, TwoProcessesAppendingAtOnceLeaveOnlyWholeLines) {
    TempDir dir;
    const std::string path = dir / "history.jsonl";
    constexpr int kLines = 300;
    // Long lines, so that a write cut in two would show.
    const auto line = [](char who, int n) { return std::string(1, who) + std::to_string(n) + std::string(3000, who); };
    std::vector<pid_t> children;
    for (const char who : {'a', 'b'}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int n = 0; n < kLines; ++n)
                if (appendWholeLine(path, line(who, n))) ::_exit(1);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> lines = linesOf(readFile(path));
    ASSERT_EQ(lines.size(), 2u * kLines);
    std::set<std::string> expected;
    for (const char who : {'a', 'b'})
        for (int n = 0; n < kLines; ++n) expected.insert(line(who, n));
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected);
}

TEST(SharedAppend, AFolderThatTakesNoFileIsNamed) {
    TempDir dir;
    std::string refused;
    {
        const ReadOnlyFolder locked(dir.path() / "locked");
        refused = appendWholeLine(dir / "locked/history.jsonl", "x").value_or("written");
    }
    EXPECT_NE(refused.find("cannot open"), std::string::npos) << refused;
    EXPECT_FALSE(std::filesystem::exists(dir / "locked/history.jsonl"));
}

} // namespace
} // namespace tessel::testing
