#include "cli/ConsoleJobWindow.h"

#include "cli/StopSignals.h"

#include <istream>
#include <ostream>

namespace tessel {

namespace {
const char* colourOf(LineStyle style) {
    switch (style) {
    case LineStyle::Error: return "\x1b[1;31m";    // red, bold
    case LineStyle::Progress: return "\x1b[3;34m"; // blue, italic
    case LineStyle::Success: return "\x1b[32m";    // green
    case LineStyle::Plain: break;
    }
    return "";
}

// A held line is one a job may still take back: a step in progress or a prompt.
bool removable(LineStyle style) { return style == LineStyle::Progress; }
} // namespace

ConsoleJobWindow::ConsoleJobWindow(CliEnvironment& env, AnswerPolicy policy, bool advanced,
                                   bool quiet)
    : env_(env), policy_(policy), advanced_(advanced), quiet_(quiet) {}

std::optional<std::string> firmwareAdvice(const LightBarState& state,
                                          const std::string& programName) {
    const std::string command = programName + " program-code FILE";
    if (state.firmwareOr)
        return "the light bar's firmware may have been erased: program it with " + command;
    switch (state.firmware) {
    case LightBarState::Firmware::Erased:
        return "the light bar's firmware was erased: program it with " + command;
    case LightBarState::Firmware::Incomplete:
        return "the light bar's firmware is incomplete: program it with " + command;
    case LightBarState::Firmware::Programmed:
        return "the light bar's firmware was programmed and its verify did not finish: check it "
               "with " + programName + " verify-code FILE";
    case LightBarState::Firmware::Unchanged:
    case LightBarState::Firmware::Complete: break;
    }
    return std::nullopt;
}

namespace {
std::string blockLine(const LightBarState& state) {
    using Block = LightBarState::Block;
    if (state.blockOr)
        return std::string("the light bar holds ") + blockWords(*state.blockOr) + " or " +
               blockWords(state.block);
    switch (state.block) {
    case Block::Unchanged: return "the light bar's VCB is as it was";
    case Block::Old: return "the light bar still holds its old VCB";
    case Block::New: return "the light bar holds the new VCB, not verified";
    case Block::Mixed: return "the light bar holds the new VCB with old lines still in it";
    case Block::Verified: return "the light bar's VCB is in place";
    case Block::Differs: return "the light bar's VCB differs from the one written";
    case Block::Lost: break;
    }
    return "the light bar holds no valid VCB";
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

// The command that puts the backups back, as the restore command takes them.
std::string restoreCommand(const std::vector<std::string>& backups,
                           const std::string& programName) {
    return programName + " restore " + joined(backups);
}
} // namespace

std::string stopLine(const LightBarState& state, const std::string& programName) {
    std::string line = "tessel: stopped at once: ";
    if (const auto firmware = firmwareAdvice(state, programName)) line += *firmware + "; ";
    line += blockLine(state);
    if (state.backupBlockFile.empty()) return line;
    if (state.restoreNeeded())
        return line + ": put it back with " + restoreCommand(state.backupFiles(), programName);
    return line + "; backups: " + joined(state.backupFiles());
}

void ConsoleJobWindow::showForJob(const std::string& title, bool withBlockPane) {
    stopsignals::setStopLine(stopLine(LightBarState{}, env_.programName));
    stopsignals::setJobRunning(true);
    withBlockPane_ = withBlockPane;
    progressVisible_ = false;
    held_.clear();
    printed_.clear();
    quietLog_.clear();
    if (!quiet_) emit({LineStyle::Plain, title});
}

void ConsoleJobWindow::emit(const Line& line) {
    clearProgressBar();
    if (env_.errIsTerminal && line.style != LineStyle::Plain)
        env_.err << colourOf(line.style) << line.text << "\x1b[0m\n";
    else
        env_.err << line.text << '\n';
    env_.err.flush();
    if (env_.errIsTerminal) printed_.push_back(line);
}

void ConsoleJobWindow::flushHeld() {
    for (const auto& line : held_) emit(line);
    held_.clear();
}

void ConsoleJobWindow::appendLine(LineStyle style, const std::string& text) {
    if (quiet_) {
        quietLog_.push_back({style, text});
        return;
    }
    if (env_.errIsTerminal) {
        emit({style, text});
        return;
    }
    flushHeld(); // whatever came before this line was not taken back
    if (removable(style))
        held_.push_back({style, text});
    else
        emit({style, text});
}

void ConsoleJobWindow::removeLastLine() {
    if (quiet_) {
        if (!quietLog_.empty()) quietLog_.pop_back();
        return;
    }
    if (!held_.empty()) {
        held_.pop_back();
        return;
    }
    if (env_.errIsTerminal && !printed_.empty()) {
        clearProgressBar();
        env_.err << "\x1b[1A\x1b[2K"; // cursor up one line, erase it
        env_.err.flush();
        printed_.pop_back();
    }
    // A line already written to a pipe cannot be taken back; only non-progress lines get there.
}

void ConsoleJobWindow::showBlock(std::string_view text) {
    if (!withBlockPane_ || !advanced_ || quiet_) return;
    flushHeld();
    clearProgressBar();
    const auto end = text.find('\0');
    std::string_view block = text.substr(0, end);
    // The block text has CR LF line ends; the console writes plain lines.
    std::size_t start = 0;
    while (start < block.size()) {
        std::size_t eol = block.find_first_of("\r\n", start);
        if (eol == std::string_view::npos) eol = block.size();
        env_.err << "  | " << block.substr(start, eol - start) << '\n';
        start = eol;
        if (start < block.size() && block[start] == '\r') ++start;
        if (start < block.size() && block[start] == '\n') ++start;
    }
    env_.err.flush();
    printed_.clear(); // lines above the block are no longer "the last line"
}

void ConsoleJobWindow::setProgress(int percent) {
    if (!progressVisible_ || !env_.errIsTerminal || quiet_) return;
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    constexpr int width = 40;
    const int filled = percent * width / 100;
    env_.err << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << percent
             << "%";
    env_.err.flush();
    progressDrawn_ = true;
}

void ConsoleJobWindow::clearProgressBar() {
    if (!progressDrawn_) return;
    env_.err << "\r\x1b[2K";
    env_.err.flush();
    progressDrawn_ = false;
}

void ConsoleJobWindow::showAbortControls() { progressVisible_ = true; }

void ConsoleJobWindow::setRewritingBlock(bool rewriting) { stopsignals::setRewriting(rewriting); }

void ConsoleJobWindow::lightBarStateChanged(const LightBarState& state) {
    stopsignals::setStopLine(stopLine(state, env_.programName));
}

void ConsoleJobWindow::jobEnded(const JobSummary& summary) {
    if (summary.restoreNeeded)
        errorLine(" Put it back with: " + restoreCommand(summary.backupFiles, env_.programName));
}

bool ConsoleJobWindow::aborted() {
    const bool fromOutside = stopsignals::takeCancel();
    const bool was = cancelRequested_ || fromOutside;
    cancelRequested_ = false;
    return was;
}

bool ConsoleJobWindow::ask(const char* question) {
    switch (policy_) {
    case AnswerPolicy::Yes: return true;
    case AnswerPolicy::No: return false;
    case AnswerPolicy::Ask: break;
    }
    if (!env_.inIsTerminal) return false; // nothing is erased unattended
    flushHeld();
    clearProgressBar();
    env_.err << question << ' ';
    env_.err.flush();
    std::string answer;
    if (!std::getline(env_.in, answer)) return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'o' ||
                               answer[0] == 'O');
}

bool ConsoleJobWindow::askYesNo() {
    const bool yes = ask("Answer [y]es or [n]o:");
    if (!yes) ++answers_.noAnswers;
    return yes;
}

bool ConsoleJobWindow::askOkCancel() {
    const bool ok = !refuseErases_ && ask("Type [o]k to continue or [c]ancel to exit:");
    ++(ok ? answers_.erasesConfirmed : answers_.erasesRefused);
    return ok;
}

void ConsoleJobWindow::waitForOk(const std::string&) {
    // The console never blocks at the end of a job: the prompt would be removed again at once.
}

void ConsoleJobWindow::close() {
    stopsignals::setJobRunning(false);
    clearProgressBar();
    if (quiet_) {
        // Only the job's final lines: its report and its outcome, never the step-by-step log.
        std::size_t first = quietLog_.size();
        while (first > 0 && quietLog_[first - 1].style == LineStyle::Error) --first;
        if (first == quietLog_.size() && first > 0) --first; // a success ends with its outcome
        for (std::size_t i = first; i < quietLog_.size(); ++i) emit(quietLog_[i]);
        quietLog_.clear();
        return;
    }
    flushHeld();
}

} // namespace tessel
