#pragma once

#include "jobs/JobWindow.h"
#include "station/BayEvents.h"

#include <functional>
#include <optional>
#include <string>

namespace tessel {

// The job window of a bay's worker: no one watches it, so every line, step and progress point
// becomes an event for the station, and the job's only question (the erase before a unit is
// programmed) is answered OK, since the operator started the unit. A progress line is the
// job's current step; it joins the log only when a line follows it without taking it back.
class EventJobWindow final : public JobWindow {
public:
    using Sink = std::function<void(const BayEvent&)>;
    // What the worker around it does meanwhile.
    struct Hooks {
        std::function<bool()> cancelled{};   // a Cancel for the job came (tested and cleared)
        std::function<void()> messages{};    // the job lets the worker look at its input
        std::function<void(bool)> running{}; // a job starts (true) or ends
        std::function<void(bool)> rewriting{};
        std::function<void(const LightBarState&)> lightBarChanged{};
    };

    EventJobWindow(int bay, Sink sink) : bay_(bay), sink_(std::move(sink)) {}

    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    int bay() const { return bay_; }
    void send(BayEvent event);

    // While quiet (a probe for a new chip) lines are dropped.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    // The backups the last job saved.
    const std::vector<std::string>& backups() const { return backups_; }

    void showForJob(const std::string& title, bool withBlockPane) override;
    void appendLine(LineStyle style, const std::string& text) override;
    void removeLastLine() override;
    void showBlock(std::string_view) override {}
    void setProgress(int percent) override;
    void showAbortControls() override {}
    bool aborted() override { return hooks_.cancelled && hooks_.cancelled(); }
    bool askYesNo() override { return true; }
    bool askOkCancel() override { return true; }
    void waitForOk(const std::string&) override {}
    void processMessages() override {
        if (hooks_.messages) hooks_.messages();
    }
    void close() override;
    void setRewritingBlock(bool rewriting) override {
        if (hooks_.rewriting) hooks_.rewriting(rewriting);
    }
    void lightBarStateChanged(const LightBarState& state) override {
        if (hooks_.lightBarChanged) hooks_.lightBarChanged(state);
    }
    void jobEnded(const JobSummary& summary) override { backups_ = summary.backupFiles; }

private:
    void settleStep(); // the step line stays in the log

    int bay_;
    Sink sink_;
    Hooks hooks_;
    bool quiet_ = false;
    std::optional<std::string> step_; // the progress line shown last, not yet in the log
    int percent_ = -1;
    std::vector<std::string> backups_;
};

} // namespace tessel
