#include "support/Console.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <io.h>
#include <windows.h>

namespace tessel {

namespace {

// The console as the program found it. Standard output and error may share one screen buffer,
// so their modes are put back in the reverse order of their change.
struct FoundMode {
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD mode = 0;
};
UINT foundCodePage = 0; // 0: no console
FoundMode foundModes[2];
std::atomic<bool> changed{false};

bool showsSequences(HANDLE h) {
    DWORD mode = 0;
    return GetConsoleMode(h, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

} // namespace

bool prepareConsole() {
    if (!GetStdHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
        freopen_s(&stream, "CONIN$", "r", stdin);
    }
    foundCodePage = GetConsoleOutputCP();
    int n = 0;
    for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE h = GetStdHandle(which);
        DWORD mode = 0;
        if (h == INVALID_HANDLE_VALUE || !GetConsoleMode(h, &mode)) continue;
        foundModes[n++] = {h, mode};
        SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    if (foundCodePage != 0) SetConsoleOutputCP(CP_UTF8);
    changed = true;
    std::atexit(restoreConsole);
    // Asked again: a console that does not know the mode refuses it, or keeps it off.
    return showsSequences(GetStdHandle(STD_ERROR_HANDLE));
}

void restoreConsole() {
    if (!changed.exchange(false)) return;
    for (int i = 1; i >= 0; --i)
        if (foundModes[i].handle != INVALID_HANDLE_VALUE)
            SetConsoleMode(foundModes[i].handle, foundModes[i].mode);
    if (foundCodePage != 0) SetConsoleOutputCP(foundCodePage);
}

bool isTerminal(StandardStream stream) {
    FILE* file = stream == StandardStream::Input    ? stdin
                 : stream == StandardStream::Output ? stdout
                                                    : stderr;
    return _isatty(_fileno(file)) != 0;
}

} // namespace tessel
