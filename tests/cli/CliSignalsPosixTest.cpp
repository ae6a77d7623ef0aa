// Stops from outside, sent to the built program while it works on a virtual light bar: a stop is
// the job's Cancel, SIGTERM and SIGHUP then set the exit code, a second stop ends the program at
// once with what the light bar holds, and before a job any stop ends it.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The built program with its standard input on a terminal of its own (so it asks its questions
// there) and its standard error read here.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        terminal_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(terminal_, 0);
        ::grantpt(terminal_);
        ::unlockpt(terminal_);
        const int input = ::open(::ptsname(terminal_), O_RDWR | O_NOCTTY);
        int pipe[2];
        EXPECT_EQ(::pipe(pipe), 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, input, 0);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&files, pipe[1], 2);
        std::vector<std::string> all = {TESSEL_EXECUTABLE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        ::close(input);
        ::close(pipe[1]);
        err_ = pipe[0];
    }
    ~Child() {
        if (pid_ > 0) finish();
        ::close(terminal_);
    }

    // Reads standard error until it holds text; false when it ended first.
    bool waitFor(const std::string& text) {
        while (log.find(text) == std::string::npos)
            if (!readSome()) return false;
        return true;
    }
    void type(const std::string& text) {
        EXPECT_EQ(::write(terminal_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void send(int signal) { ::kill(pid_, signal); }
    pid_t pid() const { return pid_; }
    // Reads standard error to its end; the wait status.
    int finish() {
        while (readSome()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        ::close(err_);
        return status;
    }

    std::string log; // standard error so far

private:
    bool readSome() {
        char buf[4096];
        const ssize_t n = ::read(err_, buf, sizeof buf);
        if (n > 0) log.append(buf, static_cast<std::size_t>(n));
        return n > 0;
    }

    pid_t pid_ = -1;
    int err_ = -1;
    int terminal_ = -1;
};

struct Bench {
    CliRunner cli;
    Bench() {
        EXPECT_EQ(cli.run({"--yes", "init-vcb"}), 0) << cli.err;
        std::filesystem::remove_all(cli.backups); // init's own
        writeFile(cli.path("fw.hex"), sampleHex(2));
    }
    Child programCode() {
        return Child({"--ini", cli.ini, "--simulate=" + cli.state, "program-code", cli.path("fw.hex")});
    }
};

constexpr const char* kEraseQuestion = "Type [o]k to continue or [c]ancel to exit:";

// Sent while the erase question waits, then the erase is confirmed: the Cancel waits for the kept
// block and stops the code at its first abort test; the report, then 128 + the signal's number.
TEST(CliStops, SigtermAndSighupCancelTheFirmwareAndExitWith128PlusTheSignal) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        Bench bench;
        Child tessel = bench.programCode();
        ASSERT_TRUE(tessel.waitFor(kEraseQuestion)) << tessel.log;
        tessel.send(signal);
        tessel.type("o\n");
        const int status = tessel.finish();
        ASSERT_TRUE(WIFEXITED(status)) << tessel.log;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal) << tessel.log;
        for (const std::string& line : std::vector<std::string>{
                 " Light Bar VCB Verified Ok\n Light Bar Firmware Programmimg aborted\n",
              " Operation aborted\n",
              "tessel: the light bar's firmware is incomplete: program it with tessel program-code FILE\n",
              "tessel: stopped by signal " + std::to_string(signal)})
            EXPECT_NE(tessel.log.find(line), std::string::npos) << line << "\n" << tessel.log;
        EXPECT_EQ(bench.cli.run({"read-vcb"}), 0) << "the block is kept";
    }
}

// A second stop outside the block's rewrite ends the program at once, after one line that says
// what the light bar holds and where its backups are.
TEST(CliStops, ASecondStopEndsAtOnceSayingWhatTheLightBarHolds) {
    Bench bench;
    Child tessel = bench.programCode();
    ASSERT_TRUE(tessel.waitFor(kEraseQuestion)) << tessel.log;
    tessel.send(SIGINT);
    tessel.send(SIGTERM);
    const int status = tessel.finish();
    ASSERT_TRUE(WIFSIGNALED(status)) << tessel.log;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    const auto files = [&] {
        std::vector<std::string> f;
        for (const auto& e : std::filesystem::directory_iterator(bench.cli.backups)) f.push_back(e.path());
        std::sort(f.begin(), f.end());
        return f;
    }();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(tessel.log.find("\ntessel: stopped at once: the light bar's VCB is as it was; backups: " +
                              files[1] + " " + files[0] + "\n"),
              std::string::npos)
        << tessel.log;
}

// A firmware file that is a FIFO nobody writes to: the program waits for it, and Ctrl+C ends it.
TEST(CliStops, CtrlCBeforeTheJobEndsTheProgram) {
    Bench bench;
    const std::string fifo = bench.cli.path("fifo.hex");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Child tessel({"--ini", bench.cli.ini, "--simulate=" + bench.cli.state, "--yes", "program-code", fifo});
    // Until it waits in the FIFO's open (the kernel's wait_for_partner), or ten seconds passed.
    const std::string wchan = "/proc/" + std::to_string(tessel.pid()) + "/wchan";
    for (int i = 0; i < 10000 && readFile(wchan).find("partner") == std::string::npos; ++i)
        ::usleep(1000);
    tessel.send(SIGINT);
    const int status = tessel.finish();
    ASSERT_TRUE(WIFSIGNALED(status)) << tessel.log;
    EXPECT_EQ(WTERMSIG(status), SIGINT);
}

} // namespace
} // namespace tessel::testing
