#pragma once

#include "app/WindowLayout.h"
#include "jobs/JobWindow.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// The job window without a toolkit: its lines, panes, progress, buttons, click flags and which of
// its layouts the job uses (jobWindowLayout gives the places).
// The Qt window draws this state (repainting when told of a change) and forwards its button
// clicks; only the job closes it. The questions' waiting loops live here, waiting for the
// toolkit's next input through the given function until a click arrives.
class JobWindowModel final : public JobWindow {
public:
    struct Line {
        LineStyle style;
        std::string text;
        bool operator==(const Line&) const = default;
    };
    // isAdvancedMode: whether the main window is in advanced mode (a job's block pane shows
    // only then). processMessages: lets the toolkit deliver pending input, clicks included, and
    // returns at once. waitForInput: blocks until the toolkit has input, then delivers it.
    JobWindowModel(std::function<bool()> isAdvancedMode, std::function<void()> processMessages,
                   std::function<void()> waitForInput);

    // Called after every change of what the window shows (lines, block text, progress, button
    // visibility, visibility, caption, layout mode), also in the middle of a job.
    void setOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

    // --- JobWindow ---
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
    void processMessages() override;
    void waitForInput() override;
    void close() override;
    void clearClicks() override;
    // After the report, in red: how to put back a block the light bar may have lost, and for a
    // light bar erased without its firmware programmed back in full, that and what to do.
    void jobEnded(const JobSummary& summary) override;

    // --- the buttons' click handlers ---
    void setYesClicked() { yesClicked_ = true; }
    void setNoClicked() { noClicked_ = true; }
    void setOkClicked() { okClicked_ = true; }
    void setCancelClicked() { cancelClicked_ = true; }

    // --- the keyboard ---
    enum class Button { Yes, No, Ok, Cancel };
    // The button Enter presses: OK where it is the only answer ("Click OK to exit"); none at a
    // question with two answers, so nothing is erased by a stray Enter.
    std::optional<Button> enterButton() const;
    // The button Escape presses: Cancel or No wherever one is shown.
    std::optional<Button> escapeButton() const;
    void enterPressed() { press(enterButton()); }
    void escapePressed() { press(escapeButton()); }

    // --- what the window shows ---
    bool visible() const { return visible_; }
    const std::string& caption() const { return caption_; }
    const std::vector<Line>& lines() const { return lines_; }
    const std::string& blockText() const { return blockText_; }
    int progress() const { return progress_; }
    bool progressVisible() const { return progressVisible_; }
    bool yesVisible() const { return yesVisible_; }
    bool noVisible() const { return noVisible_; }
    bool okVisible() const { return okVisible_; }
    bool cancelVisible() const { return cancelVisible_; }
    // The block pane shows only in the design layout.
    JobLayoutMode layoutMode() const { return layoutMode_; }

private:
    static bool take(bool& flag);
    void press(std::optional<Button> button);
    void changed();
    // Waits for input until one of the flags is set or the window is closed.
    void waitForClick(std::initializer_list<const bool*> flags);

    std::function<bool()> isAdvancedMode_;
    std::function<void()> processMessages_;
    std::function<void()> waitForInput_;
    std::function<void()> onChanged_;
    bool visible_ = false;
    std::string caption_;
    std::vector<Line> lines_;
    std::string blockText_;
    int progress_ = 0;
    bool progressVisible_ = false;
    bool yesVisible_ = false, noVisible_ = false, okVisible_ = false, cancelVisible_ = false;
    bool yesClicked_ = false, noClicked_ = false, okClicked_ = false, cancelClicked_ = false;
    JobLayoutMode layoutMode_ = JobLayoutMode::Design;
};

} // namespace tessel
