// The Win32 dialogs driven by keys sent to the focused control: Tab and Shift+Tab through the
// options dialog in its rows' order, the key filters, the focus colour, Escape as "Close"; the
// Help menu's windows and the box of a missing printer.
#include "Win32Bench.h"

#include "app/ControlNames.h"
#include "win32/TfAdv.h"
#include "win32/TfScales.h"
#include "win32/TfTiltTempCal.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>

namespace tessel::testing {
namespace {

std::string focusName(win32::TopWindow& window) {
    return std::string(window.controls().nameOf(GetFocus()));
}

// The colours a window gives a control to paint with: text, its background, the brush's fill.
using Asked = std::array<COLORREF, 3>;
Asked askedColours(win32::TopWindow& window, const char* control,
                   UINT message = WM_CTLCOLOREDIT) {
    HWND c = window.control(control);
    win32::WindowDc dc(c);
    LOGBRUSH fill{};
    GetObjectW(reinterpret_cast<HBRUSH>(SendMessageW(window.hwnd(), message,
                                                     reinterpret_cast<WPARAM>(dc.get()),
                                                     reinterpret_cast<LPARAM>(c))),
               sizeof fill, &fill);
    return {GetTextColor(dc.get()), GetBkColor(dc.get()), fill.lbColor};
}
// The system's colours for text on a fill (COLOR_ indexes).
Asked systemColours(int text, int fill) {
    return {GetSysColor(text), GetSysColor(fill), GetSysColor(fill)};
}

// Runs steps in the dialog's modal loop once it shows (is activated).
void whileShown(Win32Bench& b, win32::TopWindow& dialog, std::function<void()> steps) {
    b.atActivate = [&dialog, steps, done = false](HWND window) mutable {
        if (done || window != dialog.hwnd()) return;
        done = true;
        steps();
    };
}

TEST(Win32Dialogs, TabFollowsTheRowsAndTheKeyFiltersActOnTypedKeys) {
    Win32Bench b(kAdvancedIni);
    win32::TfAdv& adv = b.session->dialogs().options();
    bool ran = false;
    whileShown(b, adv, [&] {
        ran = true;
        // The values start skipped: their fields are disabled, so Tab begins at the skip boxes.
        SetFocus(adv.control("cbSkipTapeMinRadius"));
        pressKey(VK_TAB);
        EXPECT_EQ(focusName(adv), "cbSkipMinSogForCog");
        pressKey(VK_TAB);
        EXPECT_EQ(focusName(adv), "cbSkipTiltOpAmpGain");
        pressKey(VK_TAB);
        EXPECT_EQ(focusName(adv), "rbAdvancedTapeSkip") << "a radio group is one stop: its choice";
        pressKey(VK_TAB);
        EXPECT_EQ(focusName(adv), "rbAdvTapeDispSkip");
        pressKey(VK_TAB, true);
        pressKey(VK_TAB, true);
        EXPECT_EQ(focusName(adv), "cbSkipTiltOpAmpGain") << "Shift+Tab goes back";

        // Clearing a skip box lets its field take keys: digits and one point only.
        SetFocus(adv.control("cbSkipTapeMinRadius"));
        pressKey(VK_SPACE);
        ASSERT_TRUE(IsWindowEnabled(adv.control("memoTapeMinRadius")));
        pressKey(VK_TAB, true);
        ASSERT_EQ(focusName(adv), "memoTapeMinRadius");
        EXPECT_EQ(askedColours(adv, "memoTapeMinRadius"),
                  systemColours(COLOR_WINDOWTEXT, COLOR_WINDOW))
            << "the system's input colours (white) while focused";
        SendMessageW(adv.control("memoTapeMinRadius"), EM_SETSEL, 0, -1);
        typeText("12.5.0x-");
        EXPECT_EQ(textOf(adv.control("memoTapeMinRadius")), "12.50");
        EXPECT_EQ(b.session->windows().controls().text("memoTapeMinRadius"), "12.50");
        pressKey(VK_RETURN);
        EXPECT_TRUE(IsWindowVisible(adv.hwnd())) << "Enter is swallowed in a field";
        pressKey(VK_ESCAPE);
        EXPECT_EQ(textOf(adv.control("memoTapeMinRadius")), "") << "Escape empties the field";
        EXPECT_TRUE(IsWindowVisible(adv.hwnd()));
        typeText("3");

        // Space chooses a radio button; leaving the field gives it the face colour again.
        SetFocus(adv.control("rbTiltYes"));
        pressKey(VK_SPACE);
        pressKey(VK_TAB);
        EXPECT_EQ(askedColours(adv, "memoTapeMinRadius"),
                  systemColours(COLOR_BTNTEXT, COLOR_BTNFACE));
        pressKey(VK_ESCAPE); // outside a field: Close
    });
    b.menu("mShowAdvancedControls");
    EXPECT_TRUE(ran);
    EXPECT_FALSE(IsWindowVisible(adv.hwnd()));
    EXPECT_EQ(b.session->windows().controls().text("memoTapeMinRadius"), "3");
    EXPECT_TRUE(b.mainWindow().controls().menuItemEnabled(controls::kTiltTempCal))
        << "the Tilt choice is taken as the dialog closes";
}

TEST(Win32Dialogs, AScaleNameIsUpperCasedAndHeldToThreeLetters) {
    Win32Bench b(kAdvancedIni);
    win32::TfScales& scales = b.session->dialogs().scales();
    whileShown(b, scales, [&] {
        SetFocus(scales.control("memoScale1Name"));
        typeText("fina");
        EXPECT_EQ(textOf(scales.control("memoScale1Name")), "FIN");
        SendMessageW(scales.control("bScalesOK"), BM_CLICK, 0, 0);
    });
    b.menu("mShowOffsetScales");
    EXPECT_EQ(b.session->windows().controls().text("memoScale1Name"), "FIN");
}

// Ctrl+A and a Latin-1 letter in a scale name, Tab from value to value, a comma in a decimal
// field, Enter in a "-" text; then Prog VCB stops at the part-filled row, in its window, with
// the first missing value focused.
TEST(Win32Dialogs, FieldKeysAndThePartFilledRowAProgrammingStopsAt) {
    Win32Bench b(kAdvancedIni);
    b.putRecord(Win32Bench::record(2, 77));
    b.click("bReadVcb");
    win32::TfScales& scales = b.session->dialogs().scales();
    whileShown(b, scales, [&] {
        SendMessageW(scales.control("bClearScales"), BM_CLICK, 0, 0);
        SetFocus(scales.control("memoScale2Name"));
        pressKey(VK_TAB, true);
        ASSERT_EQ(focusName(scales), "memoScale1Name");
        typeText("fin\x01\xE4" "bc"); // Ctrl+A, then a Latin-1 letter
        EXPECT_EQ(textOf(scales.control("memoScale1Name")), "\u00C4BC");
        SetFocus(scales.control("memoMtScale31"));
        for (const char* value : {"100", "200", "300", "400"}) {
            typeText(value);
            pressKey(VK_TAB);
        }
        EXPECT_EQ(focusName(scales), "memoMtScale35");
        SetFocus(scales.control("memoScale1Name"));
        SendMessageW(scales.control("bScalesOK"), BM_CLICK, 0, 0);
    });
    b.menu("mShowOffsetScales");
    EXPECT_EQ(b.session->windows().controls().text("memoMtScale34"), "400");

    win32::TfAdv& adv = b.session->dialogs().options();
    whileShown(b, adv, [&] {
        HWND radius = adv.control("memoTapeMinRadius");
        if (!IsWindowEnabled(radius))
            SendMessageW(adv.control("cbSkipTapeMinRadius"), BM_CLICK, 0, 0);
        SetFocus(radius);
        win32::setText(radius, "-1.5"); // pasted
        pressKey(VK_RETURN);
        EXPECT_EQ(textOf(radius), "") << "Enter empties a text that begins with a minus";
        typeText("3,048");
        EXPECT_EQ(textOf(radius), "3.048");
        SendMessageW(adv.control("bAdvOK"), BM_CLICK, 0, 0);
    });
    b.menu("mShowAdvancedControls");
    EXPECT_EQ(b.session->windows().controls().text("memoTapeMinRadius"), "3.048");

    std::string stoppedAt;
    whileShown(b, scales, [&] {
        stoppedAt = focusName(scales);
        SendMessageW(scales.control("bScalesOK"), BM_CLICK, 0, 0);
    });
    const auto opens = b.lightBar().counts().opens;
    b.click("bProgVcb");
    EXPECT_EQ(b.boxes,
              std::vector<std::string>{"Tessel|Metric Offset Scale 3 needs all eight values"});
    EXPECT_EQ(stoppedAt, "memoMtScale35");
    EXPECT_EQ(b.lightBar().counts().opens, opens) << "nothing is programmed";
}

TEST(Win32Dialogs, TheCalibrationWindowConvertsATemperatureAsTheFocusLeavesIt) {
    Win32Bench b(kAdvancedIni);
    win32::TfAdv& adv = b.session->dialogs().options();
    whileShown(b, adv, [&] { // "Tilt" Yes offers the calibration window
        SendMessageW(adv.control("rbTiltYes"), BM_CLICK, 0, 0);
        SendMessageW(adv.control("bAdvOK"), BM_CLICK, 0, 0);
    });
    b.menu("mShowAdvancedControls");
    win32::TfTiltTempCal& tilt = b.session->dialogs().tiltTempCal();
    whileShown(b, tilt, [&] {
        SetFocus(tilt.control("memoHiTempCalC"));
        SendMessageW(tilt.control("memoHiTempCalC"), EM_SETSEL, 0, -1);
        typeText("-25"); // no sign in a temperature
        pressKey(VK_TAB);
        EXPECT_EQ(textOf(tilt.control("memoHiTempCalF")), "77");
        SendMessageW(tilt.control("bTiltTempCalClose"), BM_CLICK, 0, 0);
    });
    b.menu("mShowTiltTempCal");
    EXPECT_EQ(b.session->windows().controls().text("memoHiTempCalC"), "25");
}

TEST(Win32Dialogs, TheHelpMenusWindowsAndAMissingPrinter) {
    Win32Bench b(kPlainIni);
    std::vector<std::string> shown;
    b.atActivate = [&](HWND active) {
        // The about window and the instructions box are the program's own windows: Enter or
        // Escape ends them.
        if (active == b.mainWindow().hwnd() || active == b.jobWindow().hwnd()) return;
        shown.push_back(textOf(active));
        pressKey(shown.size() == 1 ? VK_RETURN : VK_ESCAPE);
    };
    b.menu("mAbout");
    b.menu("mInstructions");
    EXPECT_EQ(shown,
              (std::vector<std::string>{"About", std::string(instructionsBoxLayout().caption)}));
    b.menu("mPrintInstructions");
    EXPECT_EQ(b.boxes,
              std::vector<std::string>{"Tessel|There is no default printer currently selected"});
}

// A High Contrast scheme's colours (window, its text, face, its text) and another dialog font,
// told to every window as the system does; the old ones put back at the end.
struct SystemLook {
    static constexpr int kColours[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE,
                                       COLOR_BTNTEXT};
    COLORREF was[4] = {};
    NONCLIENTMETRICSW metrics{};
    SystemLook(std::array<COLORREF, 4> colours, const wchar_t* dialogFace) {
        for (int i = 0; i < 4; ++i) was[i] = GetSysColor(kColours[i]);
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        NONCLIENTMETRICSW changed = metrics;
        lstrcpynW(changed.lfMessageFont.lfFaceName, dialogFace, LF_FACESIZE);
        SetSysColors(4, kColours, colours.data());
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
    SystemLook(const SystemLook&) = delete;
    ~SystemLook() {
        SetSysColors(4, kColours, was);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
};

std::wstring faceOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfFaceName;
}

// The pixels of a control as it is drawn now.
std::set<COLORREF> drawnPixels(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r{};
    GetClientRect(control, &r);
    win32::WindowDc dc(control);
    std::set<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) pixels.insert(GetPixel(dc.get(), x, y));
    return pixels;
}

// A High Contrast scheme while a job asks: the log's lines, the fields and labels take the
// system's colours where their own would vanish, at once, and the windows the new dialog font.
TEST(Win32Dialogs, AHighContrastSchemeAndAnotherDialogFontAreFollowedAtOnce) {
    Win32Bench b(kAdvancedIni);
    b.putRecord(Win32Bench::record(1, 20417));
    const COLORREF black = RGB(0, 0, 0), yellow = RGB(255, 255, 0), white = RGB(255, 255, 255);
    std::optional<SystemLook> look;
    std::vector<DrawnLine> before;
    std::set<COLORREF> logPixels;
    b.atQuestion = [&] {
        HWND pane = b.jobWindow().control("reProg");
        before = drawnLines(pane);
        look.emplace(std::array{black, yellow, black, white}, L"Courier New");
        logPixels = drawnPixels(pane);
    };
    b.click("bReadVcb");
    ASSERT_EQ(b.logs.size(), 1u);
    const auto& log = b.logs[0];
    ASSERT_EQ(log.size(), before.size());
    EXPECT_EQ(before.back().colour, RGB(0, 0, 255)) << before.back().text;
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].text, before[i].text);
        const COLORREF was = before[i].colour; // green and red can be read on black
        EXPECT_EQ(log[i].colour, was == RGB(0, 128, 0) || was == RGB(255, 0, 0) ? was : yellow)
            << log[i].text;
    }
    EXPECT_TRUE(logPixels.contains(black) && logPixels.contains(yellow));
    EXPECT_FALSE(logPixels.contains(RGB(0, 0, 255))) << "no blue on black";
    EXPECT_EQ(faceOf(b.control("bReadVcb")), L"Courier New") << "made again";

    win32::TfAdv& adv = b.session->dialogs().options();
    bool shown = false;
    whileShown(b, adv, [&] {
        shown = true;
        SendMessageW(adv.control("cbSkipTapeMinRadius"), BM_CLICK, 0, 0);
        SetFocus(adv.control("memoTapeMinRadius"));
        EXPECT_EQ(askedColours(adv, "memoTapeMinRadius"), (Asked{yellow, black, black}));
        EXPECT_EQ(askedColours(adv, "lKphInMph", WM_CTLCOLORSTATIC), (Asked{white, black, black}))
            << "navy on black gives way";
        SendMessageW(adv.control("bAdvOK"), BM_CLICK, 0, 0);
    });
    b.menu("mShowAdvancedControls");
    EXPECT_TRUE(shown);
}

} // namespace
} // namespace tessel::testing
