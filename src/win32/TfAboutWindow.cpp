#include "win32/TfAboutWindow.h"

#include "app/Logo.h"
#include "support/VersionInfo.h"
#include "support/Win32Text.h"
#include "win32/Dpi.h"
#include "win32/Gdi.h"
#include "win32/WindowText.h"

#include <shellapi.h>

#include <cmath>

namespace tessel::win32 {

void paintLogo(HDC dc, const RECT& place, int dpi) {
    const int width = place.right - place.left, height = place.bottom - place.top;
    const Logo logo = tesselLogo(width, height);
    const auto at = [&place](double x, double y) {
        return POINT{place.left + static_cast<LONG>(std::lround(x)),
                     place.top + static_cast<LONG>(std::lround(y))};
    };
    const Gdi<HBRUSH> background(CreateSolidBrush(colorOf(logo.background)));
    FillRect(dc, &place, background.get());
    const int saved = SaveDC(dc);
    const Gdi<HPEN> line(
        CreatePen(PS_SOLID, scaled(logo.lineWidth, dpi), colorOf(logo.lineColour)));
    SelectObject(dc, line.get());
    for (const Logo::Line& l : logo.lines) {
        const POINT from = at(l.x1, l.y1), to = at(l.x2, l.y2);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
    }
    SelectObject(dc, GetStockObject(NULL_PEN));
    const int radius = scaled(logo.tileRadius, dpi) * 2;
    for (const Logo::Tile& t : logo.tiles) {
        const Gdi<HBRUSH> fill(CreateSolidBrush(colorOf(t.colour)));
        SelectObject(dc, fill.get());
        const POINT from = at(t.left, t.top), to = at(t.left + t.width, t.top + t.height);
        RoundRect(dc, from.x, from.y, to.x + 1, to.y + 1, radius, radius);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
    }
    FontCache fonts;
    SelectObject(dc, fonts.font({FontFace::Design, 0, true}, {}, dpi, logo.namePixels));
    SetTextCharacterExtra(dc, scaled(logo.nameSpacing, dpi));
    SetTextColor(dc, colorOf(logo.nameColour));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring name = wideFromUtf8(logo.name);
    RECT band{place.left, at(0, logo.nameTop).y, place.right,
              at(0, logo.nameTop + logo.nameHeight).y};
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &band,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
}

TfAboutWindow::TfAboutWindow(const VersionInfo& version, const std::string& settingsPath,
                             std::string webAddress, HWND owner)
    : TopWindow(aboutWindowLayout(), owner), webAddress_(std::move(webAddress)) {
    EnableWindow(control("bVeltraneWebSite"), !webAddress_.empty());
    setText(control("lProgramName"), version.productName());
    setText(control("lVersion"), layout().row("lVersion").caption + version.fileVersion());
    controls().paintImage = [this](std::string_view, HDC dc, const RECT& place) {
        paintLogo(dc, place, dpi());
    };
    if (settingsPath.empty()) return;
    // The bottom line names the settings file in use instead of the notice, shortened in the
    // middle when it does not fit.
    HWND notice = control("lNotice");
    SetWindowLongPtrW(notice, GWL_STYLE, GetWindowLongPtrW(notice, GWL_STYLE) | SS_PATHELLIPSIS);
    setText(notice, settingsLine(settingsPath));
}

void TfAboutWindow::command(std::string_view control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == "bOK") {
        endModal();
    } else if (control == "bVeltraneWebSite") {
        // Opens the page (or the README) and returns at once; whether it opened is not checked.
        const std::wstring address = wideFromUtf8(webAddress_);
        ShellExecuteW(hwnd(), L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void TfAboutWindow::showAbout(const VersionInfo& version, const std::string& settingsPath,
                              const std::string& webAddress, HWND owner) {
    TfAboutWindow window(version, settingsPath, webAddress, owner);
    window.runModal();
}

} // namespace tessel::win32
