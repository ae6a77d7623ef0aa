#pragma once

#include <windows.h>

namespace tessel {

// The Win32 communications calls the serial lines make, one method per system function with its
// own arguments, so that tests can stand in for the system and see every call (Windows only).
class Win32Calls {
public:
    virtual ~Win32Calls() = default;

    virtual HANDLE createFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile) = 0;
    virtual BOOL closeHandle(HANDLE h) = 0;
    virtual BOOL getCommState(HANDLE h, DCB* dcb) = 0;
    virtual BOOL setCommState(HANDLE h, DCB* dcb) = 0;
    virtual BOOL getCommTimeouts(HANDLE h, COMMTIMEOUTS* timeouts) = 0;
    virtual BOOL setCommTimeouts(HANDLE h, COMMTIMEOUTS* timeouts) = 0;
    virtual BOOL escapeCommFunction(HANDLE h, DWORD function) = 0;
    virtual BOOL setCommBreak(HANDLE h) = 0;
    virtual BOOL clearCommBreak(HANDLE h) = 0;
    virtual BOOL getCommModemStatus(HANDLE h, DWORD* status) = 0;
    virtual DWORD getLastError() = 0;
};

// The system's own functions.
Win32Calls& systemWin32Calls();

} // namespace tessel
