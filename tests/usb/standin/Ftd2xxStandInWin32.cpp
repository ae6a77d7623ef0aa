// A stand-in for FTDI's ftd2xx.dll: the D2XX functions the program loads, each passed on to the
// calls the test installed (StandInUse). The test puts the emulated FT232R behind them.
#include "standin/Ftd2xxStandInWin32.h"

namespace {
const Ftd2xxCalls* calls = nullptr;
constexpr FtStatus kOtherError = 18;
} // namespace

#define STANDIN(name, member, params, args)                                                        \
    extern "C" __declspec(dllexport) FtStatus WINAPI name params {                                 \
        return calls ? calls->member args : kOtherError;                                           \
    }

extern "C" __declspec(dllexport) void StandInUse(const Ftd2xxCalls* installed) {
    calls = installed;
}

STANDIN(FT_CreateDeviceInfoList, createDeviceInfoList, (DWORD * n), (n))
STANDIN(FT_GetDeviceInfoList, getDeviceInfoList, (void* nodes, DWORD* n), (nodes, n))
STANDIN(FT_Open, open, (int index, void** handle), (index, handle))
STANDIN(FT_OpenEx, openEx, (void* serial, DWORD flags, void** handle), (serial, flags, handle))
STANDIN(FT_Close, close, (void* handle), (handle))
STANDIN(FT_ResetDevice, resetDevice, (void* handle), (handle))
STANDIN(FT_SetBitMode, setBitMode, (void* handle, UCHAR mask, UCHAR mode), (handle, mask, mode))
STANDIN(FT_SetBaudRate, setBaudRate, (void* handle, ULONG baud), (handle, baud))
STANDIN(FT_SetLatencyTimer, setLatencyTimer, (void* handle, UCHAR ms), (handle, ms))
STANDIN(FT_SetTimeouts, setTimeouts, (void* handle, ULONG readMs, ULONG writeMs),
        (handle, readMs, writeMs))
STANDIN(FT_Purge, purge, (void* handle, ULONG mask), (handle, mask))
STANDIN(FT_Write, write, (void* handle, void* data, DWORD n, DWORD* done), (handle, data, n, done))
STANDIN(FT_Read, read, (void* handle, void* data, DWORD n, DWORD* done), (handle, data, n, done))
