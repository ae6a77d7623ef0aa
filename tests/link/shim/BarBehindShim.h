#pragma once

#include "FakeTtyControl.h"
#include "sim/VirtualLightBar.h"

namespace tessel {

// Passes the fake device's modem lines to a virtual light bar and its MISO back as RI.
struct BarBehindShim {
    VirtualLightBar& bar;
    SerialHandle handle = kNoSerialHandle;

    static void setLine(void* self, int line, int on) {
        auto& s = *static_cast<BarBehindShim*>(self);
        if (line == FAKE_TTY_DTR) s.bar.setDtr(s.handle, on != 0);
        if (line == FAKE_TTY_RTS) s.bar.setRts(s.handle, on != 0);
        if (line == FAKE_TTY_BREAK) s.bar.setBreak(s.handle, on != 0);
    }
    static int ring(void* self) {
        auto& s = *static_cast<BarBehindShim*>(self);
        bool on = false;
        s.bar.readRing(s.handle, on);
        return on ? 1 : 0;
    }
    FakeTtyHooks hooks() { return {this, &BarBehindShim::setLine, &BarBehindShim::ring}; }
};

} // namespace tessel
