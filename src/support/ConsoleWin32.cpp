#include "support/Console.h"

#include <cstdio>
#include <initializer_list>
#include <io.h>
#include <windows.h>

namespace tessel {

void prepareConsole() {
    if (!GetStdHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
        freopen_s(&stream, "CONIN$", "r", stdin);
    }
    SetConsoleOutputCP(CP_UTF8);
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE h = GetStdHandle(which);
        DWORD mode = 0;
        if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode))
            SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

bool isTerminal(StandardStream stream) {
    FILE* file = stream == StandardStream::Input    ? stdin
                 : stream == StandardStream::Output ? stdout
                                                    : stderr;
    return _isatty(_fileno(file)) != 0;
}

} // namespace tessel
