#include "support/ComPorts.h"

namespace tessel {

std::string defaultDevicePath(int n) { return "/dev/ttyS" + std::to_string(n - 1); }

bool comPortDevicesAreMapped() { return true; }

} // namespace tessel
