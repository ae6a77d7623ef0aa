#pragma once

#include "app/WindowLayout.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>

namespace tessel::win32 {

struct GdiDeleter {
    void operator()(void* object) const {
        if (object) DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
template <typename Handle> using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;

COLORREF colorOf(const Rgb& rgb);
COLORREF colorOf(Colour colour);
Rgb rgbFrom(COLORREF color);
// A row's named text colour on a background of the system's (a system colour index), where it
// can be read there; the system's text colour (index) otherwise.
COLORREF textColour(Colour named, int background, int systemText);

// A window's device context (the screen's for none), released with the font it had put back.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (font_) SelectObject(dc_, font_);
        ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    void select(HFONT font) {
        HGDIOBJ was = SelectObject(dc_, font);
        if (!font_) font_ = was;
    }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ font_ = nullptr;
};

// The fonts of one window at its DPI, made once each: the design's "MS Sans Serif" is the
// system's dialog font face (as it is when the font is made), its "Courier New" the
// fixed-pitch font of that name.
class FontCache {
public:
    // font: a row's font, its pixels 0 for the window's (windowFont); pixels: instead of the
    // row's (a button's caption made to fit); device pixels at the DPI.
    HFONT font(const Font& font, const Font& windowFont, int dpi, int pixels = 0);
    void clear() { fonts_.clear(); }

private:
    std::map<std::tuple<FontFace, int, bool>, Gdi<HFONT>> fonts_;
};

// The face of the system's dialog font now (Segoe UI, Tahoma under wine).
std::wstring dialogFontFace();

} // namespace tessel::win32
