#include "cli/ConsoleJobWindow.h"
#include "cli/StopSignals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tessel {
namespace {

struct Console {
    std::ostringstream out, err;
    std::istringstream in;
    CliEnvironment env;
    ConsoleJobWindow window;

    Console(AnswerPolicy policy, bool terminal, bool quiet = false, std::string input = "",
            bool advanced = false)
        : in(std::move(input)),
          env{out, err, in, terminal, terminal, terminal, "", nullptr, nullptr},
          window(env, policy, advanced, quiet) {}
};

// A typical block read: progress line replaced by its outcome, then the report.
void runReadLikeJob(JobWindow& w) {
    w.showForJob("--- Read Light Bar VCB ---", true);
    w.plainLine(" Signature Bytes: 1e 97 02");
    w.progressLine(" Reading Light Bar VCB");
    w.showAbortControls();
    w.setProgress(50);
    w.removeLastLine();
    w.successLine(" Finished Reading Light Bar VCB");
    w.waitForOk(" Click OK to exit");
    w.close();
}

TEST(ConsoleJobWindow, PipeNeverShowsALineTheJobTookBack) {
    Console c(AnswerPolicy::No, false);
    runReadLikeJob(c.window);
    EXPECT_EQ(c.err.str(), "--- Read Light Bar VCB ---\n"
                           " Signature Bytes: 1e 97 02\n"
                           " Finished Reading Light Bar VCB\n");
    EXPECT_EQ(c.out.str(), "") << "standard output carries only the command's data";
}

TEST(ConsoleJobWindow, PipeWritesAProgressLineThatWasNotTakenBack) {
    Console c(AnswerPolicy::No, false);
    c.window.showForJob("t", false);
    c.window.progressLine(" Verifying Light Bar VCB");
    c.window.errorLine(" Light Bar VCB is short");
    c.window.close();
    EXPECT_EQ(c.err.str(), "t\n Verifying Light Bar VCB\n Light Bar VCB is short\n");
}

TEST(ConsoleJobWindow, TerminalColoursLinesErasesRemovedOnesAndDrawsProgress) {
    Console c(AnswerPolicy::No, true);
    runReadLikeJob(c.window);
    // The progress bar runs below the step's line, cleared before the line is taken back.
    EXPECT_EQ(c.err.str(), "--- Read Light Bar VCB ---\n Signature Bytes: 1e 97 02\n"
                           "\x1b[3;34m Reading Light Bar VCB\x1b[0m\n"
                           "\r[####################                    ] 50%\r\x1b[2K"
                           "\x1b[1A\x1b[2K\x1b[32m Finished Reading Light Bar VCB\x1b[0m\n");
}

TEST(ConsoleJobWindow, ALostBlockIsPutBackWithTheRestoreCommand) {
    Console c(AnswerPolicy::No, false);
    c.env.programName = "Tessel.com";
    JobSummary summary;
    summary.backupFiles = {"b-vcb.bin", "b-eeprom.bin"};
    c.window.jobEnded(summary);
    summary.restoreNeeded = true;
    c.window.jobEnded(summary);
    EXPECT_EQ(c.err.str(), " Put it back with: Tessel.com restore b-vcb.bin b-eeprom.bin\n");
}

TEST(ConsoleJobWindow, QuestionsFollowThePolicyAndNeverEraseUnattended) {
    Console yes(AnswerPolicy::Yes, false);
    EXPECT_TRUE(yes.window.askOkCancel());
    EXPECT_TRUE(yes.window.askYesNo());

    Console no(AnswerPolicy::No, true, false, "y\n");
    EXPECT_FALSE(no.window.askOkCancel());

    Console pipe(AnswerPolicy::Ask, false, false, "ok\n");
    EXPECT_FALSE(pipe.window.askOkCancel()) << "standard input is not a terminal";

    Console tty(AnswerPolicy::Ask, true, false, "ok\nn\n");
    EXPECT_TRUE(tty.window.askOkCancel());
    EXPECT_FALSE(tty.window.askYesNo());
    EXPECT_FALSE(tty.window.askYesNo()) << "end of input answers No";
}

TEST(ConsoleJobWindow, OkCancelPromptIsTakenBackAfterTheAnswer) {
    Console c(AnswerPolicy::Yes, false);
    c.window.showForJob("t", false);
    c.window.plainLine(" Light Bar will be Erased");
    c.window.progressLine(" Click OK to Continue or Cancel to Exit"); // as the engine asks
    EXPECT_TRUE(c.window.askOkCancel());
    c.window.removeLastLine();
    c.window.successLine(" Light Bar is Erased");
    c.window.close();
    EXPECT_EQ(c.err.str(), "t\n Light Bar will be Erased\n Light Bar is Erased\n");
}

TEST(ConsoleJobWindow, QuietKeepsOnlyTheFinalLines) {
    Console failed(AnswerPolicy::No, false, true);
    failed.window.showForJob("t", true);
    failed.window.plainLine(" try 1 failed-echoed 00 00 expected 53 00");
    failed.window.errorLine(" Error - Light Bar is not responding");
    failed.window.errorLine(" Chip is not responding");
    failed.window.close();
    EXPECT_EQ(failed.err.str(),
              " Error - Light Bar is not responding\n Chip is not responding\n");

    Console ok(AnswerPolicy::No, false, true);
    runReadLikeJob(ok.window);
    EXPECT_EQ(ok.err.str(), " Finished Reading Light Bar VCB\n");
}

TEST(ConsoleJobWindow, CancelRequestIsSeenOnceByTheNextAbortTest) {
    Console c(AnswerPolicy::No, false);
    EXPECT_FALSE(c.window.aborted());
    c.window.requestCancel();
    EXPECT_TRUE(c.window.aborted());
    EXPECT_FALSE(c.window.aborted());
}

TEST(ConsoleJobWindow, BlockIsPrintedOnlyInAdvancedModeForJobsWithABlockPane) {
    const std::string text = std::string("< Veltrane Configuration Block >\r\nS/N: 1\r\n") +
                             '\0' + "junk";
    Console plain(AnswerPolicy::No, false);
    plain.window.showForJob("t", true);
    plain.window.showBlock(text);
    EXPECT_EQ(plain.err.str(), "t\n");

    Console adv(AnswerPolicy::No, false, false, "", true);
    adv.window.showForJob("t", true);
    adv.window.showBlock(text);
    EXPECT_EQ(adv.err.str(), "t\n  | < Veltrane Configuration Block >\n  | S/N: 1\n");
}

#ifndef _WIN32 // signals that end a program and death by signal are POSIX's
// While the block is being rewritten every stop waits and says so; the first is the job's Cancel,
// seen once the block is in place. Outside the rewrite a further stop ends the program at once,
// after the line that says what the light bar holds.
TEST(ConsoleJobWindowDeathTest, StopsWaitForTheRewrittenBlockThenAnotherEndsAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Console c(AnswerPolicy::Yes, false);
            stopsignals::install();
            c.window.showForJob("t", false);
            c.window.setRewritingBlock(true);
            std::raise(SIGTERM);
            std::raise(SIGINT);
            std::raise(SIGHUP);
            std::fprintf(stderr, "cancel %s; exit %d\n", c.window.aborted() ? "held" : "lost",
                         static_cast<int>(stoppedBy(stopsignals::stopSignal())));
            c.window.setRewritingBlock(false);
            LightBarState state;
            state.firmware = LightBarState::Firmware::Incomplete;
            state.block = LightBarState::Block::Verified;
            state.backupBlockFile = "b-vcb.bin";
            state.backupEepromFile = "b-eeprom.bin";
            c.window.lightBarStateChanged(state);
            std::raise(SIGINT);
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT),
        "finishing the light bar's block, then stopping\n.*cancel held; exit 143\n\n"
        "tessel: stopped at once: the light bar's firmware is incomplete: program it with tessel "
        "program-code FILE; the light bar's VCB is in place; backups: b-vcb.bin b-eeprom.bin\n$");
}
#endif

} // namespace
} // namespace tessel
