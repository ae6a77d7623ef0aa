#pragma once

#include <windows.h>

// The calls of FTDI's D2XX driver that the stand-in ftd2xx.dll passes on to the test that loaded
// it (its functions as the D2XX Programmer's Guide gives them). Until the test hands it its
// calls, every function answers FT_OTHER_ERROR.
extern "C" {

using FtStatus = ULONG;

struct Ftd2xxCalls {
    FtStatus(WINAPI* createDeviceInfoList)(DWORD* count);
    FtStatus(WINAPI* getDeviceInfoList)(void* nodes, DWORD* count);
    FtStatus(WINAPI* open)(int index, void** handle);
    FtStatus(WINAPI* openEx)(void* serial, DWORD flags, void** handle);
    FtStatus(WINAPI* close)(void* handle);
    FtStatus(WINAPI* resetDevice)(void* handle);
    FtStatus(WINAPI* setBitMode)(void* handle, UCHAR mask, UCHAR mode);
    FtStatus(WINAPI* setBaudRate)(void* handle, ULONG baud);
    FtStatus(WINAPI* setLatencyTimer)(void* handle, UCHAR ms);
    FtStatus(WINAPI* setTimeouts)(void* handle, ULONG readMs, ULONG writeMs);
    FtStatus(WINAPI* purge)(void* handle, ULONG mask);
    FtStatus(WINAPI* write)(void* handle, void* data, DWORD n, DWORD* written);
    FtStatus(WINAPI* read)(void* handle, void* data, DWORD n, DWORD* read);
};

// Exported by the stand-in as "StandInUse".
using StandInUseFunction = void (*)(const Ftd2xxCalls* calls);
}
