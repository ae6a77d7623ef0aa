#include "support/ComPorts.h"

namespace tessel {

std::string comPortName(int n) { return "COM" + std::to_string(n); }

bool isUsbAdapterDevice(const std::string& device) {
    return device.rfind(kUsbAdapterPrefix, 0) == 0;
}

} // namespace tessel
