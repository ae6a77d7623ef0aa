// The console as the command line found it: switched to UTF-8 and to virtual-terminal processing
// for the job log, and put back when the program ends. It needs a console: scripts/windows-tests
// runs it again on a terminal, which wine makes the console.
#include "support/Console.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tessel {
namespace {

TEST(ConsoleWin32, ColourOnlyWhereTheConsoleTakesItAndTheCodePageAndModesGoBack) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD found = 0;
    if (!GetConsoleMode(err, &found)) GTEST_SKIP() << "no console";
    const auto modeOf = [](HANDLE h) {
        DWORD mode = 0;
        GetConsoleMode(h, &mode);
        return mode;
    };
    const UINT foundCodePage = GetConsoleOutputCP();
    ASSERT_TRUE(SetConsoleOutputCP(850));
    SetConsoleMode(err, found & ~ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    const DWORD before = modeOf(err);

    const bool sequences = prepareConsole();
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
    EXPECT_EQ(sequences, (modeOf(err) & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0)
        << "colour exactly when the console took the switch";
    restoreConsole();
    EXPECT_EQ(GetConsoleOutputCP(), 850u);
    EXPECT_EQ(modeOf(err), before);

    SetConsoleMode(err, found);
    SetConsoleOutputCP(foundCodePage);
}

} // namespace
} // namespace tessel
