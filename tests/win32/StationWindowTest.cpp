// The Win32 station window driven by window messages, its bays' workers played by the test.
#include "Win32Bench.h"

#include "app/StationScenes.h"
#include "win32/Gdi.h"
#include "win32/TfStation.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

std::string boxShown; // the text of the message box the timer answered

void CALLBACK answerBox(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = shownMessageBox()) {
        boxShown = messageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

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
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &answerBox);
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxShown, std::string("Tessel|") + StationWindowModel::kCloseRefused);
    for (const auto& sent : links->sent)
        EXPECT_NE(sent.back(), "quit");

    for (std::size_t bay : {0u, 1u})
        model->apply(bay, {.kind = BayEvent::Kind::Unit,
                           .serialNumber = 100004,
                           .result = 23,
                           .message = "Operation Aborted"});
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    for (const auto& sent : links->sent)
        EXPECT_EQ(sent.back(), "quit");
}

} // namespace
} // namespace tessel::testing
