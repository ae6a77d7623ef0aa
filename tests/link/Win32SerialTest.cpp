// The Win32 serial lines over a stand-in for the system's communications calls, wired to the
// virtual light bar: the calls and their arguments, the open failures and their texts.
#include "FakeComm.h"

#include "link/IspPort.h"
#include "link/Win32Serial.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

// The port over the Win32 lines over the stand-in, on virtual time.
struct Win32Bench {
    VirtualClock clock{1'000'000};
    VirtualLightBar bar{clock};
    FakeComm comm{bar};
    Win32Serial serial{comm};
    MemoryPortSettings settings;
    JobResult result;
    IspPort port{serial, clock, settings, &result};
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
    EXPECT_TRUE(b.result.ok());
}

TEST(Win32Serial, FailuresToOpenOrConfigureLeaveThePortClosedWithTheirTexts) {
    struct Case {
        const char* call;
        const char* text;
    };
    for (Case c : {Case{"GetCommState", "GetCommState failed. Errno=87"},
                   Case{"SetCommState", "SetCommState failed. Errno=87"},
                   Case{"GetCommTimeouts", "GetCommTimeouts failed. Errno=87"},
                   Case{"SetCommTimeouts", "SetCommTimeouts failed. Errno=87"}}) {
        Win32Bench b;
        b.comm.failCall = c.call;
        b.comm.failError = ERROR_INVALID_PARAMETER; // 87
        EXPECT_FALSE(b.port.open()) << c.call;
        EXPECT_FALSE(b.port.isOpen());
        EXPECT_EQ(b.port.failure().systemError, 87);
        EXPECT_EQ(b.port.failure().reason, c.text);
        EXPECT_EQ(b.comm.calls.back(), "CloseHandle(port)") << c.call;
        EXPECT_FALSE(b.bar.isOpen());
    }

    // A missing port: the system's own words for its error number.
    Win32Bench b;
    b.port.selectPort(2);
    b.comm.failCall = "CreateFileA";
    b.comm.failError = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(b.port.open());
    EXPECT_EQ(b.port.failure().systemError, 2);
    const std::string prefix = "Cannot open \\\\.\\COM2: ";
    EXPECT_EQ(b.port.failure().reason.rfind(prefix, 0), 0u) << b.port.failure().reason;
    EXPECT_GT(b.port.failure().reason.size(), prefix.size() + 2) << "names the reason";
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
    EXPECT_EQ(b.result.code(), result::CommSystemError);
    b.comm.calls.clear();
    EXPECT_EQ(b.port.sampleDataIn(), 0);
    EXPECT_TRUE(b.comm.calls.empty());
}

} // namespace
} // namespace tessel
