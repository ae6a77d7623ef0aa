#pragma once

#include "app/WindowLayout.h"

#include <windows.h>

namespace tessel::win32 {

// The layouts' pixels are pixels at 96 dots per inch; a window shows them at its monitor's DPI
// (the program declares itself per-monitor aware in its manifest).
inline constexpr int kDesignDpi = 96;

// The window's DPI: its monitor's on Windows 10 and later, the system's before.
int dpiOf(HWND window);
int scaled(int designPixels, int dpi);
RECT scaled(const Rect& place, int dpi);
// The window size whose client area is width by height device pixels, with the window's frame
// and menu bar at that DPI.
SIZE windowSizeFor(HWND window, int width, int height, int dpi);

} // namespace tessel::win32
