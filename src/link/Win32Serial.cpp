#include "link/Win32Serial.h"

#include "link/SystemSerial.h"
#include "link/Win32Calls.h"
#include "support/Win32Text.h"

namespace tessel {

namespace {

HANDLE toHandle(SerialHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// The device control block as the system defines it; its length member is set before reading.
static_assert(sizeof(DCB) == 28);

// The system's functions themselves.
class SystemCalls final : public Win32Calls {
public:
    HANDLE createFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                       DWORD disposition, DWORD flags, HANDLE templateFile) override {
        return ::CreateFileA(name, access, shareMode, security, disposition, flags, templateFile);
    }
    BOOL closeHandle(HANDLE h) override { return ::CloseHandle(h); }
    BOOL getCommState(HANDLE h, DCB* dcb) override { return ::GetCommState(h, dcb); }
    BOOL setCommState(HANDLE h, DCB* dcb) override { return ::SetCommState(h, dcb); }
    BOOL getCommTimeouts(HANDLE h, COMMTIMEOUTS* t) override { return ::GetCommTimeouts(h, t); }
    BOOL setCommTimeouts(HANDLE h, COMMTIMEOUTS* t) override { return ::SetCommTimeouts(h, t); }
    BOOL escapeCommFunction(HANDLE h, DWORD function) override { return ::EscapeCommFunction(h, function); }
    BOOL setCommBreak(HANDLE h) override { return ::SetCommBreak(h); }
    BOOL clearCommBreak(HANDLE h) override { return ::ClearCommBreak(h); }
    BOOL getCommModemStatus(HANDLE h, DWORD* status) override { return ::GetCommModemStatus(h, status); }
    DWORD getLastError() override { return ::GetLastError(); }
};

} // namespace

Win32Calls& systemWin32Calls() {
    static SystemCalls calls;
    return calls;
}

std::unique_ptr<SerialLines> makeSystemSerial() { return std::make_unique<Win32Serial>(); }

Win32Serial::Win32Serial() : calls_(systemWin32Calls()) {}

SerialResult Win32Serial::fromCall(bool ok) {
    return ok ? SerialResult::success() : SerialResult::failure(static_cast<int>(calls_.getLastError()));
}

ConfigureResult Win32Serial::failed(ConfigureStep step) {
    return ConfigureResult{false, step, static_cast<int>(calls_.getLastError())};
}

SerialResult Win32Serial::open(const std::string& path, SerialHandle& handle) {
    // Share mode 0: a port another program holds cannot be opened.
    HANDLE h = calls_.createFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fromCall(false);
    handle = reinterpret_cast<SerialHandle>(h);
    return SerialResult::success();
}

ConfigureResult Win32Serial::configure(SerialHandle handle) {
    HANDLE h = toHandle(handle);
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!calls_.getCommState(h, &dcb)) return failed(ConfigureStep::ReadState);
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
    if (!calls_.setCommState(h, &dcb)) return failed(ConfigureStep::WriteState);

    COMMTIMEOUTS timeouts{};
    if (!calls_.getCommTimeouts(h, &timeouts)) return failed(ConfigureStep::ReadTimeouts);
    // A read returns at once with whatever is there; the write time-outs stay as they were.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!calls_.setCommTimeouts(h, &timeouts)) return failed(ConfigureStep::WriteTimeouts);
    return {};
}

void Win32Serial::close(SerialHandle handle) { calls_.closeHandle(toHandle(handle)); }

SerialResult Win32Serial::setDtr(SerialHandle handle, bool on) {
    return fromCall(calls_.escapeCommFunction(toHandle(handle), on ? SETDTR : CLRDTR));
}

SerialResult Win32Serial::setRts(SerialHandle handle, bool on) {
    return fromCall(calls_.escapeCommFunction(toHandle(handle), on ? SETRTS : CLRRTS));
}

SerialResult Win32Serial::setBreak(SerialHandle handle, bool on) {
    return fromCall(on ? calls_.setCommBreak(toHandle(handle)) : calls_.clearCommBreak(toHandle(handle)));
}

SerialResult Win32Serial::readRing(SerialHandle handle, bool& ringOn) {
    DWORD status = 0;
    if (!calls_.getCommModemStatus(toHandle(handle), &status)) return fromCall(false);
    ringOn = (status & MS_RING_ON) != 0;
    return SerialResult::success();
}

std::string Win32Serial::errorText(int errorNumber) const {
    return systemMessage(static_cast<unsigned long>(errorNumber));
}

} // namespace tessel
