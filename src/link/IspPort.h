#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/LinkMode.h"
#include "link/LinkWaits.h"
#include "link/PortSettings.h"
#include "link/SerialLines.h"
#include "support/Clock.h"
#include "support/ResultCode.h"

namespace tessel {

// The serial port as the light bar's programming interface: the selected COM port, its open
// handle and the seven line operations with their waits. A failed line operation is reported to
// the running job's result. Between jobs no port is open, so other programs can use it.
class IspPort {
public:
    // failures: the job result a failed line operation moves from 0 to 32 (never from another
    // failure); none for a port that only answers the COM menu's probe.
    IspPort(SerialLines& lines, Clock& clock, PortSettings& settings,
            JobResult* failures = nullptr);
    // Releases reset on a port that is still open, then closes it.
    ~IspPort();
    IspPort(const IspPort&) = delete;
    IspPort& operator=(const IspPort&) = delete;

    // 1..4 select COM1..COM4; anything else selects no port (0).
    void selectPort(int index);
    int portIndex() const { return portIndex_; }

    // Closes an open port, then opens and configures the selected one. True when it is open.
    bool open();
    void close();
    bool isOpen() const { return handle_ != kNoSerialHandle; }
    // The COM menu's probe: not hidden by "SkipComPort<n>", and can be opened right now.
    bool portPresent(int n);

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
    int lastErrorNumber() const { return lastErrorNumber_; }
    const std::string& lastErrorText() const { return lastErrorText_; }

    // Whether the job these operations serve has failed (its result is not 0).
    bool failed() const { return failures_ && !failures_->ok(); }
    // Line calls that failed since the port was made: an instruction reached the chip whole only
    // when none failed while it was sent.
    std::uint64_t failedCalls() const { return failedCalls_; }

    Clock& clock() { return clock_; }

private:
    bool check(SerialResult r) {
        if (!r.ok) ++failedCalls_;
        if (!r.ok && failures_) failures_->fail(result::CommSystemError);
        pumpWhenDue();
        return r.ok;
    }
    void pumpWhenDue();
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
    int lastErrorNumber_ = 0;
    std::string lastErrorText_;
    JobResult* failures_;
    LinkMode linkMode_ = LinkMode::Specified;
    LinkWaits waits_ = LinkWaits::of(LinkMode::Specified);
    int rtsLevel_ = kLevelUnknown;
    int breakLevel_ = kLevelUnknown;
    std::function<void()> pump_;
    std::uint64_t lastPumpMicros_ = 0;
    std::uint64_t failedCalls_ = 0;
};

} // namespace tessel
