#pragma once

#include "app/WindowLayout.h"
#include "win32/LayoutControls.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tessel::win32 {

// The program's standard error box: the message, "Tessel" as caption, OK.
void showErrorBox(HWND owner, std::string_view message);

// What every window of the program shares: made from its layout (frame, caption, font, controls)
// at its monitor's DPI, placed again when the DPI changes, centred on the main window's monitor,
// the layout's colours, fonts and colours made again when the system's change, commands
// delivered by control name, keyboard navigation through the dialog manager, and a modal loop.
// An exception out of a handler shows in the standard error box.
class TopWindow {
public:
    // owner: the window this one stays above (the main window for its dialogs), or none.
    TopWindow(const WindowLayout& layout, HWND owner);
    virtual ~TopWindow();
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND control(std::string_view name) const { return controls_->get(name); }
    LayoutControls& controls() { return *controls_; }
    const WindowLayout& layout() const { return layout_; }
    int dpi() const { return controls_->dpi(); }

    std::string caption() const;
    void setCaption(std::string_view caption);
    // Centred on the work area of the main window's monitor (its owner's; the main window: its
    // own), at that monitor's DPI.
    void centre();

    // Shows the window captioned as its layout says, modal to the program (every other window
    // disabled) until endModal(); then hides it. A named field gets the focus with its text
    // selected (the field a command stopped at).
    void runModal(std::string_view focusField = {});
    // Focuses the control and selects its text, when it can take the focus.
    void focusField(std::string_view name);
    void endModal() { modalDone_ = true; }

    // The program's standard error box over this window.
    void showError(std::string_view message) const;

protected:
    // Every message of the window; overrides hand what they leave to this one.
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A control's notification or a menu item, by its row name (code: the notification).
    virtual void command(std::string_view /*control*/, WORD /*code*/) {}
    // Enter (IDOK) or Escape (IDCANCEL) as the dialog manager reports them.
    virtual void dialogKey(int /*id*/) {}
    // The close box, Alt+F4 or a WM_CLOSE: refused unless a window says otherwise.
    virtual void closeRequested() {}
    // The window's DPI or the system's colours, fonts or theme changed; the controls have their
    // new fonts already.
    virtual void restyled() {}

    // Places the controls as the layout (this window's, or one of its modes) says and gives the
    // client area its size, at the window's DPI; kept for a change of DPI.
    void applyLayout(const WindowLayout& layout);
    // Lets the operator resize the window: layoutFor(clientWidth, clientHeight) in design pixels
    // places the controls at every size (each drawn in its new place at once), and its size at
    // (0, 0) is the smallest the window takes.
    void makeResizable(std::function<WindowLayout(int, int)> layoutFor);
    // The client area in design pixels.
    SIZE designClientSize() const;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT guarded(UINT message, WPARAM wParam, LPARAM lParam);
    void fitClient(int dpi);
    void dpiChanged(int dpi, const RECT& suggested);
    void lookChanged(UINT message, WPARAM wParam, LPARAM lParam);
    void resized();
    // Parts of handle(): a WM_COMMAND, a WM_ACTIVATE, and a resizable window's smallest size
    // (false: the window is not resizable).
    void commandMessage(WPARAM wParam);
    void activated(WPARAM wParam);
    bool smallestSize(MINMAXINFO& info);

    WindowLayout layout_;
    WindowLayout placed_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<LayoutControls> controls_;
    HWND lastFocus_ = nullptr;
    bool modalDone_ = true;
    std::function<WindowLayout(int, int)> layoutFor_; // a resizable window's layouts
};

} // namespace tessel::win32
