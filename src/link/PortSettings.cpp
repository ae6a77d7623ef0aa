#include "link/PortSettings.h"

namespace tessel {

std::string comPortName(int n) { return "COM" + std::to_string(n); }

std::string defaultDevicePath(int n) {
#ifdef _WIN32
    return comPortName(n);
#else
    return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

int MemoryPortSettings::skipComPort(int n) {
    auto it = skip_.find(n);
    return it == skip_.end() ? 0 : it->second;
}

std::string MemoryPortSettings::devicePath(int n) {
    auto it = paths_.find(n);
    return it == paths_.end() ? defaultDevicePath(n) : it->second;
}

} // namespace tessel
