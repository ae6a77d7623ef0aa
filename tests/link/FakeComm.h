#pragma once

#include "link/Win32Calls.h"
#include "sim/VirtualLightBar.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tessel {

// Stands in for the system: records each call with its arguments, passes the line calls to the
// virtual light bar, and fails the call named in failCall with failError.
class FakeComm final : public Win32Calls {
public:
    explicit FakeComm(VirtualLightBar& bar) : bar_(bar) {}

    std::vector<std::string> calls;
    std::string failCall; // e.g. "SetCommState"
    DWORD failError = 0;
    DWORD modemStatusBits = MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON; // never looked at
    DCB written{};
    COMMTIMEOUTS writtenTimeouts{};
    DWORD dcbLengthOnRead = 0;

    // What a port reports before it is configured: everything away from what the cable needs.
    static DCB portAsFound() {
        DCB d{};
        d.DCBlength = sizeof(DCB);
        d.BaudRate = CBR_9600;
        d.fBinary = FALSE;
        d.fParity = TRUE;
        d.fOutxCtsFlow = TRUE;
        d.fOutxDsrFlow = TRUE;
        d.fDtrControl = DTR_CONTROL_HANDSHAKE;
        d.fDsrSensitivity = TRUE;
        d.fTXContinueOnXoff = FALSE;
        d.fOutX = TRUE;
        d.fInX = TRUE;
        d.fErrorChar = TRUE;
        d.fNull = TRUE;
        d.fRtsControl = RTS_CONTROL_TOGGLE;
        d.fAbortOnError = TRUE;
        d.XonLim = 2048;
        d.XoffLim = 512;
        d.ByteSize = 7;
        d.Parity = EVENPARITY;
        d.StopBits = TWOSTOPBITS;
        d.XonChar = 0x11;
        d.XoffChar = 0x13;
        d.ErrorChar = '?';
        d.EofChar = 0x1A;
        d.EvtChar = '\n';
        return d;
    }
    static COMMTIMEOUTS timeoutsAsFound() { return {50, 10, 1000, 20, 3000}; }

    HANDLE createFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                       DWORD disposition, DWORD flags, HANDLE templateFile) override {
        calls.push_back("CreateFileA(" + std::string(name) + ", " + hex(access) + ", " + hex(shareMode) +
                        ", " + (security ? "security" : "null") + ", " + hex(disposition) + ", " +
                        hex(flags) + ", " + (templateFile ? "template" : "null") + ")");
        if (fails("CreateFileA")) return INVALID_HANDLE_VALUE;
        SerialHandle h = kNoSerialHandle;
        if (!bar_.open(name, h).ok) {
            lastError_ = ERROR_ACCESS_DENIED; // held by another program
            return INVALID_HANDLE_VALUE;
        }
        return kHandle;
    }
    BOOL closeHandle(HANDLE h) override {
        calls.push_back("CloseHandle" + handleText(h));
        bar_.close(1);
        return TRUE;
    }
    BOOL getCommState(HANDLE h, DCB* dcb) override {
        calls.push_back("GetCommState" + handleText(h));
        dcbLengthOnRead = dcb->DCBlength;
        if (fails("GetCommState")) return FALSE;
        *dcb = portAsFound();
        return TRUE;
    }
    BOOL setCommState(HANDLE h, DCB* dcb) override {
        calls.push_back("SetCommState" + handleText(h));
        written = *dcb;
        return !fails("SetCommState");
    }
    BOOL getCommTimeouts(HANDLE h, COMMTIMEOUTS* t) override {
        calls.push_back("GetCommTimeouts" + handleText(h));
        if (fails("GetCommTimeouts")) return FALSE;
        *t = timeoutsAsFound();
        return TRUE;
    }
    BOOL setCommTimeouts(HANDLE h, COMMTIMEOUTS* t) override {
        calls.push_back("SetCommTimeouts" + handleText(h));
        writtenTimeouts = *t;
        return !fails("SetCommTimeouts");
    }
    BOOL escapeCommFunction(HANDLE h, DWORD function) override {
        calls.push_back("EscapeCommFunction" + handleText(h, std::to_string(function)));
        if (fails("EscapeCommFunction")) return FALSE;
        const auto r = function == SETDTR || function == CLRDTR ? bar_.setDtr(1, function == SETDTR)
                                                                : bar_.setRts(1, function == SETRTS);
        return passOn(r);
    }
    BOOL setCommBreak(HANDLE h) override {
        calls.push_back("SetCommBreak" + handleText(h));
        return !fails("SetCommBreak") && passOn(bar_.setBreak(1, true));
    }
    BOOL clearCommBreak(HANDLE h) override {
        calls.push_back("ClearCommBreak" + handleText(h));
        return !fails("ClearCommBreak") && passOn(bar_.setBreak(1, false));
    }
    BOOL getCommModemStatus(HANDLE h, DWORD* status) override {
        calls.push_back("GetCommModemStatus" + handleText(h));
        bool ring = false;
        if (fails("GetCommModemStatus") || !passOn(bar_.readRing(1, ring))) return FALSE;
        *status = modemStatusBits | (ring ? MS_RING_ON : 0);
        return TRUE;
    }
    DWORD getLastError() override { return lastError_; }

    std::vector<std::string> callsNamed(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

private:
    inline static const HANDLE kHandle = reinterpret_cast<HANDLE>(std::intptr_t{0x7C});

    static std::string hex(DWORD v) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(v));
        return text;
    }
    static std::string handleText(HANDLE h, const std::string& more = "") {
        return std::string(h == kHandle ? "(port" : "(other handle") + (more.empty() ? "" : ", " + more) + ")";
    }
    bool fails(const std::string& call) {
        if (failCall != call) return false;
        lastError_ = failError;
        return true;
    }
    BOOL passOn(SerialResult r) {
        if (!r.ok) lastError_ = ERROR_GEN_FAILURE;
        return r.ok;
    }

    VirtualLightBar& bar_;
    DWORD lastError_ = 0;
};

} // namespace tessel
