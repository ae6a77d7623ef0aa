#include "win32/LayoutControls.h"

#include "support/Win32Text.h"
#include "win32/Dpi.h"
#include "win32/WindowText.h"

#include <commctrl.h>
#include <richedit.h>

#include <cassert>

namespace tessel::win32 {

namespace {

constexpr int kFirstId = 100; // above IDOK, IDCANCEL and the other dialog ids

bool holdsOthers(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::Area || kind == ControlKind::GroupBox;
}

bool isMenuRow(const ControlRow& row) {
    return row.kind >= ControlKind::Menu;
}

DWORD alignment(const ControlRow& row) {
    if (row.kind == ControlKind::Edit)
        return row.align == Align::Centre  ? ES_CENTER
               : row.align == Align::Right ? ES_RIGHT
                                           : ES_LEFT;
    // A label of one line sits in the middle of its height; one of several lines is not wrapped.
    const bool oneLine = row.caption.find('\n') == std::string::npos;
    const DWORD middle = oneLine ? SS_CENTERIMAGE : 0;
    switch (row.align) {
    case Align::Centre: return SS_CENTER | middle;
    case Align::Right: return SS_RIGHT;
    case Align::Left: break;
    }
    return oneLine ? SS_LEFT | SS_CENTERIMAGE : SS_LEFTNOWORDWRAP;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

// The system control of a row, with the styles of its kind and flags.
ControlClass controlClass(const ControlRow& row) {
    const bool tabStop = !row.has(ControlRow::NoTabStop) && !row.has(ControlRow::NoFocus);
    const DWORD tab = tabStop ? WS_TABSTOP : 0;
    const DWORD notify = row.hint.empty() ? 0 : SS_NOTIFY; // tool tips need the mouse
    switch (row.kind) {
    case ControlKind::Panel:
    case ControlKind::Area:
    case ControlKind::Image: return {L"STATIC", SS_OWNERDRAW | notify, 0};
    case ControlKind::Label:
        return {L"STATIC", alignment(row) | SS_NOPREFIX | notify | WS_GROUP, 0};
    case ControlKind::Edit: {
        DWORD style = ES_AUTOHSCROLL | alignment(row) | tab | WS_GROUP;
        if (row.has(ControlRow::ReadOnly)) style |= ES_READONLY;
        if (row.has(ControlRow::NoFocus)) style |= WS_DISABLED;
        return {L"EDIT", style, row.has(ControlRow::Borderless) ? 0u : DWORD{WS_EX_CLIENTEDGE}};
    }
    case ControlKind::Button:
        return {L"BUTTON",
                (row.has(ControlRow::DefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tab |
                    WS_GROUP,
                0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | tab | WS_GROUP, 0};
    case ControlKind::RadioButton:
        // The first button of a row starts its group; Tab reaches the group there.
        return {L"BUTTON",
                BS_AUTORADIOBUTTON |
                    (row.has(ControlRow::GroupStart) ? DWORD{WS_GROUP} | tab : DWORD{0}),
                0};
    case ControlKind::GroupBox: return {L"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case ControlKind::TextBox:
        return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_GROUP,
                WS_EX_CLIENTEDGE};
    case ControlKind::RichText: {
        // A pane that wraps its lines at its width scrolls only down, when it needs to.
        const DWORD scrolling = row.has(ControlRow::WrapLines)
                                    ? DWORD{0}
                                    : DWORD{ES_AUTOHSCROLL | WS_HSCROLL | ES_DISABLENOSCROLL};
        return {MSFTEDIT_CLASS,
                ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_GROUP | scrolling,
                WS_EX_CLIENTEDGE};
    }
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, WS_GROUP, 0};
    case ControlKind::Menu:
    case ControlKind::MenuItem:
    case ControlKind::MenuSeparator: break;
    }
    return {L"STATIC", 0, 0};
}

// The rich text class lives in Msftedit.dll, loaded once for the program's life.
void loadRichText() {
    static const HMODULE module = LoadLibraryW(L"Msftedit.dll");
    (void)module;
}

} // namespace

LayoutControls::LayoutControls(HWND window, const WindowLayout& layout)
    : window_(window), layout_(layout) {
    int id = kFirstId;
    for (const ControlRow& row : layout_.rows) {
        if (row.has(ControlRow::Unseen)) continue;
        if (isMenuRow(row))
            makeMenuEntry(row, id);
        else
            makeControl(row, id);
        names_.emplace(id++, row.name);
    }
    if (menuBar_) SetMenu(window_, menuBar_);
    stackControls();
}

// The controls and the tool tips go with their window, before the fonts and brushes they use.
LayoutControls::~LayoutControls() = default;

void LayoutControls::makeControl(const ControlRow& row, int id) {
    if (row.kind == ControlKind::RichText) loadRichText();
    const ControlClass made = controlClass(row);
    const DWORD visible = row.has(ControlRow::Hidden) ? 0 : WS_VISIBLE;
    const bool hasCaption = row.kind != ControlKind::Edit && row.kind != ControlKind::RichText;
    const std::wstring caption =
        hasCaption
            ? wideFromUtf8(row.kind == ControlKind::TextBox ? withCrLf(row.caption) : row.caption)
            : std::wstring();
    HWND hwnd = CreateWindowExW(made.exStyle, made.name, caption.c_str(),
                                WS_CHILD | WS_CLIPSIBLINGS | visible | made.style, 0, 0, 0, 0,
                                window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    assert(hwnd && "a control the system could not make");
    if (row.kind == ControlKind::Edit && row.maxLength > 0)
        SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(row.maxLength), 0);
    if (row.kind == ControlKind::ProgressBar) SendMessageW(hwnd, PBM_SETRANGE32, 0, 100);
    if (row.has(ControlRow::WrapLines)) SendMessageW(hwnd, EM_SETTARGETDEVICE, 0, 0); // its width
    Control& control = controls_[row.name];
    control.hwnd = hwnd;
    control.id = id;
    if (!row.hint.empty() && !row.has(ControlRow::NoToolTip)) addToolTip(row, control);
}

void LayoutControls::addToolTip(const ControlRow& row, Control& control) {
    if (!toolTips_)
        toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    control.hint = wideFromUtf8(row.hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
    tool.lpszText = control.hint.data();
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void LayoutControls::makeMenuEntry(const ControlRow& row, int id) {
    if (!menuBar_) menuBar_ = CreateMenu();
    menuIds_.emplace(row.name, id);
    if (row.has(ControlRow::Hidden)) return; // not offered in this mode
    const std::wstring caption = wideFromUtf8(row.caption);
    HMENU parent = row.parent.empty() ? menuBar_ : menus_.at(row.parent);
    switch (row.kind) {
    case ControlKind::Menu: {
        HMENU dropDown = CreatePopupMenu();
        menus_.emplace(row.name, dropDown);
        AppendMenuW(menuBar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                    caption.c_str());
        break;
    }
    case ControlKind::MenuSeparator: AppendMenuW(parent, MF_SEPARATOR, 0, nullptr); break;
    default: AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str()); break;
    }
}

// Tab and the dialog manager walk the controls from the top of the stack down: the rows in their
// order on top, the panels, areas and group boxes (inner ones first) beneath everything.
void LayoutControls::stackControls() {
    std::vector<HWND> holders;
    for (const ControlRow& row : layout_.rows) {
        const auto it = controls_.find(row.name);
        if (it == controls_.end()) continue;
        if (holdsOthers(row.kind))
            holders.insert(holders.begin(), it->second.hwnd);
        else
            SetWindowPos(it->second.hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (HWND holder : holders)
        SetWindowPos(holder, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND LayoutControls::get(std::string_view name) const {
    const auto it = controls_.find(name);
    assert(it != controls_.end() && "a control the layout does not draw");
    return it == controls_.end() ? nullptr : it->second.hwnd;
}

HFONT LayoutControls::font(std::string_view name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second.font;
}

std::string_view LayoutControls::nameOf(int id) const {
    const auto it = names_.find(id);
    return it == names_.end() ? std::string_view() : std::string_view(it->second);
}

std::string_view LayoutControls::nameOf(HWND control) const {
    for (const auto& [name, c] : controls_)
        if (c.hwnd == control) return name;
    return {};
}

int LayoutControls::idOf(std::string_view name) const {
    if (const auto it = controls_.find(name); it != controls_.end()) return it->second.id;
    const auto it = menuIds_.find(name);
    return it == menuIds_.end() ? 0 : it->second;
}

Rect LayoutControls::absolutePlace(const WindowLayout& layout, std::string_view name) const {
    Rect place = layout.row(name).place;
    for (std::string_view parent = layout.row(name).parent; !parent.empty();
         parent = layout.row(parent).parent) {
        place.left += layout.row(parent).place.left;
        place.top += layout.row(parent).place.top;
    }
    return place;
}

HFONT LayoutControls::fontFor(const ControlRow& row, const RECT& place, FontCache& fonts) const {
    const Font& windowFont = layout_.font;
    if (row.kind != ControlKind::Button) return fonts.font(row.font, windowFont, dpi_);
    // A caption a pixel smaller at a time until it fits the button (its "&" draws no room).
    const std::wstring caption = wideFromUtf8(plainCaption(row.caption));
    WindowDc dc(window_);
    int pixels = scaled(row.font.pixels != 0 ? row.font.pixels : windowFont.pixels, dpi_);
    HFONT font = fonts.font(row.font, windowFont, dpi_, pixels);
    for (;;) {
        SIZE extent{};
        dc.select(font);
        GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        if (pixels <= scaled(kSmallestCaptionPixels, dpi_) ||
            extent.cx + scaled(kButtonPadding, dpi_) <= place.right - place.left)
            break;
        font = fonts.font(row.font, windowFont, dpi_, --pixels);
    }
    return font;
}

void LayoutControls::place(const WindowLayout& layout, int dpi,
                           std::initializer_list<std::string_view> visibility) {
    // The new fonts are set before the old ones go.
    FontCache fonts;
    const bool newFonts = dpi != dpi_ || fontsStale_;
    dpi_ = dpi;
    fontsStale_ = false;
    // A control drawn in its new place by itself, not from bits copied from the old one (which
    // a growing window may not have painted yet).
    for (auto& [name, control] : controls_) {
        const RECT r = scaled(absolutePlace(layout, name), dpi);
        SetWindowPos(control.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        if (newFonts) {
            control.font = fontFor(layout_.row(name), r, fonts);
            SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), TRUE);
        }
    }
    if (newFonts) std::swap(fonts_, fonts);
    for (std::string_view name : visibility)
        ShowWindow(get(name), layout.row(name).has(ControlRow::Hidden) ? SW_HIDE : SW_SHOWNA);
}

HMENU LayoutControls::menu(std::string_view name) const {
    const auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

bool LayoutControls::hasMenuItem(std::string_view name) const {
    return menuBar_ && GetMenuState(menuBar_, static_cast<UINT>(idOf(name)), MF_BYCOMMAND) !=
                           static_cast<UINT>(-1);
}

void LayoutControls::setMenuItem(std::string_view name, bool enabled, bool checked) {
    if (!hasMenuItem(name)) return; // hidden in this mode
    const auto id = static_cast<UINT>(idOf(name));
    const UINT state = GetMenuState(menuBar_, id, MF_BYCOMMAND);
    const bool wasEnabled = (state & (MF_DISABLED | MF_GRAYED)) == 0;
    EnableMenuItem(menuBar_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (layout_.row(name).has(ControlRow::Checkable))
        CheckMenuItem(menuBar_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    // A command of the menu bar itself shows its new state only when the bar is drawn again.
    if (wasEnabled != enabled && layout_.row(name).parent.empty()) DrawMenuBar(window_);
}

bool LayoutControls::menuItemEnabled(std::string_view name) const {
    return hasMenuItem(name) &&
           (GetMenuState(menuBar_, static_cast<UINT>(idOf(name)), MF_BYCOMMAND) &
            (MF_DISABLED | MF_GRAYED)) == 0;
}

bool LayoutControls::menuItemChecked(std::string_view name) const {
    return hasMenuItem(name) &&
           (GetMenuState(menuBar_, static_cast<UINT>(idOf(name)), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

HBRUSH LayoutControls::brushOf(Colour colour) {
    if (colour == Colour::Default) return GetSysColorBrush(COLOR_BTNFACE);
    auto& brush = brushes_[colour];
    if (!brush) brush.reset(CreateSolidBrush(colorOf(colour)));
    return brush.get();
}

HBRUSH LayoutControls::colours(HDC dc, HWND control) {
    const std::string_view name = nameOf(control);
    if (name.empty()) return nullptr;
    const ControlRow& r = layout_.row(name);
    if (r.kind == ControlKind::Edit) {
        // The system's input colours (white in the classic scheme) while it takes input; the
        // face colours otherwise, also read-only or disabled. Text and fill always as a pair.
        const bool input =
            GetFocus() == control && (GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) == 0;
        const int fill = input ? COLOR_WINDOW : COLOR_BTNFACE;
        SetTextColor(dc, GetSysColor(input ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(fill));
        return GetSysColorBrush(fill);
    }
    if (r.kind != ControlKind::Label) return nullptr;
    // A label on a coloured area takes the area's fill and its own colour with it; one on the
    // face its colour where it can be read there.
    const Colour fill = r.parent.empty() || layout_.row(r.parent).kind != ControlKind::Area
                            ? Colour::Default
                            : layout_.row(r.parent).colour;
    if (fill == Colour::Default) {
        SetTextColor(dc, textColour(r.colour, COLOR_BTNFACE, COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    } else {
        SetTextColor(dc, colorOf(r.colour));
        SetBkColor(dc, colorOf(fill));
    }
    return brushOf(fill);
}

bool LayoutControls::draw(const DRAWITEMSTRUCT& item) {
    const std::string_view name = nameOf(item.hwndItem);
    if (name.empty()) return false;
    const ControlRow& r = layout_.row(name);
    RECT rect = item.rcItem;
    switch (r.kind) {
    case ControlKind::Panel:
        FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(item.hDC, &rect, BDR_RAISEDINNER, BF_RECT);
        return true;
    case ControlKind::Area: FillRect(item.hDC, &rect, brushOf(r.colour)); return true;
    case ControlKind::Image:
        if (paintImage) paintImage(name, item.hDC, rect);
        return true;
    default: return false;
    }
}

} // namespace tessel::win32
