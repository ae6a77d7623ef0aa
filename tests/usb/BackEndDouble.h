#pragma once

#include "link/UsbAdapters.h"
#include "sim/EmulatedFt232r.h"

#include <memory>
#include <string>

namespace tessel::testing {

// The system's adapters as the program makes them (libftdi on Linux, the D2XX DLL on Windows),
// with a double of their driver in front of the emulated adapter: the only one they see.
std::unique_ptr<UsbAdapters> backEndBefore(EmulatedFt232r& adapter);
// The driver refuses the next open as it refuses a user without permission (libftdi) or an
// adapter another program holds (D2XX); the reason the back end gives for it.
void refuseNextOpen();
std::string refusedOpenReason();

} // namespace tessel::testing
