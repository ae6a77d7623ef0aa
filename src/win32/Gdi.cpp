#include "win32/Gdi.h"

#include "win32/Dpi.h"

#include <cwchar>

namespace tessel::win32 {

COLORREF colorOf(const Rgb& rgb) {
    return RGB(static_cast<BYTE>(rgb.red), static_cast<BYTE>(rgb.green),
               static_cast<BYTE>(rgb.blue));
}

COLORREF colorOf(Colour colour) {
    return colorOf(rgbOf(colour));
}

Rgb rgbFrom(COLORREF color) {
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

COLORREF textColour(Colour named, int background, int systemText) {
    return standsOut(named, rgbFrom(GetSysColor(background))) ? colorOf(named)
                                                              : GetSysColor(systemText);
}

std::wstring dialogFontFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0')
        return metrics.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg 2";
}

HFONT FontCache::font(const Font& font, const Font& windowFont, int dpi, int pixels) {
    if (pixels == 0) pixels = scaled(font.pixels != 0 ? font.pixels : windowFont.pixels, dpi);
    const auto key = std::make_tuple(font.face, pixels, font.bold);
    auto& made = fonts_[key];
    if (!made) {
        LOGFONTW f{};
        f.lfHeight = -pixels;
        f.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        f.lfCharSet = DEFAULT_CHARSET;
        f.lfQuality = CLEARTYPE_QUALITY;
        const bool fixed = font.face == FontFace::Fixed;
        f.lfPitchAndFamily =
            static_cast<BYTE>(fixed ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS);
        const std::wstring face = fixed ? L"Courier New" : dialogFontFace();
        std::wcsncpy(f.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        made.reset(CreateFontIndirectW(&f));
    }
    return made.get();
}

} // namespace tessel::win32
