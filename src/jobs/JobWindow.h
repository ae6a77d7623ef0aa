#pragma once

#include "jobs/JobSummary.h"
#include "jobs/LightBarState.h"

#include <string>
#include <string_view>

namespace tessel {

// The four styles of a line in the job log.
enum class LineStyle {
    Plain,    // black: information
    Error,    // red, bold: errors, warnings, the final report
    Progress, // blue, italic: a step in progress, a question or a prompt
    Success,  // green: a step finished well
};

// What a job asks of the window that shows it. The Qt job window, the command line's console
// and the tests' scripted window implement it; the engine never sees anything else of them.
class JobWindow {
public:
    virtual ~JobWindow() = default;

    // Caption, empty panes, progress 0 and hidden, all buttons hidden, then shown (not modal).
    virtual void showForJob(const std::string& title, bool withBlockPane) = 0;
    virtual void appendLine(LineStyle style, const std::string& text) = 0;
    virtual void removeLastLine() = 0;
    // Puts the block text (up to its first zero byte) into the block pane.
    virtual void showBlock(std::string_view text) = 0;
    virtual void setProgress(int percent) = 0;
    // Makes the progress bar and the Cancel button visible.
    virtual void showAbortControls() = 0;
    // Tests and clears the Cancel click.
    virtual bool aborted() = 0;
    // The caller has written the question as a progress line; true for Yes. A window closed
    // or hidden while the question waits answers No.
    virtual bool askYesNo() = 0;
    // The caller has written the prompt as a progress line; true for OK. A window closed or
    // hidden while the question waits answers Cancel.
    virtual bool askOkCancel() = 0;
    // Shows the prompt as a progress line and returns once OK was clicked (or the window was
    // closed meanwhile).
    virtual void waitForOk(const std::string& prompt) = 0;
    // Lets the window system handle pending input and returns at once (the only way clicks
    // arrive during a job). The engine calls it at least every 50 ms of job time.
    virtual void processMessages() = 0;
    // Blocks until the window system has input to handle, then handles it: a window whose
    // questions wait for clicks waits here without using the processor. Windows whose questions
    // answer without waiting (the console, the tests' windows) never need it.
    virtual void waitForInput() {}
    // Hides the window.
    virtual void close() = 0;
    // True from the moment the light bar's block starts being rewritten (the erase, or the
    // first byte of a write without one) until the new block is verified; false after. The job
    // holds a Cancel meanwhile and honours it right after; a window that can be stopped from
    // outside (the console's signals) holds such stops too.
    virtual void setRewritingBlock(bool) {}
    // What the light bar holds now, told before and after each step that changes it: a window
    // that may have to end the program at once says so with it.
    virtual void lightBarStateChanged(const LightBarState&) {}
    // Forgets button clicks made before the job started, so a Cancel clicked after one job's
    // last test cannot abort the next job.
    virtual void clearClicks() {}
    // The job's final report is written; the window may add its own last lines before the
    // operator closes it, in its own words: how to put back a block the light bar may have lost
    // (summary.restoreNeeded), that the light bar holds no complete firmware.
    virtual void jobEnded(const JobSummary&) {}

    void plainLine(const std::string& text) { appendLine(LineStyle::Plain, text); }
    void errorLine(const std::string& text) { appendLine(LineStyle::Error, text); }
    void progressLine(const std::string& text) { appendLine(LineStyle::Progress, text); }
    void successLine(const std::string& text) { appendLine(LineStyle::Success, text); }
};

} // namespace tessel
