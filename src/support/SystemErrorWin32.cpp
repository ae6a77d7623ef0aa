#include "support/SystemError.h"

#include "support/Win32Text.h"

namespace tessel {

std::string systemErrorText(const std::error_code& error) {
    if (error.category() == std::system_category())
        return systemMessage(static_cast<unsigned long>(error.value()));
    return error.message();
}

} // namespace tessel
