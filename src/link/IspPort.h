#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/LinkMode.h"
#include "link/LinkWaits.h"
#include "link/PortSettings.h"
#include "link/SerialLines.h"
#include "support/Clock.h"

namespace tessel {

// The serial port as the light bar's programming interface: the selected COM port, its open
// handle, the seven line operations with their waits, and the job result they share with the
// engine. Between jobs no port is open, so other programs can use it.
class IspPort {
public:
    static constexpr int kCommSystemError = 32;

    IspPort(SerialLines& lines, Clock& clock, PortSettings& settings);
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
    // MISO (RI inverted). After any failure it reads 0 without touching the port.
    int sampleDataIn() {
        if (result_ != 0) return 0;
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

    // The job result code the engine shares; a failed line operation only ever moves it 0 -> 32.
    int result() const { return result_; }
    void setResult(int result) { result_ = result; }

    Clock& clock() { return clock_; }

private:
    bool check(SerialResult r) {
        if (!r.ok && result_ == 0) result_ = kCommSystemError;
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
    int result_ = 0;
    LinkMode linkMode_ = LinkMode::Specified;
    LinkWaits waits_ = LinkWaits::of(LinkMode::Specified);
    int rtsLevel_ = kLevelUnknown;
    int breakLevel_ = kLevelUnknown;
    std::function<void()> pump_;
    std::uint64_t lastPumpMicros_ = 0;
};

} // namespace tessel
