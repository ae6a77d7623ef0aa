#include "win32/TopWindow.h"

#include "support/Win32Text.h"
#include "win32/Dpi.h"
#include "win32/MessagePump.h"
#include "win32/WindowText.h"

#include <exception>
#include <stdexcept>

namespace tessel::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"TesselWindow";
constexpr int kIconResource = 1; // the program's icon in its resources

const wchar_t* windowClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(kIconResource));
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        // The face colour as it is at each painting.
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    return kWindowClass;
}

DWORD styleOf(WindowLayout::Frame frame) {
    // A fixed border: the main window with its system menu and minimise box, the others with a
    // caption only (no system buttons).
    return frame == WindowLayout::Frame::Main
               ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
               : WS_POPUP | WS_CAPTION;
}

} // namespace

void showErrorBox(HWND owner, std::string_view message) {
    const std::wstring text = wideFromUtf8(message);
    MessageBoxW(owner, text.c_str(), L"Tessel", MB_OK | MB_ICONERROR);
}

TopWindow::TopWindow(const WindowLayout& layout, HWND owner) : layout_(layout), placed_(layout) {
    const std::wstring caption = wideFromUtf8(layout.caption);
    const DWORD exStyle = WS_EX_CONTROLPARENT |
                          (layout.frame == WindowLayout::Frame::Dialog ? WS_EX_DLGMODALFRAME : 0);
    CreateWindowExW(exStyle, windowClass(&TopWindow::windowProc), caption.c_str(),
                    styleOf(layout.frame), 0, 0, 0, 0, owner, nullptr, GetModuleHandleW(nullptr),
                    this);
    if (!hwnd_) throw std::runtime_error("The window " + layout.name + " could not be made");
    addNavigableWindow(hwnd_);
    controls_ = std::make_unique<LayoutControls>(hwnd_, layout_);
    controls_->place(placed_, dpiOf(hwnd_));
    fitClient(dpi());
    centre();
}

TopWindow::~TopWindow() {
    if (hwnd_) {
        // No message reaches this object once it goes; the controls go with the window.
        removeNavigableWindow(hwnd_);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    controls_.reset();
}

LRESULT CALLBACK TopWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TopWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TopWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = self->guarded(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed with its owner: the object lives on without a window.
        removeNavigableWindow(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT TopWindow::guarded(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handle(message, wParam, lParam);
    } catch (const std::exception& e) {
        showError(e.what());
    }
    return 0;
}

void TopWindow::commandMessage(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        dialogKey(id);
        return;
    }
    if (controls_) {
        const std::string_view name = controls_->nameOf(id);
        if (!name.empty()) command(name, HIWORD(wParam));
    }
}

// The focus goes back to the control that had it when the window was left (or to the window
// itself when no control can take it, so that its keys still arrive).
void TopWindow::activated(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    HWND focus = lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
                         IsWindowEnabled(lastFocus_)
                     ? lastFocus_
                     : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    SetFocus(focus ? focus : hwnd_);
}

bool TopWindow::smallestSize(MINMAXINFO& info) {
    if (!layoutFor_) return false;
    const WindowLayout smallest = layoutFor_(0, 0);
    const int dpi = this->dpi();
    const SIZE size = windowSizeFor(hwnd_, scaled(smallest.clientWidth, dpi),
                                    scaled(smallest.clientHeight, dpi), dpi);
    info.ptMinTrackSize = {size.cx, size.cy};
    return true;
}

LRESULT TopWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (controls_) {
            if (HBRUSH brush = controls_->colours(reinterpret_cast<HDC>(wParam),
                                                  reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_DRAWITEM:
        if (controls_ && controls_->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_COMMAND: commandMessage(wParam); return 0;
    case WM_ACTIVATE: activated(wParam); return 0;
    case WM_CLOSE: closeRequested(); return 0;
    case WM_SIZE:
        if (layoutFor_ && controls_ && wParam != SIZE_MINIMIZED) resized();
        break;
    case WM_GETMINMAXINFO:
        if (smallestSize(*reinterpret_cast<MINMAXINFO*>(lParam))) return 0;
        break;
    case WM_DPICHANGED:
        dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        if (controls_) lookChanged(message, wParam, lParam);
        break;
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

std::string TopWindow::caption() const {
    return textOf(hwnd_);
}

void TopWindow::setCaption(std::string_view caption) {
    setText(hwnd_, caption);
}

void TopWindow::applyLayout(const WindowLayout& layout) {
    placed_ = layout;
    controls_->place(placed_, dpi());
    fitClient(dpi());
}

void TopWindow::makeResizable(std::function<WindowLayout(int, int)> layoutFor) {
    // Its background is painted round the controls (it holds no group box), never over one
    // that was drawn in its new place first.
    layoutFor_ = std::move(layoutFor);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_THICKFRAME | WS_CLIPCHILDREN);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    fitClient(dpi());
}

SIZE TopWindow::designClientSize() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return {MulDiv(client.right, kDesignDpi, dpi()), MulDiv(client.bottom, kDesignDpi, dpi())};
}

// The controls follow the operator's size; the size is kept for a change of DPI.
void TopWindow::resized() {
    const SIZE size = designClientSize();
    placed_ = layoutFor_(size.cx, size.cy);
    controls_->place(placed_, dpi());
}

void TopWindow::fitClient(int dpi) {
    const int width = scaled(placed_.clientWidth, dpi);
    const int height = scaled(placed_.clientHeight, dpi);
    const SIZE size = windowSizeFor(hwnd_, width, height, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps takes more room than the system reckons with.
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.bottom != height)
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopWindow::dpiChanged(int dpi, const RECT& suggested) {
    if (dpi == this->dpi()) return; // laid out for its monitor before it went there (centre())
    controls_->place(placed_, dpi);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    fitClient(dpi);
    restyled();
}

// The fonts and colours are the system's as they are now. The common controls hear of a colour
// change only from their window.
void TopWindow::lookChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) {
        MSG change{hwnd_, message, wParam, lParam, 0, {}};
        EnumChildWindows(
            hwnd_,
            [](HWND child, LPARAM forwarded) -> BOOL {
                const auto* m = reinterpret_cast<const MSG*>(forwarded);
                SendMessageW(child, m->message, m->wParam, m->lParam);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&change));
    }
    controls_->systemLookChanged();
    controls_->place(placed_, dpi());
    restyled();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// On the monitor of the window it belongs to (its owner; none: its own), laid out at that
// monitor's DPI first.
void TopWindow::centre() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    HWND anchor = owner ? owner : hwnd_;
    if (const int dpi = dpiOf(anchor); dpi != this->dpi()) {
        controls_->place(placed_, dpi);
        fitClient(dpi);
        restyled();
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const RECT& area = monitor.rcWork;
    const int left = area.left + (area.right - area.left - (r.right - r.left)) / 2;
    const int top = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopWindow::focusField(std::string_view name) {
    HWND field = control(name);
    if (!field || !IsWindowEnabled(field) || !IsWindowVisible(field)) return;
    lastFocus_ = field; // also when the window is activated later
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void TopWindow::runModal(std::string_view focusField) {
    if (!layout_.caption.empty()) setCaption(layout_.caption);
    centre();
    {
        ProgramModal modal(hwnd_);
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        if (!focusField.empty()) this->focusField(focusField);
        modalDone_ = false;
        runModalLoop([this] { return modalDone_ || !hwnd_; });
        modalDone_ = true;
    }
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void TopWindow::showError(std::string_view message) const {
    showErrorBox(hwnd_, message);
}

} // namespace tessel::win32
