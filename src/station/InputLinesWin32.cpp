#include "station/InputLines.h"

#include <windows.h>

namespace tessel {

namespace {

// The characters typed so far at a console, Enter as a line end; input events of other kinds
// are taken and dropped.
void takeConsoleKeys(HANDLE in, std::string& buffer) {
    DWORD count = 0;
    while (GetNumberOfConsoleInputEvents(in, &count) && count > 0) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(in, &record, 1, &read) || read == 0) return;
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        const WCHAR c = record.Event.KeyEvent.uChar.UnicodeChar;
        if (c == L'\r')
            buffer += '\n';
        else if (c >= 0x20 && c < 0x7F)
            buffer += static_cast<char>(c);
    }
}

} // namespace

void InputLines::fill(int waitMs) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE) {
        ended_ = true;
        return;
    }
    const DWORD type = GetFileType(in);
    if (type == FILE_TYPE_CHAR) {
        if (WaitForSingleObject(in, waitMs < 0 ? INFINITE : static_cast<DWORD>(waitMs)) ==
            WAIT_OBJECT_0)
            takeConsoleKeys(in, buffer_);
        return;
    }
    // A pipe (or a file): what it holds now, looked at every 10 ms while the wait lasts.
    const ULONGLONG until = GetTickCount64() + (waitMs < 0 ? 0 : static_cast<ULONGLONG>(waitMs));
    for (;;) {
        DWORD available = 0;
        if (type == FILE_TYPE_PIPE &&
            !PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) {
            ended_ = true; // the writer has gone
            return;
        }
        if (type != FILE_TYPE_PIPE || available > 0) {
            char buf[4096];
            DWORD n = 0;
            const DWORD want =
                type == FILE_TYPE_PIPE && available < sizeof buf ? available : sizeof buf;
            if (!ReadFile(in, buf, want, &n, nullptr) || n == 0)
                ended_ = true;
            else
                buffer_.append(buf, n);
            return;
        }
        if (waitMs >= 0 && GetTickCount64() >= until) return;
        Sleep(10);
    }
}

} // namespace tessel
