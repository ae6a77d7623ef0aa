// The Win32 station window driven by window messages, its bays' workers played by the test.
#include "Win32Bench.h"

#include "app/StationScenes.h"
#include "win32/Gdi.h"
#include "win32/TfStation.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

// Answers each message box as it is activated (a hook on this thread's windows), keeping its
// "caption|text".
class BoxAnswers {
public:
    BoxAnswers() {
        hook_ = SetWindowsHookExW(WH_CBT, &BoxAnswers::cbt, nullptr, GetCurrentThreadId());
    }
    ~BoxAnswers() { UnhookWindowsHookEx(hook_); }
    static std::string& shown() {
        static std::string text;
        return text;
    }

private:
    static LRESULT CALLBACK cbt(int code, WPARAM wParam, LPARAM lParam) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && isMessageBox(window)) {
            shown() = messageBoxText(window);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
};

COLORREF brushColour(win32::TfStation& window, const std::string& name) {
    HWND label = window.control(name);
    HDC dc = GetDC(label);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window.hwnd(), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(label)));
    ReleaseDC(label, dc);
    LOGBRUSH look{};
    GetObjectW(brush, sizeof look, &look);
    return look.lbColor;
}

TEST(Win32StationWindow, ShowsEachBaysStateStartsAndCancelsItsUnitAndStaysOpenWhileOneRuns) {
    ScriptedLinks* links = nullptr;
    auto model = scriptedStation(links);
    win32::TfStation window(*model, nullptr);
    ShowWindow(window.hwnd(), SW_SHOW);
    playFourStates(*model);
    auto text = [&](const std::string& name) { return textOf(window.control(name)); };
    for (const ShownText& shown : kFourStatesShown)
        EXPECT_EQ(text(shown.control), win32::withCrLf(shown.text)) << shown.control;
    for (std::size_t bay = 1; bay < 4; ++bay)
        EXPECT_EQ(brushColour(window, bayControl(bay, "State")),
                  win32::colorOf(kFourStatesColours[bay]));

    EXPECT_TRUE(IsWindowEnabled(window.control("bBay1Start")));
    EXPECT_FALSE(IsWindowEnabled(window.control("bBay2Start")));
    SendMessageW(window.control("bBay1Start"), BM_CLICK, 0, 0);
    SendMessageW(window.control("bBay2Cancel"), BM_CLICK, 0, 0);
    EXPECT_EQ(links->sent[0].back(), "start");
    EXPECT_EQ(links->sent[1].back(), "cancel");
    EXPECT_EQ(text("lBay1State"), "RUNNING");

    // Closing is refused while a bay programs its unit; the operator is told why.
    {
        const BoxAnswers answers;
        SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(BoxAnswers::shown(), std::string("Tessel|") + StationWindowModel::kCloseRefused);
    for (const auto& sent : links->sent)
        EXPECT_NE(sent.back(), "quit");

    for (std::size_t bay : {0u, 1u})
        model->apply(bay, {.kind = BayEvent::Kind::Unit,
                           .serialNumber = 100004,
                           .result = result::OperationAborted,
                           .message = "Operation Aborted"});
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    for (const auto& sent : links->sent)
        EXPECT_EQ(sent.back(), "quit");
}

} // namespace
} // namespace tessel::testing
