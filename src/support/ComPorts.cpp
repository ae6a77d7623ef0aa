#include "support/ComPorts.h"

namespace tessel {

std::string comPortName(int n) { return "COM" + std::to_string(n); }

std::string defaultDevicePath(int n) {
#ifdef _WIN32
    return comPortName(n);
#else
    return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

} // namespace tessel
