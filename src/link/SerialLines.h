#pragma once

#include <cstdint>
#include <string>

namespace tessel {

// An open port as the platform knows it (a file descriptor, a Windows HANDLE, a virtual port).
using SerialHandle = std::intptr_t;
inline constexpr SerialHandle kNoSerialHandle = -1;

// What a platform call gives back: success, or the platform's error number.
struct SerialResult {
    bool ok = true;
    int error = 0;

    static constexpr SerialResult success() { return {}; }
    static constexpr SerialResult failure(int errorNumber) { return {false, errorNumber}; }
};

// The four steps of configuring a port, in the order they run. Each has its own failure text.
enum class ConfigureStep { ReadState, WriteState, ReadTimeouts, WriteTimeouts };

struct ConfigureResult {
    bool ok = true;
    ConfigureStep failedStep = ConfigureStep::ReadState;
    int error = 0;
};

// The platform's serial calls, as the programming cable needs them. The cable carries no data:
// DTR drives RESET, RTS drives SCK, the break state drives MOSI and the ring indicator carries
// MISO. Every line call is one platform call, with no buffering.
class SerialLines {
public:
    virtual ~SerialLines() = default;

    // Opens the named port for this program alone; a port held by anyone else fails.
    virtual SerialResult open(const std::string& path, SerialHandle& handle) = 0;
    // Sets the port up as a raw line interface (speed, framing, no flow control, no waiting).
    virtual ConfigureResult configure(SerialHandle handle) = 0;
    virtual void close(SerialHandle handle) = 0;

    virtual SerialResult setDtr(SerialHandle handle, bool on) = 0;
    virtual SerialResult setRts(SerialHandle handle, bool on) = 0;
    virtual SerialResult setBreak(SerialHandle handle, bool on) = 0;
    // Reads the modem status; ringOn tells whether the ring indicator is asserted.
    virtual SerialResult readRing(SerialHandle handle, bool& ringOn) = 0;

    // The system's description of one of its error numbers.
    virtual std::string errorText(int errorNumber) const = 0;
};

} // namespace tessel
