#include "support/ProgramServices.h"

#include "support/AppSettings.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::withSystemLineEnds;
using testing::TempDir;
using testing::writeFile;
namespace fs = std::filesystem;

const char* const kDefaultsAfterFirstExit =
    "[ProgramServices]\n"
    "LogMessages=0\n"
    "AppendLog=0\n"
    "TimeStampMessages=0\n"
    "Debug=0\n"
    "ReportErrorLevel=3\n"
    "\n"
    "[Units]\n"
    "GeoCord.Units=0\n"
    "ShowDegreeSymbol=1\n"
    "Distance.Units=0\n"
    "Distance.FeetToMilesThreshold=5280\n"
    "Speed.Units=0\n"
    "Time.Units=0\n"
    "Date.Units=0\n";

class ProgramServicesTest : public ::testing::Test {
protected:
    ProgramServices::Options options() {
        ProgramServices::Options o;
        o.localTime = [this] { return now; };
        return o;
    }

    // One run of the program as the main window drives it: start, and terminate at close unless
    // the INI file says it is read-only for the program.
    void run() {
        ProgramServices services(options());
        services.start(exe);
        if (!AppSettings(services.ini()).iniFileIsReadOnly()) services.terminate();
    }

    TempDir dir;
    std::string exe = dir / "Tessel.exe";
    std::string ini = dir / "Tessel.INI";
    std::string logFile = dir / "Tessel.LOG";
    LocalDateTime now{2005, 3, 10, 14, 7, 9};
};

TEST_F(ProgramServicesTest, NoIniFileThenANormalExitWritesBothSectionsWithTheirDefaults) {
    run();
    EXPECT_EQ(readFile(ini), withSystemLineEnds(kDefaultsAfterFirstExit));
    EXPECT_FALSE(fs::exists(logFile));
    run();
    EXPECT_EQ(readFile(ini), withSystemLineEnds(kDefaultsAfterFirstExit))
        << "a second run changes nothing";
}

TEST_F(ProgramServicesTest, AnEmptiedLogHoldsTheTwoLinesOfTheLastRunAndAnAppendedOneGrows) {
    writeFile(ini, "[ProgramServices]\nLogMessages=1\n");
    run();
    run();
    EXPECT_EQ(readFile(logFile), "Tessel   Version: 3.6\nProgram Terminate\n");

    writeFile(ini, "[ProgramServices]\nLogMessages=1\nAppendLog=1\n");
    run();
    run();
    EXPECT_EQ(readFile(logFile), "Tessel   Version: 3.6\nProgram Terminate\n"
                                 "Tessel   Version: 3.6\nProgram Terminate\n"
                                 "Tessel   Version: 3.6\nProgram Terminate\n");
}

TEST_F(ProgramServicesTest, TimeStampsLeadEachLine) {
    writeFile(ini, "[ProgramServices]\nLogMessages=1\nTimeStampMessages=1\n");
    {
        ProgramServices services(options());
        services.start(exe);
        now = {2026, 12, 8, 9, 41, 0};
        services.terminate();
    }
    EXPECT_EQ(readFile(logFile), "05/03/10 14:07:09 | Tessel   Version: 3.6\n"
                                 "26/12/08 09:41:00 | Program Terminate\n");

    // Time stamps without a log file make no file.
    writeFile(ini, "[ProgramServices]\nTimeStampMessages=1\n");
    fs::remove(logFile);
    run();
    EXPECT_FALSE(fs::exists(logFile));
}

TEST_F(ProgramServicesTest, AnIniFileWithoutWriteBitsIsKeptWhileTerminateIsStillLogged) {
    const std::string original = "[ProgramServices]\r\nLogMessages=1\r\n";
    writeFile(ini, original);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ProgramServices services(options());
    services.start(exe, ini); // given with --ini (beside the executable it would be only a seed)
    services.terminate();
    EXPECT_EQ(readFile(ini), original);
    EXPECT_EQ(readFile(logFile), "Tessel   Version: 3.6\nProgram Terminate\n");
}

TEST_F(ProgramServicesTest, IniFileIsReadOnlyKeepsTheFileAndLogsOnlyTheVersionLine) {
    const std::string original = "; bench\n[Configuration]\nIniFileIsReadOnly=1\n[ProgramServices]\nLogMessages=1\n";
    writeFile(ini, original);
    ProgramServices services(options());
    services.start(exe);
    ASSERT_TRUE(AppSettings(services.ini()).iniFileIsReadOnly());
    // The line is on disk at once, though the log stays open until the process ends.
    EXPECT_EQ(readFile(logFile), "Tessel   Version: 3.6\n");
    EXPECT_TRUE(services.logFileOpen());
    EXPECT_EQ(readFile(ini), original);
}

TEST_F(ProgramServicesTest, TerminateKeepsKeysEditedWhileTheProgramRan) {
    writeFile(ini, kDefaultsAfterFirstExit);
    ProgramServices services(options());
    services.start(exe);
    // A technician switches logging on and drops a key while the program runs.
    std::string edited = kDefaultsAfterFirstExit;
    edited.replace(edited.find("LogMessages=0"), 13, "LogMessages=1");
    edited.erase(edited.find("Speed.Units=0\n"), 14);
    writeFile(ini, edited);
    services.settings().debug = true; // the program's own change
    services.terminate();

    std::string expected = edited;
    expected.replace(expected.find("Debug=0"), 7, "Debug=1");
    expected += "Speed.Units=0\n";
    EXPECT_EQ(readFile(ini), expected);
}

TEST_F(ProgramServicesTest, AfterAFailedWriteTerminateTriesNoOtherKey) {
    int attempts = 0;
    auto o = options();
    o.iniWriter = [&](const std::string&, std::string_view) {
        ++attempts;
        return false;
    };
    ProgramServices services(o);
    services.start(exe);
    services.terminate();
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(services.ini().writable());
    EXPECT_FALSE(fs::exists(ini));
}

TEST_F(ProgramServicesTest, ALogThatCannotBeOpenedIsDoneWithout) {
    writeFile(dir / "blocker", "");
    writeFile(dir / "blocker.ini", "[ProgramServices]\nLogMessages=1\n"); // its log: blocker.LOG
    fs::create_directory(dir / "blocker.LOG");
    ProgramServices services(options());
    services.start(exe, dir / "blocker.ini");
    EXPECT_FALSE(services.logFileOpen());
    services.terminate();
    EXPECT_TRUE(fs::is_directory(dir / "blocker.LOG"));
    EXPECT_NE(readFile(dir / "blocker.ini").find("ReportErrorLevel=3"), std::string::npos)
        << "the settings are saved all the same";
}

TEST_F(ProgramServicesTest, AMissingVersionResourceShowsNotFoundInTheStartLine) {
    writeFile(ini, "[ProgramServices]\nLogMessages=1\n");
    auto o = options();
    o.version = std::nullopt;
    ProgramServices services(o);
    services.start(exe);
    EXPECT_EQ(readFile(logFile), "Not Found   Version: Not Found\n");
}

TEST_F(ProgramServicesTest, AnIniPathFromTheCommandLinePutsTheLogBesideIt) {
    fs::create_directory(dir / "etc");
    writeFile(dir / "etc/bench.ini", "[ProgramServices]\nLogMessages=1\n");
    ProgramServices services(options());
    services.start(exe, dir / "etc/bench.ini");
    services.terminate();
    EXPECT_EQ(services.files().logPath, dir / "etc/bench.LOG");
    EXPECT_EQ(readFile(dir / "etc/bench.LOG"), "Tessel   Version: 3.6\nProgram Terminate\n");
    EXPECT_NE(readFile(dir / "etc/bench.ini").find("ReportErrorLevel=3"), std::string::npos);
    EXPECT_FALSE(fs::exists(ini));
}

TEST(CompanionFiles, NamesFollowTheExecutable) {
    const auto windows = CompanionFiles::forExecutable("/opt/bench/Tessel.exe");
    EXPECT_EQ(windows.basePath, "/opt/bench/Tessel");
    EXPECT_EQ(windows.iniPath, "/opt/bench/Tessel.INI");
    EXPECT_EQ(windows.logPath, "/opt/bench/Tessel.LOG");
    EXPECT_EQ(CompanionFiles::forExecutable("/usr/bin/tessel").iniPath, "/usr/bin/tessel.INI")
        << "a name without a four-character extension is kept whole";
    EXPECT_EQ(CompanionFiles::forExecutable("/opt/v3.6/tessel").basePath, "/opt/v3.6/tessel");
    EXPECT_EQ(CompanionFiles::forExecutable("/opt/x/tessel.v3.6").basePath, "/opt/x/tessel.v3.6");
    EXPECT_EQ(CompanionFiles::forExecutable("/opt/x/a.out").basePath, "/opt/x/a");
    EXPECT_EQ(CompanionFiles::forIniFile("/etc/t/bench.conf").logPath, "/etc/t/bench.LOG");
    EXPECT_EQ(CompanionFiles::forIniFile("bench").logPath, "bench.LOG");

    const auto self = currentExecutablePath();
    EXPECT_TRUE(fs::exists(self));
    EXPECT_EQ(fs::path(self).stem(), "tests_support"); // tests_support.exe on Windows
}

TEST(ProgramServices, CreatedServicesTouchNothing) {
    ProgramServices services;
    EXPECT_EQ(services.basePath(), "Unknown");
    EXPECT_FALSE(services.started());
    services.terminate(); // a window that closes before the services started
    EXPECT_FALSE(std::filesystem::exists("Unknown.INI"));
}

TEST(LogTime, FormatsTwoDigitFieldsOnATwentyFourHourClock) {
    EXPECT_EQ(formatLogTimeStamp({2005, 3, 10, 14, 7, 9}), "05/03/10 14:07:09");
    EXPECT_EQ(formatLogTimeStamp({2100, 12, 31, 23, 59, 59}), "00/12/31 23:59:59");
    const auto now = systemLocalTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_LE(now.month, 12);
}

} // namespace
} // namespace tessel
