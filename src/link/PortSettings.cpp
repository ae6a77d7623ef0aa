#include "link/PortSettings.h"

namespace tessel {

int MemoryPortSettings::skipComPort(int n) {
    auto it = skip_.find(n);
    return it == skip_.end() ? 0 : it->second;
}

std::string MemoryPortSettings::devicePath(int n) {
    auto it = paths_.find(n);
    return it == paths_.end() ? defaultDevicePath(n) : it->second;
}

} // namespace tessel
