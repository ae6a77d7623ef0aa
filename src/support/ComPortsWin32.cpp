#include "support/ComPorts.h"

namespace tessel {

// The device namespace form, which also reaches ports numbered above 9.
std::string defaultDevicePath(int n) { return "\\\\.\\" + comPortName(n); }

bool comPortDevicesAreMapped() { return false; }

} // namespace tessel
