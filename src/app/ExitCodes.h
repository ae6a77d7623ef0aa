#pragma once

namespace tessel {

// Exit codes of the program besides the jobs' own result codes (0 to 32): the command line's,
// and the window's when it cannot start.
namespace exitcode {
inline constexpr int Usage = 64;       // a command line that does not parse
inline constexpr int BadInput = 65;    // an input file that cannot be read or is not valid
inline constexpr int CannotWrite = 74; // an output (file or standard output) that cannot be written
inline constexpr int NoTiltRecord = 66; // acquire-tilt: no complete calibration record
inline constexpr int Config = 78;      // the settings file exists but cannot be read (EX_CONFIG)
} // namespace exitcode

} // namespace tessel
