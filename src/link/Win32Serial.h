#pragma once

#include "link/SerialLines.h"

namespace tessel {

// The serial lines through the Win32 communications calls (built only on Windows).
class Win32Serial final : public SerialLines {
public:
    SerialResult open(const std::string& path, SerialHandle& handle) override;
    ConfigureResult configure(SerialHandle handle) override;
    void close(SerialHandle handle) override;

    SerialResult setDtr(SerialHandle handle, bool on) override;
    SerialResult setRts(SerialHandle handle, bool on) override;
    SerialResult setBreak(SerialHandle handle, bool on) override;
    SerialResult readRing(SerialHandle handle, bool& ringOn) override;

    std::string errorText(int errorNumber) const override;
};

} // namespace tessel
