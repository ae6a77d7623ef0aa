#pragma once

#include "link/SerialLines.h"

namespace tessel {

class Win32Calls;

// The serial lines through the Win32 communications calls on "\\.\COMn" (built only on Windows).
// Every line operation is one system call; the calls go through a seam that tests replace.
class Win32Serial final : public SerialLines {
public:
    Win32Serial();
    explicit Win32Serial(Win32Calls& calls) : calls_(calls) {}

    SerialResult open(const std::string& path, SerialHandle& handle) override;
    ConfigureResult configure(SerialHandle handle) override;
    void close(SerialHandle handle) override;

    SerialResult setDtr(SerialHandle handle, bool on) override;
    SerialResult setRts(SerialHandle handle, bool on) override;
    SerialResult setBreak(SerialHandle handle, bool on) override;
    SerialResult readRing(SerialHandle handle, bool& ringOn) override;

    std::string errorText(int errorNumber) const override;

private:
    SerialResult fromCall(bool ok);
    ConfigureResult failed(ConfigureStep step);

    Win32Calls& calls_;
};

} // namespace tessel
