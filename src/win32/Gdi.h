#pragma once

#include "app/WindowLayout.h"

#include <windows.h>

#include <map>
#include <memory>
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

// The fonts of one window at its DPI, made once each: the design's "MS Sans Serif" is the
// system's dialog font face, its "Courier New" the fixed-pitch font of that name.
class FontCache {
public:
    // font: a row's font, its pixels 0 for the window's (windowFont); pixels: instead of the
    // row's (a button's caption made to fit); device pixels at the DPI.
    HFONT font(const Font& font, const Font& windowFont, int dpi, int pixels = 0);
    void clear() { fonts_.clear(); }

private:
    std::map<std::tuple<FontFace, int, bool>, Gdi<HFONT>> fonts_;
};

// The face of the system's dialog font (Segoe UI, Tahoma under wine).
const wchar_t* dialogFontFace();

} // namespace tessel::win32
