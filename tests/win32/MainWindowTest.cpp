// The Win32 main window and job window driven by window messages: start-up in both modes, Read
// VCB on a blank and a format 1 light bar, the update walkthrough with the file dialog answered,
// Cancel at the erase, and close requests refused while a job runs.
#include "Win32Bench.h"

#include "app/ControlNames.h"
#include "win32/Dpi.h"
#include "win32/Gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tessel::testing {
namespace {

RECT clientPlace(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every caption of a button or label fits its control in the font it was given.
void expectNothingClipped(HWND window) {
    EnumChildWindows(
        window,
        [](HWND control, LPARAM) -> BOOL {
            wchar_t kind[16] = {};
            GetClassNameW(control, kind, 16);
            const std::wstring cls = kind;
            const auto style = GetWindowLongPtrW(control, GWL_STYLE);
            const bool pushButton = cls == L"Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
            const bool label = cls == L"Static" && (style & SS_TYPEMASK) != SS_OWNERDRAW;
            if (!pushButton && !label) return TRUE;
            const std::wstring caption = wideFromUtf8(textOf(control));
            win32::WindowDc dc(control);
            dc.select(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            RECT extent{};
            DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent,
                      DT_CALCRECT);
            RECT r{};
            GetClientRect(control, &r);
            const int padding =
                pushButton ? win32::scaled(kButtonPadding, win32::dpiOf(control)) : 0;
            EXPECT_LE(extent.right + padding, r.right) << textOf(control);
            EXPECT_LE(extent.bottom, r.bottom) << textOf(control);
            return TRUE;
        },
        0);
}

TEST(Win32MainWindow, StartsUpInBothModesWithTheLayoutsPlacesAndNothingOffered) {
    for (const bool advanced : {true, false}) {
        Win32Bench b(advanced ? kAdvancedIni : kPlainIni);
        SCOPED_TRACE(advanced ? "advanced" : "plain");
        win32::TfVcbPrg& w = b.mainWindow();
        const WindowLayout layout = mainWindowLayout(advanced);
        const int dpi = win32::dpiOf(w.hwnd());
        EXPECT_EQ(textOf(w.hwnd()), "Tessel v3.6 \u2013 virtual light bar");
        RECT client{};
        GetClientRect(w.hwnd(), &client);
        EXPECT_EQ(client.right, win32::scaled(layout.clientWidth, dpi));
        EXPECT_EQ(client.bottom, win32::scaled(layout.clientHeight, dpi))
            << "40 or 80 pixels lower";
        const RECT progCode = clientPlace(b.control("bProgCode"));
        EXPECT_EQ(progCode.top, win32::scaled(layout.row("bProgCode").place.top, dpi));
        EXPECT_EQ(IsWindowVisible(b.control("bProgVcb")) != 0, advanced);
        EXPECT_EQ(w.controls().hasMenuItem("mShowAdvancedControls"), advanced);
        EXPECT_TRUE(IsWindowEnabled(b.control("bReadVcb")));
        for (const char* name : {"bProgVcb", "bVerifyVcb", "bProgCode", "bVerifyCode"})
            EXPECT_FALSE(IsWindowEnabled(b.control(name))) << name;
        for (const char* name : {"mConvertVcbToFormat1", "mConvertVcbToFormat2", "mInitDefaultVcb"})
            EXPECT_FALSE(w.controls().menuItemEnabled(name)) << name;
        for (const char* name : {"lFormatNumber", "memoSerialNumber", "memoProductName"})
            EXPECT_EQ(b.text(name), "?") << name;
        EXPECT_TRUE(w.controls().menuItemChecked("mCom1"));
        EXPECT_FALSE(IsWindowVisible(b.jobWindow().hwnd()));
        expectNothingClipped(w.hwnd());
        expectNothingClipped(b.jobWindow().hwnd());

        // Moved to a monitor with half again as many dots per inch, it lays itself out anew.
        const int moved = dpi * 3 / 2;
        RECT suggested{0, 0, 800, 600};
        SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                     reinterpret_cast<LPARAM>(&suggested));
        GetClientRect(w.hwnd(), &client);
        EXPECT_EQ(client.right, win32::scaled(layout.clientWidth, moved));
        EXPECT_EQ(client.bottom, win32::scaled(layout.clientHeight, moved));
        EXPECT_EQ(clientPlace(b.control("bProgCode")).top,
                  win32::scaled(layout.row("bProgCode").place.top, moved));
        expectNothingClipped(w.hwnd());
    }
}

TEST(Win32MainWindow, ReadVcbShowsABlankAndAFormat1LightBarWithTheLogInItsLooks) {
    for (const int format : {0, 1}) {
        Win32Bench b(kAdvancedIni);
        SCOPED_TRACE(format);
        if (format == 1) b.putRecord(Win32Bench::record(1, 20417));
        b.click("bReadVcb");
        EXPECT_FALSE(IsWindowVisible(b.jobWindow().hwnd())) << "closed by OK";
        EXPECT_TRUE(IsWindowEnabled(b.mainWindow().hwnd())) << "the program goes on";
        EXPECT_EQ(b.okOnlyPrompts, 1);
        EXPECT_EQ(b.text("lFormatNumber"), format == 1 ? "1" : "?");
        EXPECT_EQ(b.text("memoSerialNumber"), format == 1 ? "20417" : "?");
        EXPECT_EQ(b.text("memoProductName"), format == 1 ? "KD-7" : "?");
        EXPECT_EQ(b.mainWindow().controls().menuItemEnabled("mInitDefaultVcb"), format == 0);
        EXPECT_EQ(IsWindowEnabled(b.control("bProgCode")) != 0, format == 1);
        const auto productStyle = GetWindowLongPtrW(b.control("memoProductName"), GWL_STYLE);
        EXPECT_EQ((productStyle & ES_READONLY) == 0, format == 1) << "editable with a block";

        // At the OK prompt: information black, the prompt blue and italic.
        ASSERT_EQ(b.logs.size(), 1u);
        const auto& log = b.logs[0];
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[0].text.substr(0, 17), " Signature Bytes:");
        EXPECT_EQ(log[0].colour, RGB(0, 0, 0));
        EXPECT_FALSE(log[0].bold || log[0].italic);
        EXPECT_EQ(log.back().text, " Click OK to exit");
        EXPECT_EQ(log.back().colour, RGB(0, 0, 255));
        EXPECT_TRUE(log.back().italic && !log.back().bold);
        if (format == 0) {
            // The final report in red and bold.
            const auto report = std::find_if(log.begin(), log.end(), [](const DrawnLine& l) {
                return l.text.find("No Serial Number") != std::string::npos;
            });
            ASSERT_NE(report, log.end());
            EXPECT_EQ(report->colour, RGB(255, 0, 0));
            EXPECT_TRUE(report->bold && !report->italic);
        }
    }
}

TEST(Win32MainWindow, TheUpdateInstructionsWorkWithTheFileDialogAnswered) {
    Win32Bench b(kAdvancedIni);
    ConfigBlock unit = Win32Bench::record(1, 20417);
    unit.productName = "KD-7F";
    b.putRecord(unit);

    b.click("bReadVcb");
    ASSERT_EQ(b.text("lFormatNumber"), "1");
    b.menu("mConvertVcbToFormat2");
    ASSERT_EQ(b.text("lFormatNumber"), "2");
    EXPECT_TRUE(b.mainWindow().controls().menuItemEnabled("mConvertVcbToFormat1"));
    const std::string backups = b.session->windows().mainWindow().backupFolder();
    std::string conversionBackup;
    for (const auto& entry : std::filesystem::directory_iterator(backups))
        if (entry.path().string().ends_with("-vcb.bin")) conversionBackup = entry.path().string();
    ASSERT_FALSE(conversionBackup.empty());

    b.fileToChoose = TESSEL_SAMPLES_DIR "/KdV2.9.a90";
    b.logs.clear();
    b.click("bProgCode");
    ASSERT_EQ(b.foldersOffered, std::vector<std::string>{"."}) << "HexPath's default";
    ASSERT_FALSE(b.logs.empty());
    const auto& last = b.logs.back();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2].text, " Light Bar Firmware Code Verified Ok");
    EXPECT_EQ(last[last.size() - 2].colour, RGB(0, 128, 0));
    EXPECT_EQ(b.text("memoSerialNumber"), "20417") << "the block is kept";
    EXPECT_EQ(b.text("memoProductName"), "KD-7F");
    EXPECT_TRUE(b.boxes.empty());
    EXPECT_NE(readFile(b.iniPath).find("HexPath=" TESSEL_SAMPLES_DIR "/"), std::string::npos);

    // A file that holds no firmware: the standard error box; the dialog opens where the last
    // file was.
    const std::string notHex = b.dir / "notes.a90";
    writeFile(notHex, "these are notes\n");
    b.fileToChoose = notHex;
    b.click("bVerifyCode");
    EXPECT_EQ(b.foldersOffered.back(), TESSEL_SAMPLES_DIR "/");
    ASSERT_EQ(b.boxes.size(), 1u);
    EXPECT_EQ(b.boxes[0],
              "Tessel|HEX File Format Error\n" + notHex + "\nThe file holds no firmware.");

    // File > "Restore from Backup…" puts back the format 1 block saved before the conversion.
    b.fileToChoose = conversionBackup;
    b.menu("mRestoreFromBackup");
    EXPECT_EQ(b.foldersOffered.back(), backups);
    EXPECT_EQ(b.boxes.size(), 1u);
    EXPECT_EQ(b.text("lFormatNumber"), "1") << "the block read back";
    EXPECT_EQ(b.text("memoProductName"), "KD-7F");
}

TEST(Win32MainWindow, CancelAtTheEraseEndsAtOnceAndNothingClosesTheWindowsMeanwhile) {
    Win32Bench b(kAdvancedIni);
    b.putRecord(Win32Bench::record(1, 20417));
    b.click("bReadVcb");
    const int prompts = b.okOnlyPrompts;
    HWND main = b.mainWindow().hwnd();
    HWND job = b.jobWindow().hwnd();
    bool asked = false;
    b.answers = {Win32Bench::Answer::Cancel};
    b.atQuestion = [&] {
        asked = true;
        EXPECT_FALSE(IsWindowEnabled(main)) << "the job window is modal to the program";
        SendMessageW(main, WM_CLOSE, 0, 0);
        SendMessageW(job, WM_CLOSE, 0, 0);
        SendMessageW(job, WM_COMMAND, IDCANCEL, 0); // Escape
        EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, 0), FALSE) << "nor the session's end";
        EXPECT_TRUE(IsWindow(main) && IsWindowVisible(job));
    };
    b.menu("mConvertVcbToFormat2");
    EXPECT_TRUE(asked);
    EXPECT_EQ(b.okOnlyPrompts, prompts) << "no OK prompt after a refused erase";
    EXPECT_FALSE(IsWindowVisible(job));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(b.text("lFormatNumber"), "1") << "the light bar keeps its block";

    // Between jobs the window closes, and the program is asked to end.
    EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Where each row of the log pane starts and ends (client pixels), by the line it shows: a line the
// pane wraps has several rows. The blank a row broke at takes no room.
struct LogRows {
    LONG charWidth = 0; // a fixed-pitch font
    std::vector<std::vector<std::pair<LONG, LONG>>> lines;
};
LogRows logRows(HWND pane) {
    const std::wstring text = paneText(pane);
    const auto x = [pane](LONG index) {
        POINTL p{};
        SendMessageW(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), index);
        return p.x;
    };
    LogRows rows{x(1) - x(0), {}};
    const auto count = static_cast<int>(SendMessageW(pane, EM_GETLINECOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        const auto start = static_cast<LONG>(SendMessageW(pane, EM_LINEINDEX, row, 0));
        LONG end = start + static_cast<LONG>(SendMessageW(pane, EM_LINELENGTH, start, 0));
        while (end > start && (text[end - 1] == L' ' || text[end - 1] == L'\r')) --end;
        if (start == 0 || text[start - 1] == L'\r') rows.lines.emplace_back();
        rows.lines.back().emplace_back(x(start), x(end - 1) + rows.charWidth);
    }
    return rows;
}

// A job that leaves the light bar without its firmware ends in long red lines: at the window's
// design size each shows whole, wrapped at the log pane's width with the rest indented.
TEST(Win32MainWindow, TheLogWrapsLongLinesAtTheDesignSize) {
    Win32Bench b(kAdvancedIni);
    b.putRecord(Win32Bench::record(2, 20417));
    b.click("bReadVcb");
    b.fileToChoose = TESSEL_SAMPLES_DIR "/KdV2.9.a90";
    HWND pane = b.jobWindow().control("reProg");
    LogRows rows;
    b.atQuestion = [&] {
        if (b.job().cancelVisible()) // the erase: the cable is pulled while programming
            b.lightBar().failLineCallsAfter(5000);
        else
            rows = logRows(pane);
    };
    b.click("bProgCode");
    ASSERT_FALSE(b.logs.empty());
    const auto& log = b.logs.back();
    ASSERT_EQ(rows.lines.size(), log.size());
    const auto red = std::find_if(log.begin(), log.end(), [](const DrawnLine& l) {
        return l.text.starts_with(" The Light Bar has no complete Firmware now");
    });
    ASSERT_NE(red, log.end());
    EXPECT_GE(rows.lines[static_cast<std::size_t>(red - log.begin())].size(), 2u) << "wrapped";
    RECT client{};
    GetClientRect(pane, &client);
    const LONG left = rows.lines[0][0].first;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string& text = log[i].text; // one word wraps where wine's rich edit can
        if (text.find(' ', text.find_first_not_of(' ')) == std::string::npos) continue;
        for (std::size_t row = 0; row < rows.lines[i].size(); ++row) {
            EXPECT_LE(rows.lines[i][row].second, client.right) << text;
            EXPECT_NEAR(rows.lines[i][row].first,
                        left + (row == 0 ? 0 : kWrapIndentColumns * rows.charWidth), 1)
                << text;
        }
    }
    EXPECT_EQ(GetWindowLongPtrW(pane, GWL_STYLE) & WS_HSCROLL, 0) << "nothing to scroll across";
}

// The paths a technician takes by keyboard and mouse: Enter and Escape at the question before an
// erase, a larger job window, the job history from the Help menu, the exit question.
TEST(Win32MainWindow, EraseQuestionKeysALargerJobWindowTheHistoryAndTheExitQuestion) {
    Win32Bench b(kAdvancedIni);
    b.putRecord(Win32Bench::record(1, 20417));
    b.click("bReadVcb");
    b.keysAnswer = true;
    b.atQuestion = [] {
        pressKey(VK_RETURN); // presses OK only where it is the only answer
        pressKey(VK_ESCAPE);
    };
    b.menu("mConvertVcbToFormat2");
    EXPECT_EQ(b.text("lFormatNumber"), "1") << "Enter erased nothing, Escape answered Cancel";
    b.keysAnswer = false;
    b.atQuestion = nullptr;

    // The job window grows with the operator's size, never below its layout.
    win32::TfProgramChip& job = b.jobWindow();
    const int dpi = win32::dpiOf(job.hwnd());
    const WindowLayout design = jobWindowLayout(b.job().layoutMode());
    MINMAXINFO limits{};
    SendMessageW(job.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT frame{};
    GetWindowRect(job.hwnd(), &frame);
    EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);
    SetWindowPos(job.hwnd(), nullptr, 0, 0, frame.right - frame.left + win32::scaled(300, dpi),
                 frame.bottom - frame.top + win32::scaled(200, dpi), SWP_NOMOVE | SWP_NOZORDER);
    const WindowLayout grown = jobWindowLayout(b.job().layoutMode(), design.clientWidth + 300,
                                               design.clientHeight + 200);
    for (const char* pane : {"reProg", "reVcbDisplay"}) {
        const RECT r = clientPlace(job.control(pane));
        EXPECT_EQ(r.right - r.left, win32::scaled(grown.row(pane).place.width, dpi)) << pane;
        EXPECT_EQ(r.bottom - r.top, win32::scaled(grown.row(pane).place.height, dpi)) << pane;
    }

    std::string history;
    b.atActivate = [&](HWND active) {
        if (!history.empty() || active == b.mainWindow().hwnd() || active == job.hwnd()) return;
        EnumChildWindows(
            active,
            [](HWND w, LPARAM out) -> BOOL {
                wchar_t kind[16] = {};
                GetClassNameW(w, kind, 16);
                if (lstrcmpiW(kind, MSFTEDIT_CLASS) == 0) *reinterpret_cast<std::string*>(out) = textOf(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&history));
        history = textOf(active) + "|" + history;
        pressKey(VK_ESCAPE);
    };
    b.menu("mHistory");
    b.atActivate = nullptr;
    ASSERT_TRUE(history.starts_with("Job History|")) << history;
    EXPECT_EQ(std::count(history.begin(), history.end(), '\r'), 2) << "two jobs: " << history;

    // An edit never programmed: Enter at the exit question keeps the window, and the edit.
    HWND name = b.control("memoProductName");
    ASSERT_TRUE(IsWindowEnabled(name));
    SetFocus(name);
    typeText("\x01XY"); // Ctrl+A first
    b.atBox = [](HWND box) { PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1); };
    b.menu("mExit");
    b.atBox = nullptr;
    ASSERT_EQ(b.boxes.size(), 1u);
    EXPECT_EQ(b.boxes[0], textOf(b.mainWindow().hwnd()) + "|" +
                              std::string(MainWindowModel::kExitQuestion));
    EXPECT_TRUE(IsWindow(b.mainWindow().hwnd()));
    EXPECT_EQ(b.text("memoProductName"), "XY");
}

} // namespace
} // namespace tessel::testing
