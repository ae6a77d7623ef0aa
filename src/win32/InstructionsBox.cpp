#include "win32/InstructionsBox.h"

#include "app/Instructions.h"
#include "support/Win32Text.h"
#include "win32/Dpi.h"
#include "win32/Gdi.h"

#include <commdlg.h>

#include <stdexcept>

namespace tessel::win32 {

namespace {

// The layout's rows give the margin round the body and the button's size; the body's size is
// its text's, measured in its font.
WindowLayout measuredLayout(std::string_view programName) {
    WindowLayout layout = instructionsBoxLayout(programName);
    ControlRow& body = layout.row("lInstructionsBody");
    ControlRow& ok = layout.row("bOK");
    const int margin = body.place.left;
    FontCache fonts;
    WindowDc dc(nullptr); // gone before the font
    dc.select(fonts.font(body.font, layout.font, kDesignDpi));
    const std::wstring text = wideFromUtf8(body.caption);
    RECT extent{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    body.place.width = extent.right;
    body.place.height = extent.bottom;
    layout.clientWidth = body.place.width + 2 * margin;
    ok.place.left = (layout.clientWidth - ok.place.width) / 2;
    ok.place.top = body.place.top + body.place.height + margin;
    layout.clientHeight = ok.place.top + ok.place.height + margin;
    return layout;
}

struct PrinterDc {
    HDC dc = nullptr;
    ~PrinterDc() {
        if (dc) DeleteDC(dc);
    }
};

} // namespace

InstructionsBox::InstructionsBox(HWND owner, std::string_view programName)
    : TopWindow(measuredLayout(programName), owner) {}

void InstructionsBox::command(std::string_view control, WORD code) {
    if (control == "bOK" && code == BN_CLICKED) endModal();
}

void InstructionsBox::show(HWND owner, std::string_view programName) {
    InstructionsBox box(owner, programName);
    box.runModal();
}

void drawInstructionsPage(HDC dc, std::string_view body) {
    const int resolution = GetDeviceCaps(dc, LOGPIXELSY);
    const std::wstring face = wideFromUtf8(kPrintFontFamily);
    const int saved = SaveDC(dc);
    SetTextAlign(dc, TA_LEFT | TA_TOP); // each text placed by its top-left corner
    SetBkMode(dc, TRANSPARENT);
    for (const PrintedText& text : instructionsPage(resolution, body)) {
        const Gdi<HFONT> font(CreateFontW(
            -MulDiv(kPrintFontPoints, resolution, 72), 0, 0, 0, text.heading ? FW_BOLD : FW_NORMAL,
            text.heading, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
            DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face.c_str()));
        SelectObject(dc, font.get());
        const std::wstring line = wideFromUtf8(text.text);
        TextOutW(dc, text.left, text.top, line.c_str(), static_cast<int>(line.size()));
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
    }
    RestoreDC(dc, saved);
}

void printInstructions(HWND owner, const std::string& title, std::string_view body) {
    PRINTDLGW request{};
    request.lStructSize = sizeof request;
    request.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&request))
        throw std::runtime_error("There is no default printer currently selected");
    // The dialog opens on the default printer; Cancel prints nothing.
    request.hwndOwner = owner;
    request.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    PrinterDc printer;
    const BOOL chosen = PrintDlgW(&request);
    printer.dc = request.hDC;
    if (!chosen || !printer.dc) {
        if (request.hDevMode) GlobalFree(request.hDevMode);
        if (request.hDevNames) GlobalFree(request.hDevNames);
        return;
    }
    if (request.hDevMode) {
        if (auto* mode = static_cast<DEVMODEW*>(GlobalLock(request.hDevMode))) {
            mode->dmFields |= DM_ORIENTATION;
            mode->dmOrientation = DMORIENT_PORTRAIT;
            ResetDCW(printer.dc, mode);
            GlobalUnlock(request.hDevMode);
        }
        GlobalFree(request.hDevMode);
    }
    if (request.hDevNames) GlobalFree(request.hDevNames);

    const std::wstring name = wideFromUtf8(title);
    DOCINFOW document{};
    document.cbSize = sizeof document;
    document.lpszDocName = name.c_str();
    if (StartDocW(printer.dc, &document) <= 0)
        throw std::runtime_error("The printer could not be started");
    StartPage(printer.dc);
    drawInstructionsPage(printer.dc, body);
    EndPage(printer.dc);
    EndDoc(printer.dc);
}

} // namespace tessel::win32
