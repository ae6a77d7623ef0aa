#include "support/ResultCode.h"

#include <array>
#include <cstddef>

namespace tessel {

namespace {
constexpr std::array<const char*, result::Highest + 1> kMessages = {
    "Ok",                            // 0
    "Error",                         // 1
    "Memory Allocation Error",       // 2
    "HEX File Format Error",         // 3
    "Checksum Error",                // 4
    "No valid VCB",                  // 5
    "VCB Already Exists",            // 6
    "Reference VCB is not valid",    // 7
    "Chip is not responding",        // 8
    "Output File Cancel",            // 9
    "Output File Open Error",        // 10
    "Output File Write Error",       // 11
    "Output File Close Error",       // 12
    "Input File Cancel",             // 13
    "Input File Open Error",         // 14
    "Input File Read Error",         // 15
    "Input File Close Error",        // 16
    "VCB Verify Error",              // 17
    "VCB Formats do not match",      // 18
    "Code Verify Error",             // 19
    "Operation Cancelled",           // 20
    "Operation Cancelled",           // 21
    "S/N change Cancelled ",         // 22 (the trailing blank is part of the text)
    "Operation Aborted",             // 23
    "Verify Aborted",                // 24
    "Invalid Extant VCB",            // 25
    "Incorrect VCB Format Number",   // 26
    "Converting Format Number is OK", // 27
    "VCB Verify Error",              // 28
    "VCB Format 1 is Required",      // 29
    "VCB Format 2 is Required",      // 30
    "Unknown VCB Format Required",   // 31
    "COMM System Error",             // 32
};
} // namespace

const char* resultMessage(int code) {
    if (code < 0 || code > result::Highest) return kMessages[result::Error];
    return kMessages[static_cast<std::size_t>(code)];
}

} // namespace tessel
