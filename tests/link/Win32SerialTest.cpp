// The Win32 serial lines over a stand-in for the system's communications calls, wired to the
// virtual light bar: the calls and their arguments, the open failures, and whole jobs.
#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "jobs/ChipProgrammer.h"
#include "jobs/ScriptedJobWindow.h"
#include "link/IspPort.h"
#include "link/Win32Calls.h"
#include "link/Win32Serial.h"
#include "sim/VirtualLightBar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tessel {
namespace {

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

// The port over the Win32 lines over the stand-in, on virtual time.
struct Win32Bench {
    VirtualClock clock{1'000'000};
    VirtualLightBar bar{clock};
    FakeComm comm{bar};
    Win32Serial serial{comm};
    MemoryPortSettings settings;
    IspPort port{serial, clock, settings};
};

TEST(Win32Serial, OpensTheComPortExclusivelyAndConfiguresItAsTheCableNeeds) {
    Win32Bench b;
    b.port.selectPort(3);
    ASSERT_TRUE(b.port.open());
    EXPECT_EQ(b.comm.calls, (std::vector<std::string>{
                                "CreateFileA(\\\\.\\COM3, 0xC0000000, 0x0, null, 0x3, 0x80, null)",
                                "GetCommState(port)", "SetCommState(port)", "GetCommTimeouts(port)",
                                "SetCommTimeouts(port)"}));
    EXPECT_EQ(b.comm.dcbLengthOnRead, 28u);

    const DCB& d = b.comm.written;
    EXPECT_EQ(d.BaudRate, 115200u);
    EXPECT_EQ(d.fBinary, 1u);
    EXPECT_EQ(d.fParity, 0u);
    EXPECT_EQ(d.fOutxCtsFlow, 0u);
    EXPECT_EQ(d.fOutxDsrFlow, 0u);
    EXPECT_EQ(d.fDtrControl, unsigned{DTR_CONTROL_DISABLE});
    EXPECT_EQ(d.fDsrSensitivity, 0u);
    EXPECT_EQ(d.fTXContinueOnXoff, 1u);
    EXPECT_EQ(d.fOutX, 0u);
    EXPECT_EQ(d.fInX, 0u);
    EXPECT_EQ(d.fErrorChar, 0u);
    EXPECT_EQ(d.fNull, 0u);
    EXPECT_EQ(d.fRtsControl, unsigned{RTS_CONTROL_DISABLE});
    EXPECT_EQ(d.fAbortOnError, 0u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, NOPARITY);
    EXPECT_EQ(d.StopBits, ONESTOPBIT);
    // Everything else stays as read.
    const DCB found = FakeComm::portAsFound();
    EXPECT_EQ(d.DCBlength, found.DCBlength);
    EXPECT_EQ(d.XonLim, found.XonLim);
    EXPECT_EQ(d.XoffLim, found.XoffLim);
    EXPECT_EQ(d.XonChar, found.XonChar);
    EXPECT_EQ(d.XoffChar, found.XoffChar);
    EXPECT_EQ(d.ErrorChar, found.ErrorChar);
    EXPECT_EQ(d.EofChar, found.EofChar);
    EXPECT_EQ(d.EvtChar, found.EvtChar);

    // Reads return at once; the write time-outs stay as read.
    const COMMTIMEOUTS& t = b.comm.writtenTimeouts;
    EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, FakeComm::timeoutsAsFound().WriteTotalTimeoutMultiplier);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, FakeComm::timeoutsAsFound().WriteTotalTimeoutConstant);

    b.comm.calls.clear();
    b.port.close();
    EXPECT_EQ(b.comm.calls, std::vector<std::string>{"CloseHandle(port)"});
}

TEST(Win32Serial, EachLineOperationIsOneCallAndOnlyTheRingBitIsRead) {
    Win32Bench b;
    ASSERT_TRUE(b.port.open());
    b.bar.setNoAnswer(true, 1); // MISO held at 1: the ring indicator is off
    b.comm.calls.clear();
    b.port.assertReset();
    b.port.clockLow();
    b.port.clockHigh();
    b.port.dataOut0();
    b.port.dataOut1();
    const int in = b.port.sampleDataIn();
    b.port.releaseReset();
    EXPECT_EQ(b.comm.calls, (std::vector<std::string>{
                                "EscapeCommFunction(port, 5)", "EscapeCommFunction(port, 3)",
                                "EscapeCommFunction(port, 4)", "SetCommBreak(port)",
                                "ClearCommBreak(port)", "GetCommModemStatus(port)",
                                "EscapeCommFunction(port, 6)"}));
    EXPECT_EQ(in, 1) << "CTS, DSR and DCD on, the ring indicator off: a 1";
    b.comm.modemStatusBits = 0;
    b.bar.setNoAnswer(true, 0); // MISO held at 0: the ring indicator is on, the only bit set
    EXPECT_EQ(b.port.sampleDataIn(), 0);
    EXPECT_EQ(b.port.result(), 0);
}

TEST(Win32Serial, FailuresToOpenOrConfigureLeaveThePortClosedWithTheirTexts) {
    struct Case {
        const char* call;
        const char* text;
    };
    for (Case c : {Case{"GetCommState", "GetCommState failed. Errno=87\r\n"},
                   Case{"SetCommState", "SetCommState failed. Errno=87\r\n"},
                   Case{"GetCommTimeouts", "GetCommTimeouts failed. Errno=87\r\n"},
                   Case{"SetCommTimeouts", "SetCommTimeouts failed. Errno=87\r\n"}}) {
        Win32Bench b;
        b.comm.failCall = c.call;
        b.comm.failError = ERROR_INVALID_PARAMETER; // 87
        EXPECT_FALSE(b.port.open()) << c.call;
        EXPECT_FALSE(b.port.isOpen());
        EXPECT_EQ(b.port.lastErrorNumber(), 87);
        EXPECT_EQ(b.port.lastErrorText(), c.text);
        EXPECT_EQ(b.comm.calls.back(), "CloseHandle(port)") << c.call;
        EXPECT_FALSE(b.bar.isOpen());
    }

    // A missing port: the system's own words for its error number.
    Win32Bench b;
    b.port.selectPort(2);
    b.comm.failCall = "CreateFileA";
    b.comm.failError = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(b.port.open());
    EXPECT_EQ(b.port.lastErrorNumber(), 2);
    const std::string prefix = "Cannot open \\\\.\\COM2: ";
    EXPECT_EQ(b.port.lastErrorText().rfind(prefix, 0), 0u) << b.port.lastErrorText();
    EXPECT_GT(b.port.lastErrorText().size(), prefix.size() + 2) << "names the reason";
    EXPECT_EQ(b.comm.callsNamed("CloseHandle").size(), 0u) << "nothing to close";
}

TEST(Win32Serial, TheComMenuProbeSkipsHiddenPortsAndFindsHeldOnesAbsent) {
    Win32Bench b;
    b.settings.setSkipComPort(2, 1);
    EXPECT_FALSE(b.port.portPresent(2));
    EXPECT_TRUE(b.comm.calls.empty()) << "a hidden port is not touched";
    EXPECT_TRUE(b.port.portPresent(1));
    EXPECT_EQ(b.comm.calls, (std::vector<std::string>{
                                "CreateFileA(\\\\.\\COM1, 0xC0000000, 0x0, null, 0x3, 0x80, null)",
                                "CloseHandle(port)"}));
    ASSERT_TRUE(b.port.open()); // this job holds the light bar's port
    Win32Serial other(b.comm);
    MemoryPortSettings settings;
    IspPort otherPort(other, b.clock, settings);
    EXPECT_FALSE(otherPort.portPresent(1));
}

TEST(Win32Serial, AFailedLineCallGivesResult32AndLaterSamplesMakeNoCall) {
    Win32Bench b;
    ASSERT_TRUE(b.port.open());
    b.comm.failCall = "SetCommBreak";
    b.comm.failError = ERROR_GEN_FAILURE;
    b.port.dataOut0();
    EXPECT_EQ(b.port.result(), IspPort::kCommSystemError);
    b.comm.calls.clear();
    EXPECT_EQ(b.port.sampleDataIn(), 0);
    EXPECT_TRUE(b.comm.calls.empty());
}

// Whole jobs through the Win32 lines: the engine cannot tell them from the POSIX ones.
TEST(Win32Serial, BlockJobsRunEndToEndThroughTheSystemCalls) {
    VirtualClock clock;
    VirtualLightBar bar{clock};
    FakeComm comm{bar};
    Win32Serial serial{comm};
    MemoryPortSettings settings;
    testing::ScriptedJobWindow window;
    RecordHost host{true};
    ChipProgrammer engine{serial, clock, settings, window, host};

    EXPECT_EQ(engine.initDefaultBlock(), 0);
    ConfigBlock record;
    record.format = 2;
    record.serialNumber = 271828;
    record.productName = "KD-9";
    BlockArea reference;
    renderBlock(record, reference);
    EXPECT_EQ(engine.programBlock(reference), 0);
    BlockArea area;
    area.fill(0);
    EXPECT_EQ(engine.readBlock(area), 0);
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_EQ(parsed.serialNumber, 271828);
    EXPECT_EQ(parsed.productName, "KD-9");
    EXPECT_EQ(bar.timingViolations(), 0u);

    // Every job opened "\\.\COM1" once and closed it once; the lines moved only by the calls.
    EXPECT_EQ(comm.callsNamed("CreateFileA").size(), 3u);
    EXPECT_EQ(comm.callsNamed("CloseHandle").size(), 3u);
    EXPECT_GT(comm.callsNamed("GetCommModemStatus").size(), 4096u * 8);
    EXPECT_EQ(bar.counts().lineCalls(),
              comm.callsNamed("EscapeCommFunction").size() + comm.callsNamed("SetCommBreak").size() +
                  comm.callsNamed("ClearCommBreak").size() + comm.callsNamed("GetCommModemStatus").size());
}

} // namespace
} // namespace tessel
