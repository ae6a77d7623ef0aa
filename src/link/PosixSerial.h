#pragma once

#include "link/SerialLines.h"

namespace tessel {

// The serial lines through termios and the modem-control ioctls of a POSIX tty.
class PosixSerial final : public SerialLines {
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
