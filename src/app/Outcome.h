#pragma once

#include "support/ResultCode.h"

#include <string>

namespace tessel {

// What a step across layers reports: Ok, or the code it failed with (a job's result code or one
// of the command line's own) and the operator's message.
struct Outcome {
    ResultCode code = result::Ok;
    std::string message;

    bool ok() const { return code == result::Ok; }
};

} // namespace tessel
