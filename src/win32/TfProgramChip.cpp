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

// Appends one line in its look at the end of the pane; returns where its text begins. A colour
// that cannot be read on the system's window colour gives way to the system's text colour
// (the pane's own, which follows the system's).
long appendLine(HWND pane, const JobWindowModel::Line& line, bool first) {
    const long end = endOf(pane);
    const LineLook look = lineLook(line.style);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
    const bool named = standsOut(look.colour, rgbFrom(GetSysColor(COLOR_WINDOW)));
    format.crTextColor = named ? colorOf(look.colour) : 0;
    format.dwEffects = (look.bold ? CFE_BOLD : 0) | (look.italic ? CFE_ITALIC : 0) |
                       (named ? 0 : CFE_AUTOCOLOR);
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const std::wstring text = (first ? L"" : L"\r") + wideFromUtf8(line.text);
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    return first ? end : end + 1;
}

// A line longer than the pane goes on in the next row, indented by kWrapIndentColumns characters
// of the pane's font.
void indentWrappedRows(HWND pane, HFONT font) {
    WindowDc dc(pane);
    dc.select(font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    format.dxOffset = MulDiv(kWrapIndentColumns * metrics.tmAveCharWidth, 1440,
                             GetDeviceCaps(dc.get(), LOGPIXELSX)); // in twips
    SendMessageW(pane, EM_SETSEL, 0, -1);
    SendMessageW(pane, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

// A focused button would take Enter as its own click (and a question's first button is focused):
// the buttons hand Enter and Escape to the window as the dialog manager's OK and Cancel.
LRESULT CALLBACK buttonKeys(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    const auto answerKey = [](WPARAM key) { return key == VK_RETURN || key == VK_ESCAPE; };
    if (message == WM_GETDLGCODE) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(button, message, wParam, lParam);
        if (key && key->message == WM_KEYDOWN && answerKey(key->wParam)) code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (message == WM_KEYDOWN && answerKey(wParam)) {
        SendMessageW(GetParent(button), WM_COMMAND, wParam == VK_RETURN ? IDOK : IDCANCEL, 0);
        return 0;
    }
    if (message == WM_CHAR && (wParam == L'\r' || wParam == 0x1B)) return 0;
    return DefSubclassProc(button, message, wParam, lParam);
}

} // namespace

TfProgramChip::TfProgramChip(JobWindowModel& model, HWND owner)
    : TopWindow(jobWindowLayout(JobLayoutMode::Design), owner), model_(model),
      log_(control("reProg")), blockPane_(control("reVcbDisplay")) {
    for (const char* name : kButtons)
        SetWindowSubclass(control(name), buttonKeys, 1, 0);
    makeResizable([this](int width, int height) {
        return jobWindowLayout(shownLayout_.value_or(JobLayoutMode::Design), width, height);
    });
    refresh();
}

void TfProgramChip::dialogKey(int id) {
    if (id == IDOK) model_.enterPressed();
    if (id == IDCANCEL) model_.escapePressed();
}

// Another job's layout keeps what the operator added to the window's size.
void TfProgramChip::showLayout() {
    const JobLayoutMode mode = model_.layoutMode();
    SIZE grown{0, 0};
    if (shownLayout_) {
        const SIZE now = designClientSize();
        const WindowLayout shown = jobWindowLayout(*shownLayout_);
        grown = {std::max(0L, now.cx - shown.clientWidth), std::max(0L, now.cy - shown.clientHeight)};
    }
    shownLayout_ = mode;
    const WindowLayout design = jobWindowLayout(mode);
    applyLayout(jobWindowLayout(mode, design.clientWidth + static_cast<int>(grown.cx),
                                design.clientHeight + static_cast<int>(grown.cy)));
    ShowWindow(blockPane_, mode == JobLayoutMode::Design ? SW_SHOWNA : SW_HIDE);
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
    // The pane is drawn once, at the end, with the last line in view from its start (a word
    // longer than the pane's width may leave it scrolled across).
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
    indentWrappedRows(log_, controls().font("reProg"));
    SendMessageW(log_, WM_VSCROLL, SB_BOTTOM, 0);
    POINT bottom{};
    SendMessageW(log_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&bottom));
    bottom.x = 0;
    SendMessageW(log_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&bottom));
    SendMessageW(log_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(log_, nullptr, TRUE);
}

// The lines are written again in the colours (and indent) that hold now.
void TfProgramChip::restyled() {
    SetWindowTextW(log_, L"");
    shownLines_.clear();
    lineStarts_.clear();
    refreshLog();
}

void TfProgramChip::refresh() {
    if (shownLayout_ != model_.layoutMode()) showLayout();
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
