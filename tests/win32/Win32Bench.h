#pragma once

#include "app/JobAnswers.h"
#include "app/LightBarBlock.h"
#include "support/TempDir.h"
#include "support/Win32Text.h"
#include "win32/MessagePump.h"
#include "win32/Win32Session.h"
#include "win32/WindowText.h"

#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tessel::testing {

using win32::textOf;

// One line of the job window's log pane as drawn.
struct DrawnLine {
    std::string text;
    COLORREF colour = 0;
    bool bold = false;
    bool italic = false;
};

// The pane's text, its lines ending in "\r".
inline std::wstring paneText(HWND pane) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(pane)) + 1, L'\0');
    TEXTRANGEW range{{0, -1}, text.data()};
    text.resize(static_cast<std::size_t>(
        SendMessageW(pane, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    return text;
}

// The log's lines, whether the pane wraps them or not; a colour of the pane's own is the system's
// text colour.
inline std::vector<DrawnLine> drawnLines(HWND pane) {
    std::vector<DrawnLine> lines;
    const std::wstring text = paneText(pane);
    if (text.empty()) return lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'\r', start), text.size());
        SendMessageW(pane, EM_SETSEL, start, static_cast<LPARAM>(start + 1));
        CHARFORMAT2W f{};
        f.cbSize = sizeof f;
        SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        const COLORREF colour =
            (f.dwEffects & CFE_AUTOCOLOR) != 0 ? GetSysColor(COLOR_WINDOWTEXT) : f.crTextColor;
        lines.push_back({utf8FromWide(text.substr(start, end - start)), colour,
                         (f.dwEffects & CFE_BOLD) != 0, (f.dwEffects & CFE_ITALIC) != 0});
        start = end + 1;
    }
    return lines;
}

// A message box ("#32770", the system's dialog class) and its caption and text ("caption|text").
inline bool isMessageBox(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}
inline std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(w, name, 16);
            const std::string t = textOf(w);
            if (std::wstring(name) == L"Static" && !t.empty())
                *reinterpret_cast<std::string*>(out) += t;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return textOf(box) + "|" + text;
}

// Keys as the keyboard gives them: to the control with the focus, through the program's loop.
inline void pressKey(UINT key, bool shift = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    win32::processPendingMessages();
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}
inline void typeText(const std::string& text) {
    for (char c : text) {
        PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        win32::processPendingMessages();
    }
}

// The Win32 windows on a virtual light bar with an INI file of the test's choosing. What pops up
// while a command runs is answered as it appears, as an operator would: a message box as it is
// activated (a hook on this thread's windows), a question of the job window as the model shows
// it; the answer arrives through the message loop that waits for it. The firmware file dialog is
// answered through the main window's seam.
class Win32Bench : public JobAnswers {
public:
    explicit Win32Bench(const std::string& ini) {
        writeFile(iniPath, ini);
        AppSession::Options options;
        options.executablePath = dir / "Tessel.exe";
        options.iniPath = iniPath;
        options.simulate = true;
        setEnvironment("XDG_DATA_HOME", dir / "data"); // the jobs' backups stay here
        WindowSet::Opened opened = WindowSet::open(options, win32::win32MessagePump());
        EXPECT_TRUE(opened.windows) << opened.outcome.message;
        session = std::make_unique<win32::Win32Session>(std::move(opened.windows));
        mainWindow().setFileChooser([this](HWND, const win32::FileChoice& choice) {
            foldersOffered.push_back(choice.folder);
            return fileToChoose;
        });
        current() = this;
        post_ = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
        SetWindowLongPtrW(post_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Bench::posted));
        hook_ = SetWindowsHookExW(WH_CBT, &Win32Bench::cbt, nullptr, GetCurrentThreadId());
        session->windows().attachViews({[this] { mainWindow().refresh(); },
                                        [this] {
                                            jobWindow().refresh();
                                            jobChanged();
                                        }});
        mainWindow().show();
        win32::processPendingMessages();
    }
    ~Win32Bench() {
        UnhookWindowsHookEx(hook_);
        DestroyWindow(post_);
        current() = nullptr;
    }

    win32::TfVcbPrg& mainWindow() { return session->mainWindow(); }
    win32::TfProgramChip& jobWindow() { return session->jobWindow(); }
    VirtualLightBar& lightBar() { return session->windows().session().virtualLightBar(); }
    const JobWindowModel& job() { return session->windows().jobWindow(); }
    HWND control(const char* name) { return mainWindow().control(name); }
    std::string text(const char* name) { return textOf(control(name)); }

    void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    void click(const char* name) { click(control(name)); }
    // A menu item as a click on it would run it; a disabled one is a test's mistake.
    void menu(const char* name) {
        ASSERT_TRUE(mainWindow().controls().menuItemEnabled(name)) << name;
        SendMessageW(mainWindow().hwnd(), WM_COMMAND,
                     MAKEWPARAM(mainWindow().controls().idOf(name), 0), 0);
    }

    void putRecord(const ConfigBlock& record) { testing::putRecord(lightBar(), record); }
    static ConfigBlock record(int format, std::int32_t serial) { return unitRecord(format, serial); }

    // --- the script for what pops up while a command runs ---
    std::optional<std::string> fileToChoose;  // the file dialog's answer; none: Cancel
    std::vector<std::string> foldersOffered;  // the folder each file dialog opened in
    std::function<void()> atQuestion;         // runs when a question shows, before the answer
    bool keysAnswer = false;                  // atQuestion answers with keys: no click follows
    std::function<void()> atJobChange;        // runs at every change the job window shows
    // Runs in its modal loop when one of the program's windows (not a message box) is
    // activated.
    std::function<void(HWND)> atActivate;
    // Answers a message box as it is activated; none: OK.
    std::function<void(HWND)> atBox;
    std::vector<std::vector<DrawnLine>> logs; // the log pane at every question
    std::vector<std::string> boxes;           // "caption|text" of each message box

    TempDir dir;
    std::string iniPath = dir / "Tessel.INI";
    std::unique_ptr<win32::Win32Session> session;

private:
    enum : UINT { kAnswerQuestion = WM_APP, kActivated };

    static Win32Bench*& current() {
        static Win32Bench* bench = nullptr;
        return bench;
    }
    static LRESULT CALLBACK cbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current())
            current()->activating(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK posted(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Win32Bench* b = current();
        if (b && message == kAnswerQuestion) b->answerQuestion();
        if (b && message == kActivated && b->atActivate)
            b->atActivate(reinterpret_cast<HWND>(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // A message box is answered by a message its own loop takes; a window's steps run in its
    // loop once it is active.
    void activating(HWND window) {
        if (!isMessageBox(window)) {
            PostMessageW(post_, kActivated, reinterpret_cast<WPARAM>(window), 0);
            return;
        }
        if (!answeredBoxes_.insert(window).second) return;
        boxes.push_back(messageBoxText(window));
        if (atBox)
            atBox(window);
        else
            PostMessageW(window, WM_COMMAND, IDOK, 0);
    }

    // The answer comes through the loop that waits for it, to the question showing then.
    void jobChanged() {
        if (atJobChange) atJobChange();
        if (job().okVisible() || job().yesVisible()) PostMessageW(post_, kAnswerQuestion, 0, 0);
    }

    void answerQuestion() {
        if (!newQuestion(job(), lightBar())) return;
        if (atQuestion) atQuestion();
        logs.push_back(drawnLines(jobWindow().control("reProg")));
        if (!keysAnswer) click(jobWindow().control(answerButton(job())));
    }

    HWND post_ = nullptr;
    HHOOK hook_ = nullptr;
    std::set<HWND> answeredBoxes_;
};

inline constexpr const char* kAdvancedIni =
    "[Configuration]\r\nAdvanced Options=1\r\nCOM Port=1\r\n";
inline constexpr const char* kPlainIni = "[Configuration]\r\nCOM Port=1\r\n";

} // namespace tessel::testing
