#pragma once

#include "support/ResultCode.h"

#include <string>
#include <vector>

namespace tessel {

// The error lines the final report of a job appends for a result: nothing for 0, 20 and 23,
// a boxed hint for the codes that need an operator action, " <message>" otherwise.
std::vector<std::string> finalReportLines(ResultCode code);

} // namespace tessel
