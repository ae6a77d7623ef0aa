#include "support/ComPorts.h"

namespace tessel {

std::string comPortName(int n) { return "COM" + std::to_string(n); }

} // namespace tessel
