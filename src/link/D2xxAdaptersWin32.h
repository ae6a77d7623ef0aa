#pragma once

#include "link/UsbAdapters.h"

#include <memory>
#include <string>

namespace tessel {

// FTDI's D2XX driver loaded from the given file rather than the system folder: the Windows
// tests put their stand-in for ftd2xx.dll in front of the emulated adapter so.
std::unique_ptr<UsbAdapters> makeD2xxAdapters(const std::wstring& dll);

} // namespace tessel
