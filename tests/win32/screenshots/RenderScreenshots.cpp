// Renders the Win32 windows to bitmaps for a look beside the Qt ones: the main window in both
// modes, the job window in the middle of a job, the options, scales, tilt calibration and about
// windows and the instructions box, on a virtual light bar. Each window is copied from the screen,
// so under wine's virtual desktop (scripts/windows-screenshots) its caption and frame show too.
//
// Usage: render_screenshots OUTDIR
#include "Win32Bench.h"

#include "app/StationScenes.h"
#include "app/TiltRecordBytes.h"
#include "win32/InstructionsBox.h"
#include "win32/TfAboutWindow.h"
#include "win32/TfAdv.h"
#include "win32/TfHistory.h"
#include "win32/TfScales.h"
#include "win32/TfStation.h"
#include "win32/TfTiltTempCal.h"

#include <commctrl.h>

#include <cstdio>
#include <iostream>

using namespace tessel;
using namespace tessel::testing;

namespace {

std::string outDir;

// Lets the windows (and wine's display) draw what they were told for a while.
void settle(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        win32::processPendingMessages();
    }
}

bool writeBitmap(HDC dc, HBITMAP bitmap, int width, int height, const std::string& path) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height; // top row first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) *
                                      static_cast<std::size_t>(height));
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

// The window on top, drawn, then copied from the screen into NAME.bmp.
bool save(HWND window, const char* name) {
    SetCursorPos(0, 0); // no control lit up by the pointer
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    settle(400);
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const std::string path = outDir + "/" + name + ".bmp";
    const bool saved = writeBitmap(memory, bitmap, width, height, path);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::cout << (saved ? "" : "render_screenshots: cannot write ") << path << std::endl;
    return saved;
}

// A dialog shown without its modal loop, saved, hidden again.
bool saveShown(win32::TopWindow& dialog, const char* name) {
    dialog.centre();
    ShowWindow(dialog.hwnd(), SW_SHOW);
    const bool saved = save(dialog.hwnd(), name);
    ShowWindow(dialog.hwnd(), SW_HIDE);
    return saved;
}

// The option dialogs after a technician's typical edits, the calibration acquired from the light
// bar, the about window, the instructions box, the job history and the job window made larger.
bool renderDialogs(Win32Bench& b) {
    win32::DialogWindows& dialogs = b.session->dialogs();
    bool ok = true;
    win32::TfAdv& adv = dialogs.options();
    b.click(adv.control("cbSkipTapeMinRadius"));
    b.click(adv.control("rbTiltYes"));
    ok &= saveShown(adv, "dialog-options");

    win32::TfScales& scales = dialogs.scales();
    b.click(scales.control("bLightBarDefaults"));
    ok &= saveShown(scales, "dialog-scales");

    putTiltRecord(b.lightBar(), 64, sampleTilt());
    win32::TfTiltTempCal& tilt = dialogs.tiltTempCal();
    b.click(tilt.control("bAcquireReadingsFromLb"));
    ok &= saveShown(tilt, "dialog-tilt-temp-cal");

    const ProgramServices& services = b.session->windows().session().services();
    win32::TfAboutWindow about(services.versionInfo(), services.files().iniPath, "README.txt",
                               b.mainWindow().hwnd());
    ok &= saveShown(about, "dialog-about");

    win32::InstructionsBox instructions(b.mainWindow().hwnd(), "Tessel.exe");
    ok &= saveShown(instructions, "dialog-instructions");

    win32::TfHistory history(b.session->windows().historyText(), b.mainWindow().hwnd());
    ok &= saveShown(history, "dialog-history");

    win32::TfProgramChip& job = b.jobWindow();
    RECT frame{};
    GetWindowRect(job.hwnd(), &frame);
    SetWindowPos(job.hwnd(), nullptr, 0, 0, frame.right - frame.left + 240,
                 frame.bottom - frame.top + 120, SWP_NOMOVE | SWP_NOZORDER);
    ok &= saveShown(job, "job-window-resized");

    // Four bays: one waits, one programs, one passed its unit, one failed.
    ScriptedLinks* links = nullptr;
    const auto model = scriptedStation(links);
    win32::TfStation station(*model, nullptr);
    playFourStates(*model);
    ok &= saveShown(station, "station-window");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: render_screenshots OUTDIR\n";
        return 64;
    }
    outDir = argv[1];
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    bool ok = true;
    {
        Win32Bench plain(kPlainIni);
        ok &= save(plain.mainWindow().hwnd(), "main-window-start");
    }
    Win32Bench b(kAdvancedIni);
    ConfigBlock unit = Win32Bench::record(1, 20417);
    unit.productName = "KD-7F";
    b.putRecord(unit);
    b.click("bReadVcb");
    ok &= save(b.mainWindow().hwnd(), "main-window-advanced");

    // Another light bar on the cable: programming the block read before asks to change its
    // serial number (red), erases (green) and writes with progress and Cancel (blue).
    unit.serialNumber = 20418;
    b.putRecord(unit);
    bool grabbed = false;
    b.atJobChange = [&] {
        const JobWindowModel& job = b.job();
        const auto shows = [&job](LineStyle style, const char* text = nullptr) {
            return std::any_of(job.lines().begin(), job.lines().end(),
                               [style, text](const JobWindowModel::Line& line) {
                                   return line.style == style && (!text || line.text == text);
                               });
        };
        if (!grabbed && job.progressVisible() && job.progress() >= 40 && shows(LineStyle::Error) &&
            shows(LineStyle::Success, " Light Bar is Erased")) {
            grabbed = true;
            ok &= save(b.jobWindow().hwnd(), "job-window-programming");
        }
    };
    b.click("bProgVcb");
    b.atJobChange = nullptr;
    if (!grabbed) std::cerr << "render_screenshots: the job showed no progress\n";
    ok &= renderDialogs(b);
    return ok && grabbed ? 0 : 1;
}
