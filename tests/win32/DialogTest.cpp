// The Win32 dialogs driven by keys sent to the focused control: Tab and Shift+Tab through the
// options dialog in its rows' order, the key filters, the focus colour, Escape as "Close"; the
// Help menu's windows and the box of a missing printer.
#include "Win32Bench.h"

#include "app/ControlNames.h"
#include "win32/TfAdv.h"
#include "win32/TfScales.h"
#include "win32/TfTiltTempCal.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

std::string focusName(win32::TopWindow& window) {
    return std::string(window.controls().nameOf(GetFocus()));
}

// The brush the dialog gives a text field to paint with.
HBRUSH fieldBrush(win32::TopWindow& window, const char* field) {
    HWND edit = window.control(field);
    HDC dc = GetDC(edit);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window.hwnd(), WM_CTLCOLOREDIT,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(edit)));
    ReleaseDC(edit, dc);
    return brush;
}

// Runs steps once the dialog shows in its modal loop.
void whileShown(Win32Bench& b, win32::TopWindow& dialog, std::function<void()> steps) {
    b.atTick = [&dialog, steps, done = false]() mutable {
        if (done || !IsWindowVisible(dialog.hwnd())) return;
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
        EXPECT_EQ(fieldBrush(adv, "memoTapeMinRadius"), GetStockObject(WHITE_BRUSH))
            << "white while focused";
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
        EXPECT_EQ(fieldBrush(adv, "memoTapeMinRadius"), GetSysColorBrush(COLOR_BTNFACE));
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
    b.atTick = [&] {
        // The about window and the instructions box are the program's own windows: Enter or
        // Escape ends them.
        HWND active = GetActiveWindow();
        if (!active || active == b.mainWindow().hwnd() || shownMessageBox()) return;
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

} // namespace
} // namespace tessel::testing
