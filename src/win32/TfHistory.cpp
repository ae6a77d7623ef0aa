#include "win32/TfHistory.h"

#include "win32/WindowText.h"

namespace tessel::win32 {

TfHistory::TfHistory(const std::string& text, HWND owner)
    : TopWindow(historyWindowLayout(), owner) {
    makeResizable(historyWindowLayout);
    HWND pane = control("reHistory");
    setText(pane, withCrLf(text));
    // The newest jobs in view, each line from its start.
    SendMessageW(pane, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(pane, WM_HSCROLL, SB_LEFT, 0);
}

void TfHistory::command(std::string_view control, WORD code) {
    if (control == "bHistoryClose" && code == BN_CLICKED) endModal();
}

void TfHistory::show(const std::string& text, HWND owner) {
    TfHistory history(text, owner);
    history.runModal();
}

} // namespace tessel::win32
