// Stops from outside, sent to the built program while it works on a virtual light bar.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessel::testing {
namespace {

// tessel firmware-programming a virtual light bar, its standard input a terminal of its own (so
// it asks before the erase), its standard error read here.
struct Child {
    CliRunner cli;
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    int err = -1;
    pid_t pid = -1;
    std::string log;

    explicit Child(const std::string& hexFile = "") {
        EXPECT_EQ(cli.run({"--yes", "init-vcb"}), 0);
        std::filesystem::remove_all(cli.backups); // init's own
        writeFile(cli.path("fw.hex"), sampleHex(2));
        ::grantpt(terminal);
        ::unlockpt(terminal);
        int pipe[2];
        EXPECT_EQ(::pipe(pipe), 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, ::ptsname(terminal), O_RDWR | O_NOCTTY, 0);
        posix_spawn_file_actions_adddup2(&files, pipe[1], 2);
        std::vector<std::string> args = {TESSEL_EXECUTABLE, "--ini", cli.ini,
                                         "--simulate=" + cli.state, "program-code",
                                         hexFile.empty() ? cli.path("fw.hex") : hexFile};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        ::close(pipe[1]);
        err = pipe[0];
    }
    ~Child() { ::close(terminal); }

    // Reads standard error until it holds text (or ends); true when it does.
    bool waitFor(const std::string& text) {
        char buf[4096];
        for (ssize_t n = 1; log.find(text) == std::string::npos && n > 0;)
            if ((n = ::read(err, buf, sizeof buf)) > 0) log.append(buf, static_cast<std::size_t>(n));
        return log.find(text) != std::string::npos;
    }
    // Standard error to its end; the wait status.
    int finish() {
        waitFor(std::string(1, '\0')); // never written: reads to the end
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(err);
        return status;
    }
};

constexpr const char* kEraseQuestion = "Type [o]k to continue or [c]ancel to exit:";

// Sent while the erase question waits, then the erase confirmed: the Cancel waits for the kept
// block, stops the code at its first abort test, and the program reports, then exits 128 + N.
TEST(CliStops, SigtermAndSighupCancelTheFirmwareAndExitWith128PlusTheSignal) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        Child tessel;
        ASSERT_TRUE(tessel.waitFor(kEraseQuestion)) << tessel.log;
        ::kill(tessel.pid, signal);
        ASSERT_EQ(::write(tessel.terminal, "o\n", 2), 2);
        const int status = tessel.finish();
        ASSERT_TRUE(WIFEXITED(status)) << tessel.log;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal) << tessel.log;
        for (const std::string& line : std::vector<std::string>{
                 " Light Bar VCB Verified Ok\n Light Bar Firmware Programmimg aborted\n"
                 " Operation aborted\n",
                 "tessel: the light bar's firmware is incomplete: program it with tessel "
                 "program-code FILE\n",
                 "tessel: stopped by signal " + std::to_string(signal)})
            EXPECT_NE(tessel.log.find(line), std::string::npos) << line << "\n" << tessel.log;
        EXPECT_EQ(tessel.cli.run({"read-vcb"}), 0) << "the block is kept";
    }
}

// A second stop outside the block's rewrite ends the program at once, after one line that says
// what the light bar holds; at the erase question nothing was written, so no backup was saved.
TEST(CliStops, ASecondStopEndsAtOnceSayingWhatTheLightBarHolds) {
    Child tessel;
    ASSERT_TRUE(tessel.waitFor(kEraseQuestion)) << tessel.log;
    ::kill(tessel.pid, SIGINT);
    ::kill(tessel.pid, SIGTERM);
    const int status = tessel.finish();
    ASSERT_TRUE(WIFSIGNALED(status)) << tessel.log;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_NE(tessel.log.find("\ntessel: stopped at once: the light bar's VCB is as it was\n"),
              std::string::npos)
        << tessel.log;
    EXPECT_FALSE(std::filesystem::exists(tessel.cli.backups));
}

// A firmware file that is a FIFO nobody writes to: the program waits for it, and Ctrl+C ends it.
TEST(CliStops, CtrlCBeforeTheJobEndsTheProgram) {
    TempDir dir;
    const std::string fifo = dir / "fifo.hex";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Child tessel(fifo);
    // Until it waits in the FIFO's open (the kernel's wait_for_partner), ten seconds at most.
    const std::string wchan = "/proc/" + std::to_string(tessel.pid) + "/wchan";
    for (int i = 0; i < 10000 && readFile(wchan).find("partner") == std::string::npos; ++i)
        ::usleep(1000);
    ::kill(tessel.pid, SIGINT);
    const int status = tessel.finish();
    ASSERT_TRUE(WIFSIGNALED(status)) << tessel.log;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
}

} // namespace
} // namespace tessel::testing
