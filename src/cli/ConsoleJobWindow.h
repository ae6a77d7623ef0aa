#pragma once

#include "cli/CliEnvironment.h"
#include "jobs/JobWindow.h"

#include <optional>
#include <string>
#include <vector>

namespace tessel {

// How the console answers a job's questions (erase confirmation, serial number change).
enum class AnswerPolicy {
    Yes,   // --yes: Yes/OK to everything, the erase included
    No,    // --no: No/Cancel to everything
    Ask,   // ask on the terminal; falls back to No when standard input is not a terminal
};

// The job window of the command line, on its standard error (standard output carries only the
// command's data): the job log, one line per job-window line, the progress bar and the
// questions, answered from standard input. On a terminal the styles are colours and "remove last
// line" erases the line; in a pipe a progress or prompt line is held back until it is either
// followed by another line or removed, so a removed line never reaches the pipe, and no progress
// bar is drawn.
class ConsoleJobWindow final : public JobWindow {
public:
    ConsoleJobWindow(CliEnvironment& env, AnswerPolicy policy, bool advanced, bool quiet);

    void showForJob(const std::string& title, bool withBlockPane) override;
    void appendLine(LineStyle style, const std::string& text) override;
    void removeLastLine() override;
    void showBlock(std::string_view text) override;
    void setProgress(int percent) override;
    void showAbortControls() override;
    bool aborted() override;
    bool askYesNo() override;
    bool askOkCancel() override;
    void waitForOk(const std::string& prompt) override;
    void processMessages() override {}
    void close() override;
    // A Cancel asked for before the job started belongs to no job.
    void clearClicks() override { cancelRequested_ = false; }

    // --keep-firmware: every erase is answered Cancel, without asking; the other questions
    // still follow the policy.
    void refuseErases() { refuseErases_ = true; }
    // How the job's questions were answered (the erase is the job's only OK/Cancel question).
    struct Answers {
        int erasesConfirmed = 0;
        int erasesRefused = 0;
        int noAnswers = 0; // Yes/No questions answered No
    };
    const Answers& answers() const { return answers_; }

    // A Cancel from outside: the next abort test of the job sees it. Ctrl+C, SIGTERM and SIGHUP
    // cancel the same way while a job runs (see StopSignals.h).
    void requestCancel() { cancelRequested_ = true; }
    void setRewritingBlock(bool rewriting) override;
    // Prepares the line a stop that ends the program at once writes.
    void lightBarStateChanged(const LightBarState& state) override;
    // After a rewrite that may have lost the block: the command that puts its backup back.
    void jobEnded(const JobSummary& summary) override;

private:
    struct Line {
        LineStyle style;
        std::string text;
    };

    void emit(const Line& line);
    void flushHeld();
    void clearProgressBar();
    bool ask(const char* question);

    CliEnvironment& env_;
    AnswerPolicy policy_;
    bool advanced_;
    bool quiet_;
    bool withBlockPane_ = false;
    bool progressVisible_ = false;
    bool progressDrawn_ = false;
    bool cancelRequested_ = false;
    bool refuseErases_ = false;
    Answers answers_;
    std::vector<Line> held_;     // pipe mode: lines not yet written (at most the removable tail)
    std::vector<Line> printed_;  // terminal mode: lines on screen that may still be removed
    std::vector<Line> quietLog_; // quiet mode: the job's lines, written at close
};

// What the light bar's firmware needs after a job, in the command line's words (its commands
// after programName); none when nothing.
std::optional<std::string> firmwareAdvice(const LightBarState& state,
                                          const std::string& programName);
// The line written when the program is stopped at once: what the light bar holds, its backups.
std::string stopLine(const LightBarState& state, const std::string& programName);

} // namespace tessel
