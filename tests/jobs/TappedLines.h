#pragma once

#include "link/SerialLines.h"

#include <cstdint>
#include <functional>
#include <set>

namespace tessel::testing {

// Passes every platform call through to another SerialLines (the virtual light bar) and lets a
// test disturb the cable: invert chosen ring reads (a noisy MISO) or act after any call.
class TappedLines final : public SerialLines {
public:
    explicit TappedLines(SerialLines& inner) : inner_(inner) {}

    std::set<std::uint64_t> invertedRingReads; // 0-based indices of ring reads since creation
    std::function<void()> afterCall;

    std::uint64_t ringReads() const { return ringReads_; }

    SerialResult open(const std::string& path, SerialHandle& handle) override {
        return after(inner_.open(path, handle));
    }
    ConfigureResult configure(SerialHandle handle) override { return inner_.configure(handle); }
    void close(SerialHandle handle) override { inner_.close(handle); }
    SerialResult setDtr(SerialHandle h, bool on) override { return after(inner_.setDtr(h, on)); }
    SerialResult setRts(SerialHandle h, bool on) override { return after(inner_.setRts(h, on)); }
    SerialResult setBreak(SerialHandle h, bool on) override {
        return after(inner_.setBreak(h, on));
    }
    SerialResult readRing(SerialHandle h, bool& ringOn) override {
        const SerialResult r = inner_.readRing(h, ringOn);
        if (invertedRingReads.count(ringReads_++) != 0) ringOn = !ringOn;
        return after(r);
    }
    std::string errorText(int errorNumber) const override { return inner_.errorText(errorNumber); }

private:
    SerialResult after(SerialResult r) {
        if (afterCall) afterCall();
        return r;
    }

    SerialLines& inner_;
    std::uint64_t ringReads_ = 0;
};

} // namespace tessel::testing
