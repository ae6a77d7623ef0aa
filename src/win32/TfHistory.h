#pragma once

#include "win32/TopWindow.h"

#include <string>

namespace tessel::win32 {

// "Job History": the last jobs, one line each, in a read-only pane that shows the newest at the
// bottom, and Close (Enter or Escape too). The operator may make it larger; the pane grows.
class TfHistory : public TopWindow {
public:
    TfHistory(const std::string& text, HWND owner);

    // Shows a new window modally and destroys it when it closes.
    static void show(const std::string& text, HWND owner);

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int /*id*/) override { endModal(); }
    void closeRequested() override { endModal(); }
};

} // namespace tessel::win32
