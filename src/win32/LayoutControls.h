#pragma once

#include "app/WindowLayout.h"
#include "win32/Gdi.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::win32 {

// A window's controls made from its layout rows: each drawn row becomes a child control with its
// caption, hint (a tool tip), font, colour, alignment and flags, named after its row, in row
// order (so Tab follows the rows) with panels, areas and group boxes beneath what they hold.
// Menus and their items go into the window's menu bar. Controls and menu items share one range
// of command ids. The view then wires them by name.
class LayoutControls {
public:
    LayoutControls(HWND window, const WindowLayout& layout);
    // Destroyed after its window.
    ~LayoutControls();
    LayoutControls(const LayoutControls&) = delete;
    LayoutControls& operator=(const LayoutControls&) = delete;

    // A control this set made; an unknown name is a programming error (nullptr in release).
    HWND get(std::string_view name) const;
    // The row name of a control or menu item id, of a control window; empty when none.
    std::string_view nameOf(int id) const;
    std::string_view nameOf(HWND control) const;
    int idOf(std::string_view name) const;
    const ControlRow& row(std::string_view name) const { return layout_.row(name); }
    // The font a control was given at the last placing.
    HFONT font(std::string_view name) const;

    // Moves every control to its place in a layout of this window (its design or another mode)
    // at the DPI, with the fonts for that DPI (a button's a pixel smaller at a time until its
    // caption fits). The controls named in visibility are shown or hidden as that layout says.
    void place(const WindowLayout& layout, int dpi,
               std::initializer_list<std::string_view> visibility = {});
    int dpi() const { return dpi_; }
    // The system's fonts or colours changed: the next place() makes every font again.
    void systemLookChanged() { fontsStale_ = true; }

    // --- menu items (the menu bar's commands and the drop-downs' items) ---
    HMENU menu(std::string_view name) const; // a drop-down of the menu bar
    void setMenuItem(std::string_view name, bool enabled, bool checked = false);
    bool menuItemEnabled(std::string_view name) const;
    bool menuItemChecked(std::string_view name) const;
    bool hasMenuItem(std::string_view name) const;

    // WM_CTLCOLORSTATIC and WM_CTLCOLOREDIT: a label in its colour on the fill of the area it
    // sits on (on the face: where its colour can be read there, else the system's), a text field
    // in the system's input colours while it has the focus and in the face colours otherwise;
    // nullptr leaves a control to the system.
    HBRUSH colours(HDC dc, HWND control);
    // WM_DRAWITEM: panels (raised), areas (their fill) and images; false for anything else.
    bool draw(const DRAWITEMSTRUCT& item);
    // Paints an image row (the about window's logo) into its rectangle.
    std::function<void(std::string_view name, HDC dc, const RECT& place)> paintImage;

private:
    struct Control {
        HWND hwnd = nullptr;
        int id = 0;
        std::wstring hint;
        HFONT font = nullptr;
    };
    void makeControl(const ControlRow& row, int id);
    void makeMenuEntry(const ControlRow& row, int id);
    void addToolTip(const ControlRow& row, Control& control);
    void stackControls();
    HFONT fontFor(const ControlRow& row, const RECT& place, FontCache& fonts) const;
    HBRUSH brushOf(Colour colour);
    Rect absolutePlace(const WindowLayout& layout, std::string_view name) const;

    HWND window_;
    WindowLayout layout_;
    std::map<std::string, Control, std::less<>> controls_;
    std::map<int, std::string> names_;
    std::map<std::string, int, std::less<>> menuIds_;
    std::map<std::string, HMENU, std::less<>> menus_;
    HMENU menuBar_ = nullptr;
    HWND toolTips_ = nullptr;
    FontCache fonts_;
    std::map<Colour, Gdi<HBRUSH>> brushes_;
    int dpi_ = 0;
    bool fontsStale_ = false;
};

} // namespace tessel::win32
