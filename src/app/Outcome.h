#pragma once

#include <string>

namespace tessel {

// What a step across layers reports: 0 for success, otherwise a result code (0 to 32) or an
// exit code (ExitCodes.h), with the operator's message.
struct Outcome {
    int code = 0;
    std::string message;

    bool ok() const { return code == 0; }
};

} // namespace tessel
