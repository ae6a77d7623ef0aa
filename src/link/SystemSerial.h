#pragma once

#include "link/SerialLines.h"

#include <memory>

namespace tessel {

// The serial lines of the system the program runs on: a POSIX tty, or the Win32 communications
// calls on Windows. Each back end's file defines it, and only one of them is built.
std::unique_ptr<SerialLines> makeSystemSerial();

} // namespace tessel
