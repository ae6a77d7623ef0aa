#include "jobs/FinalReport.h"

namespace tessel {

namespace {
std::vector<std::string> formatBox(const char* conversion) {
    return {
        " ***************************************",
        " **    -- Incorrect VCB Format --     **",
        std::string(" ** Execute 'Convert VCB to Format ") + conversion + "' **",
        " **      (See the 'File' menu)        **",
        " ***************************************",
    };
}
} // namespace

std::vector<std::string> finalReportLines(ResultCode code) {
    switch (code) {
    case result::Ok:
    case result::EraseCancelled:
    case result::OperationAborted:
        return {};
    case result::IncorrectVcbFormatNumber:
        return {
            " **********************************",
            " ** -- Incorrect VCB Format --   **",
            " ** Execute 'Convert VCB Format' **",
            " ** (See the 'File' menu)        **",
            " **********************************",
        };
    case result::VcbFormat1Required:
        return formatBox("1");
    case result::VcbFormat2Required:
        return formatBox("2");
    case result::NoValidVcb:
    case result::InvalidExtantVcb:
        return {
            " **********************************",
            " **   -- No Serial Number ---    **",
            " **  Execute 'Init Default VCB'  **",
            " **    (See the 'File' menu)     **",
            " **********************************",
        };
    default:
        return {std::string(" ") + resultMessage(code)};
    }
}

} // namespace tessel
