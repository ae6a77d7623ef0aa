#include "support/SystemError.h"

namespace tessel {

std::string systemErrorText(const std::error_code& error) { return error.message(); }

} // namespace tessel
