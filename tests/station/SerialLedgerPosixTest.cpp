// The ledger shared by several processes at once, and after a crash.
#include "station/SerialLedger.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace tessel::testing {
namespace {

TEST(SerialLedger, BaysTakingNumbersAtOnceNeverGetTheSameAndATornLineIsLeftOut) {
    TempDir dir;
    const std::string path = dir / "line.ledger";
    auto now = [] { return std::string("2026-12-08T10:00:00+01:00"); };
    constexpr int kBays = 4, kEach = 25;
    std::vector<pid_t> bays;
    for (int bay = 1; bay <= kBays; ++bay) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SerialLedger ledger(path, 1, kBays * kEach, now);
            bool all = true;
            for (int i = 0; i < kEach; ++i)
                all = ledger.take(std::nullopt, false, bay, "COM" + std::to_string(bay))
                          .serialNumber &&
                      all;
            ::_exit(all ? 0 : 1);
        }
        bays.push_back(pid);
    }
    for (const pid_t pid : bays) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // A crash in the middle of a line leaves it torn; the next number is written after it.
    std::ofstream(path, std::ios::app) << "{\"time\":\"2026-12-08T10:01";
    SerialLedger ledger(path, 1, kBays * kEach + 1, now);
    const auto take = ledger.take(std::nullopt, false, 1, "COM1");
    EXPECT_EQ(take.serialNumber, kBays * kEach + 1);

    const LedgerContents contents = ledger.read();
    EXPECT_EQ(contents.unreadableLines, 1u);
    std::set<std::int32_t> numbers;
    for (const LedgerEntry& e : contents.entries)
        numbers.insert(e.serialNumber);
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kBays * kEach + 1));
    EXPECT_EQ(contents.entries.size(), numbers.size());
    EXPECT_EQ(ledger.numbersLeft(), 0);
    EXPECT_TRUE(ledger.take(std::nullopt, false, 1, "COM1").exhausted);
}

} // namespace
} // namespace tessel::testing
