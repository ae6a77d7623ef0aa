#pragma once

#include "app/JobWindowModel.h"
#include "win32/MessagePump.h"
#include "win32/TopWindow.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessel::win32 {

// The job window: draws a JobWindowModel (the log's lines in their looks in a rich text pane that
// wraps them at its width, the block pane, progress, the four buttons, the layout for the job)
// and forwards the buttons' clicks to it. While a job runs it is modal to the program, and only the job closes it. The
// operator may make it larger than its layout (the panes grow). Enter and Escape are the model's
// keys wherever the focus is: Enter presses OK only where it is the only answer, Escape answers
// Cancel or No.
class TfProgramChip : public TopWindow {
public:
    TfProgramChip(JobWindowModel& model, HWND owner);

    // Brings the window in line with the model.
    void refresh();

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int id) override;
    // Only the job closes the window: the close box and Alt+F4 are refused.
    void closeRequested() override {}
    void restyled() override;

private:
    void refreshLog();
    void showLayout();
    void showVisibility();
    void focusAButton();

    JobWindowModel& model_;
    HWND log_;
    HWND blockPane_;
    std::vector<JobWindowModel::Line> shownLines_;
    std::vector<long> lineStarts_; // where each shown line begins in the log pane
    std::string shownBlock_;
    std::optional<JobLayoutMode> shownLayout_;
    std::unique_ptr<ProgramModal> modal_; // while the window shows
};

} // namespace tessel::win32
