#include "win32/Dpi.h"

namespace tessel::win32 {

namespace {

// Present from Windows 10 1607 on; looked up so that the program still starts on older systems.
template <typename Function> Function user32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

int dpiOf(HWND window) {
    static const auto getDpiForWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int scaled(int designPixels, int dpi) {
    return MulDiv(designPixels, dpi, kDesignDpi);
}

RECT scaled(const Rect& place, int dpi) {
    const int left = scaled(place.left, dpi);
    const int top = scaled(place.top, dpi);
    return {left, top, left + scaled(place.width, dpi), top + scaled(place.height, dpi)};
}

SIZE windowSizeFor(HWND window, int width, int height, int dpi) {
    static const auto adjustForDpi =
        user32<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    RECT r{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, menu, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace tessel::win32
