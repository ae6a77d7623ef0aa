#include "win32/TfProgramChip.h"

#include "support/Win32Text.h"
#include "win32/Gdi.h"
#include "win32/WindowText.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

namespace tessel::win32 {

namespace {

constexpr const char* kButtons[] = {"bProgOk", "bProgYes", "bProgCancel", "bProgNo"};

long endOf(HWND pane) {
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    DWORD start = 0, end = 0;
    SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<long>(end);
}

// Appends one line in its look at the end of the pane; returns where its text begins.
long appendLine(HWND pane, const JobWindowModel::Line& line, bool first) {
    const long end = endOf(pane);
    const LineLook look = lineLook(line.style);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
    format.crTextColor = colorOf(look.colour);
    format.dwEffects = (look.bold ? CFE_BOLD : 0) | (look.italic ? CFE_ITALIC : 0);
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const std::wstring text = (first ? L"" : L"\r") + wideFromUtf8(line.text);
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    return first ? end : end + 1;
}

} // namespace

TfProgramChip::TfProgramChip(JobWindowModel& model, HWND owner)
    : TopWindow(jobWindowLayout(JobLayoutMode::Design), owner), model_(model),
      log_(control("reProg")), blockPane_(control("reVcbDisplay")) {
    refresh();
}

void TfProgramChip::command(std::string_view control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == "bProgNo")
        model_.setNoClicked();
    else if (control == "bProgYes")
        model_.setYesClicked();
    else if (control == "bProgCancel")
        model_.setCancelClicked();
    else if (control == "bProgOk")
        model_.setOkClicked();
}

void TfProgramChip::refreshLog() {
    const auto& lines = model_.lines();
    // The lines still shown stay as they are; the pane is redrawn from the first that differs.
    const auto keep = static_cast<std::size_t>(
        std::mismatch(shownLines_.begin(), shownLines_.end(), lines.begin(), lines.end()).first -
        shownLines_.begin());
    if (keep == shownLines_.size() && keep == lines.size()) return;
    // Writing at the end scrolls the pane to show a long line's end: the operator's horizontal
    // position is kept, and the pane is drawn once, at the end.
    POINT scroll{};
    SendMessageW(log_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(log_, WM_SETREDRAW, FALSE, 0);
    if (keep < shownLines_.size()) {
        const long from = keep == 0 ? 0 : lineStarts_[keep] - 1; // with the line break before it
        SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(from), -1);
        SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        lineStarts_.resize(keep);
    }
    for (std::size_t i = keep; i < lines.size(); ++i)
        lineStarts_.push_back(appendLine(log_, lines[i], i == 0));
    shownLines_ = lines;
    SendMessageW(log_, WM_VSCROLL, SB_BOTTOM, 0);
    POINT bottom{};
    SendMessageW(log_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&bottom));
    bottom.x = scroll.x;
    SendMessageW(log_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&bottom));
    SendMessageW(log_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(log_, nullptr, TRUE);
}

void TfProgramChip::refresh() {
    if (shownLayout_ != model_.layoutMode()) {
        shownLayout_ = model_.layoutMode();
        applyLayout(jobWindowLayout(model_.layoutMode()));
        ShowWindow(blockPane_, model_.layoutMode() == JobLayoutMode::Design ? SW_SHOWNA : SW_HIDE);
    }
    refreshLog();
    if (model_.blockText() != shownBlock_) {
        shownBlock_ = model_.blockText();
        setText(blockPane_, shownBlock_);
        SendMessageW(blockPane_, EM_SETSEL, 0, 0); // the block from its title
        SendMessageW(blockPane_, WM_VSCROLL, SB_TOP, 0);
        SendMessageW(blockPane_, WM_HSCROLL, SB_LEFT, 0);
    }
    HWND progress = control("pbProgrammingProgress");
    SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(model_.progress()), 0);
    ShowWindow(progress, model_.progressVisible() ? SW_SHOWNA : SW_HIDE);
    const bool visible[] = {model_.okVisible(), model_.yesVisible(), model_.cancelVisible(),
                            model_.noVisible()};
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        ShowWindow(control(kButtons[i]), visible[i] ? SW_SHOWNA : SW_HIDE);
    showVisibility();
    focusAButton();
}

void TfProgramChip::showVisibility() {
    const bool shown = IsWindowVisible(hwnd()) != FALSE;
    if (model_.visible()) setCaption(model_.caption());
    if (model_.visible() && !shown) {
        centre();
        modal_ = std::make_unique<ProgramModal>(hwnd()); // the other windows wait for the job
        ShowWindow(hwnd(), SW_SHOW);
        SetForegroundWindow(hwnd());
    } else if (!model_.visible() && shown) {
        modal_.reset(); // enabled again before this one hides
        ShowWindow(hwnd(), SW_HIDE);
    }
}

// Keyboard users answer a question with Tab and Space: the focus stays on a shown button.
void TfProgramChip::focusAButton() {
    if (!model_.visible()) return;
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus) && IsWindowVisible(focus)) return;
    for (const char* name : kButtons)
        if (IsWindowVisible(control(name))) {
            SetFocus(control(name));
            return;
        }
}

} // namespace tessel::win32
