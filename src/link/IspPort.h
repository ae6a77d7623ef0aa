#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "link/Ft232rLink.h"
#include "link/LinkError.h"
#include "link/LinkMode.h"
#include "link/LinkWaits.h"
#include "link/PortSettings.h"
#include "link/SerialIspLink.h"
#include "link/SerialLines.h"
#include "link/UsbAdapters.h"
#include "support/Clock.h"
#include "support/ResultCode.h"

namespace tessel {

// The light bar's programming interface: the selected COM port, its open handle and the seven
// line operations with their waits. A failed line operation is reported to the running job's
// result, and its reason kept (failure()). Between jobs no port is open, so other programs can
// use it.
//
// A COM port whose device is a USB adapter ("ftdi:...", see UsbAdapters.h) opens that FT232R in
// synchronous bit-bang mode instead; the instructions then travel as pin streams (Ft232rLink)
// with the same waits. link() is whichever the open port uses. The SCK rate an adapter last
// answered at is kept for the next job on it (its settings' rate unless an enable stepped down).
class IspPort {
public:
    // failures: the job result a failed line operation moves from 0 to 32 (never from another
    // failure); none for a port that only answers the COM menu's probe. adapters: where "ftdi:"
    // devices are found; without, they cannot be opened.
    IspPort(SerialLines& lines, Clock& clock, PortSettings& settings,
            JobResult* failures = nullptr, UsbAdapters* adapters = nullptr);
    // Releases reset on a port that is still open, then closes it.
    ~IspPort();
    IspPort(const IspPort&) = delete;
    IspPort& operator=(const IspPort&) = delete;

    // 1..4 select COM1..COM4; anything else selects no port (0).
    void selectPort(int index);
    int portIndex() const { return portIndex_; }

    // Closes an open port, then opens and configures the selected one. True when it is open;
    // else failure() says why.
    bool open();
    // Sends what the link still holds, then closes (a USB adapter goes back to its driver).
    void close();
    bool isOpen() const { return handle_ != kNoSerialHandle || adapter_ != nullptr; }
    // The COM menu's probe: not hidden by "SkipComPort<n>", and can be opened right now (a USB
    // adapter: is plugged in; it is not opened).
    bool portPresent(int n);

    // The instructions' way to the chip over the open port (the serial lines when none is open).
    IspLink& link() { return usbLink_ ? static_cast<IspLink&>(*usbLink_) : serialLink_; }
    SerialIspLink& serialLink() { return serialLink_; }

    // The link mode decides the waits and whether a line call that would not change the line's
    // level is left out. Chosen between jobs.
    void setLinkMode(LinkMode mode) {
        linkMode_ = mode;
        waits_ = LinkWaits::of(mode);
    }
    LinkMode linkMode() const { return linkMode_; }
    bool fast() const { return linkMode_ == LinkMode::Fast; }
    const LinkWaits& waits() const { return waits_; }

    // RESET (DTR): assert holds the light bar in reset (10 ms), release lets it run (500 ms);
    // the fast link waits 25 and 20 ms.
    void assertReset();
    void releaseReset();
    // SCK (RTS inverted) and MOSI (break inverted).
    void clockLow() { setRts(true); }
    void clockHigh() { setRts(false); }
    void dataOut1() { setBreak(false); }
    void dataOut0() { setBreak(true); }
    // MISO (RI inverted). After any failure of the job it reads 0 without touching the port.
    int sampleDataIn() {
        if (failed()) return 0;
        bool ring = false;
        if (!check(lines_.readRing(handle_, ring))) return 0;
        return ring ? 0 : 1;
    }
    // Returns once the tick counter has moved more than ms milliseconds past its start value.
    void wait(std::uint32_t ms);

    // The job window's message pump. It runs from the line operations and the waits whenever
    // kPumpIntervalMs of clock time have passed since it last ran, so the window stays alive
    // (and a Cancel is recorded) through long waits and long stretches of line calls.
    static constexpr std::uint32_t kPumpIntervalMs = 25;
    void setMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }

    bool resetHeld() const { return resetHeld_; }
    // Why the port did not open, or the first failure of its link since it opened.
    const LinkError& failure() const { return failure_; }

    // Whether the job these operations serve has failed (its result is not 0).
    bool failed() const { return failures_ && !failures_->ok(); }
    // A link that is not line calls reports its failures (result 32, the first reason kept) and
    // its reset line here.
    void reportLinkFailure(const LinkError& error);
    void noteResetHeld(bool held) { resetHeld_ = held; }
    // Programming enable answered: an adapter's next job starts at the rate that worked.
    void noteEnabled();
    // Runs the message pump when kPumpIntervalMs have passed since it last ran.
    void pumpWhenDue();
    // Line calls that failed since the port was made: an instruction reached the chip whole only
    // when none failed while it was sent.
    std::uint64_t failedCalls() const { return failedCalls_; }

    Clock& clock() { return clock_; }

private:
    bool check(SerialResult r) {
        if (!r.ok) lineCallFailed(r.error);
        pumpWhenDue();
        return r.ok;
    }
    void lineCallFailed(int error);
    LinkError openSerial(const std::string& path);
    LinkError openAdapter(const std::string& device);
    // The fast link leaves out a call that would set a line to the level it already has. A
    // level is known only from a call that succeeded since the port was opened.
    static constexpr int kLevelUnknown = -1;
    void setRts(bool on) { setLine(rtsLevel_, on, &SerialLines::setRts); }
    void setBreak(bool on) { setLine(breakLevel_, on, &SerialLines::setBreak); }
    void setLine(int& level, bool on, SerialResult (SerialLines::*call)(SerialHandle, bool)) {
        if (fast() && level == static_cast<int>(on)) return;
        level = check((lines_.*call)(handle_, on)) ? static_cast<int>(on) : kLevelUnknown;
    }

    SerialLines& lines_;
    Clock& clock_;
    PortSettings& settings_;
    int portIndex_ = 1;
    SerialHandle handle_ = kNoSerialHandle;
    bool resetHeld_ = false;
    LinkError failure_;
    std::string openPath_; // the device the port opened
    JobResult* failures_;
    UsbAdapters* adapters_;
    std::unique_ptr<BitBangDevice> adapter_;
    std::unique_ptr<Ft232rLink> usbLink_;
    std::map<std::string, std::uint32_t> sckHzThatWorked_; // by adapter device name
    std::uint32_t configuredSckHz_ = 0; // SckHz as set, for the adapter open now
    SerialIspLink serialLink_{*this};
    LinkMode linkMode_ = LinkMode::Specified;
    LinkWaits waits_ = LinkWaits::of(LinkMode::Specified);
    int rtsLevel_ = kLevelUnknown;
    int breakLevel_ = kLevelUnknown;
    std::function<void()> pump_;
    std::uint64_t lastPumpMicros_ = 0;
    std::uint64_t failedCalls_ = 0;
};

} // namespace tessel
