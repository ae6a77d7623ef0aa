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

#include <deque>
#include <functional>
#include <memory>
#include <optional>
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

inline std::vector<DrawnLine> drawnLines(HWND pane) {
    std::vector<DrawnLine> lines;
    const int count = static_cast<int>(SendMessageW(pane, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto start = static_cast<LPARAM>(SendMessageW(pane, EM_LINEINDEX, i, 0));
        const auto length = static_cast<int>(SendMessageW(pane, EM_LINELENGTH, start, 0));
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        TEXTRANGEW range{{static_cast<LONG>(start), static_cast<LONG>(start + length)},
                         text.data()};
        text.resize(static_cast<std::size_t>(
            SendMessageW(pane, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
        if (count == 1 && text.empty()) break; // an empty pane
        SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(start), start + 1);
        CHARFORMAT2W f{};
        f.cbSize = sizeof f;
        SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        lines.push_back({utf8FromWide(text), f.crTextColor, (f.dwEffects & CFE_BOLD) != 0,
                         (f.dwEffects & CFE_ITALIC) != 0});
    }
    return lines;
}

// A message box of this thread that shows, and its caption and text ("caption|text").
inline HWND shownMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(w, name, 16);
            if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
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

// The Win32 windows on a virtual light bar with an INI file of the test's choosing. Questions of
// the job window and message boxes are answered from a timer while a command runs; the firmware
// file dialog is answered through the main window's seam.
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
        timer_ = SetTimer(nullptr, 0, 1, &Win32Bench::tick);
        mainWindow().show();
        win32::processPendingMessages();
    }
    ~Win32Bench() {
        KillTimer(nullptr, timer_);
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
    std::function<void()> atTick;             // runs at every look for something to answer
    std::vector<std::vector<DrawnLine>> logs; // the log pane at every question
    std::vector<std::string> boxes;           // "caption|text" of each message box

    TempDir dir;
    std::string iniPath = dir / "Tessel.INI";
    std::unique_ptr<win32::Win32Session> session;

private:
    static Win32Bench*& current() {
        static Win32Bench* bench = nullptr;
        return bench;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current()) current()->answer();
    }

    void answer() {
        if (atTick && !ticking_) {
            // What the test does here may open windows whose loops look again meanwhile.
            ticking_ = true;
            atTick();
            ticking_ = false;
        }
        if (HWND box = shownMessageBox()) {
            // The box takes the posted OK before the timer's next turn comes.
            boxes.push_back(messageBoxText(box));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        if (!answering_) answerQuestion();
    }

    void answerQuestion() {
        if (!newQuestion(job(), lightBar())) return;
        answering_ = true;
        if (atQuestion) atQuestion();
        logs.push_back(drawnLines(jobWindow().control("reProg")));
        if (!keysAnswer) click(jobWindow().control(answerButton(job())));
        answering_ = false;
    }

    UINT_PTR timer_ = 0;
    bool ticking_ = false;
    bool answering_ = false;
};

inline constexpr const char* kAdvancedIni =
    "[Configuration]\r\nAdvanced Options=1\r\nCOM Port=1\r\n";
inline constexpr const char* kPlainIni = "[Configuration]\r\nCOM Port=1\r\n";

} // namespace tessel::testing
