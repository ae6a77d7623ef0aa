// The application session as the command line starts it and as a window would: both leave the
// same INI file, log file and light bar behind.
#include "CliRunner.h"

#include "app/AppSession.h"
#include "jobs/ScriptedJobWindow.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessel::testing {
namespace {

// A session run as a window runs it: a read of the block, the state kept, the program closed.
void runAsWindow(CliRunner& files, bool checkComPort3) {
    ScriptedJobWindow window;
    AppSession::Options options;
    options.executablePath = files.path("tessel");
    options.iniPath = files.ini;
    options.simulate = true;
    options.simulateFile = files.state;
    AppSession session(options, window);
    ASSERT_TRUE(session.simulatedStateReadable());
    EXPECT_EQ(session.comPort(), 2) << "the INI's \"COM Port\"";
    if (checkComPort3) {
        session.checkComPort(3);
        EXPECT_EQ(session.engine().portIndex(), 3);
    }
    BlockArea area;
    ASSERT_EQ(session.engine().readBlock(area), 0);
    session.host().parseBlock(area); // the main window's part after a good read
    EXPECT_EQ(session.host().record().serialNumber, 1);
    ASSERT_TRUE(session.saveSimulatedState());
    session.terminate();
}

TEST(AppSession, CommandLineAndWindowLeaveTheSameIniLogAndLightBar) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only INI" : "writable INI");
        const std::string ini = std::string("[Configuration]\nCOM Port=2\n") +
                                (readOnly ? "IniFileIsReadOnly=1\n" : "") +
                                "[ProgramServices]\nLogMessages=1\nAppendLog=1\n";
        CliRunner command, window;
        for (CliRunner* files : {&command, &window}) {
            ASSERT_EQ(files->run({"--yes", "init-vcb"}), 0) << files->err;
            writeFile(files->ini, ini);
        }

        ASSERT_EQ(command.run({"read-vcb"}), 0) << command.err;
        runAsWindow(window, readOnly);

        EXPECT_EQ(readFile(window.ini), readFile(command.ini));
        EXPECT_EQ(readFile(window.path("tessel.LOG")), readFile(command.path("tessel.LOG")));
        EXPECT_EQ(readFile(window.state), readFile(command.state));
        if (readOnly) {
            EXPECT_EQ(readFile(window.ini), ini) << "a read-only INI is never written";
            EXPECT_EQ(readFile(window.path("tessel.LOG")), "Tessel   Version: 3.6\n")
                << "no \"Program Terminate\" without termination";
        } else {
            EXPECT_NE(readFile(window.ini).find("ReportErrorLevel=3"), std::string::npos);
            EXPECT_NE(readFile(window.path("tessel.LOG")).find("Program Terminate"),
                      std::string::npos);
        }
    }
}

TEST(AppSession, AdvancedModeAndTheCheckedPortComeFromTheIniOnce) {
    CliRunner files;
    ScriptedJobWindow window;
    AppSession::Options options;
    options.executablePath = files.path("tessel");
    options.iniPath = files.ini;
    writeFile(files.ini, "[Configuration]\nType Control=52817364\nCOM Port=7\nSerial Number=42\n");
    {
        AppSession session(options, window);
        EXPECT_TRUE(session.advancedMode());
        EXPECT_EQ(session.host().record().serialNumber, 42);
        EXPECT_EQ(session.comPort(), 0) << "\"COM Port\" 7 checks none";
        session.checkComPort(4);
        EXPECT_EQ(session.comPort(), 4);
    } // the destructor terminates
    EXPECT_NE(readFile(files.ini).find("COM Port=4"), std::string::npos);
    EXPECT_NE(readFile(files.ini).find("[ProgramServices]"), std::string::npos);

    options.advancedMode = false; // the command line's choice wins
    AppSession overridden(options, window);
    EXPECT_FALSE(overridden.advancedMode());
    EXPECT_EQ(overridden.comPort(), 4);
}

// An adapter whose cable needed a slower clock starts the next run of the program at the rate it
// answered at, not with another step-down from SckHz; the INI keeps that rate.
TEST(AppSession, AnAdapterSteppedDownStartsTheNextRunWhereItAnswered) {
    CliRunner files;
    ASSERT_EQ(files.run({"--yes", "init-vcb"}), 0) << files.err;
    std::vector<std::vector<std::string>> logs;
    for (int run = 0; run < 2; ++run) {
        ScriptedJobWindow window;
        AppSession::Options options;
        options.executablePath = files.path("tessel");
        options.iniPath = files.ini;
        options.comPort = 1;
        options.device = "ftdi:";
        options.simulate = true;
        options.simulateFile = files.state;
        AppSession session(options, window);
        session.emulatedAdapter().setCableLimitHz(60000);
        BlockArea area;
        ASSERT_EQ(session.engine().readBlock(area), 0) << ::testing::PrintToString(window.texts());
        logs.push_back(window.texts());
        session.terminate();
    }
    EXPECT_TRUE(std::find(logs[0].begin(), logs[0].end(), " no answer at 100 kHz: trying 50 kHz") !=
                logs[0].end());
    EXPECT_EQ(logs[1].front(), " FT232R adapter, SCK at 50 kHz");
    EXPECT_NE(readFile(files.ini).find("SckHzThatWorked ftdi:=50000"), std::string::npos);
}

} // namespace
} // namespace tessel::testing
