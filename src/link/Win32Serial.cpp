#include "link/Win32Serial.h"

#include <windows.h>

namespace tessel {

namespace {

HANDLE toHandle(SerialHandle handle) { return reinterpret_cast<HANDLE>(handle); }

SerialResult fromCall(BOOL ok) {
    return ok ? SerialResult::success()
              : SerialResult::failure(static_cast<int>(GetLastError()));
}

ConfigureResult failed(ConfigureStep step) {
    return ConfigureResult{false, step, static_cast<int>(GetLastError())};
}

} // namespace

SerialResult Win32Serial::open(const std::string& path, SerialHandle& handle) {
    // Share mode 0: a port another program holds cannot be opened.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return SerialResult::failure(static_cast<int>(GetLastError()));
    handle = reinterpret_cast<SerialHandle>(h);
    return SerialResult::success();
}

ConfigureResult Win32Serial::configure(SerialHandle handle) {
    HANDLE h = toHandle(handle);
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(h, &dcb)) return failed(ConfigureStep::ReadState);
    dcb.BaudRate = CBR_115200;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE; // DTR moves only through EscapeCommFunction
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(h, &dcb)) return failed(ConfigureStep::WriteState);

    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(h, &timeouts)) return failed(ConfigureStep::ReadTimeouts);
    // A read returns at once with whatever is there; the write time-outs stay as they were.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(h, &timeouts)) return failed(ConfigureStep::WriteTimeouts);
    return {};
}

void Win32Serial::close(SerialHandle handle) { CloseHandle(toHandle(handle)); }

SerialResult Win32Serial::setDtr(SerialHandle handle, bool on) {
    return fromCall(EscapeCommFunction(toHandle(handle), on ? SETDTR : CLRDTR));
}

SerialResult Win32Serial::setRts(SerialHandle handle, bool on) {
    return fromCall(EscapeCommFunction(toHandle(handle), on ? SETRTS : CLRRTS));
}

SerialResult Win32Serial::setBreak(SerialHandle handle, bool on) {
    return fromCall(on ? SetCommBreak(toHandle(handle)) : ClearCommBreak(toHandle(handle)));
}

SerialResult Win32Serial::readRing(SerialHandle handle, bool& ringOn) {
    DWORD status = 0;
    if (!GetCommModemStatus(toHandle(handle), &status))
        return SerialResult::failure(static_cast<int>(GetLastError()));
    ringOn = (status & MS_RING_ON) != 0;
    return SerialResult::success();
}

std::string Win32Serial::errorText(int errorNumber) const {
    char buffer[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(errorNumber), 0, buffer,
                                   sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(errorNumber) : text;
}

} // namespace tessel
