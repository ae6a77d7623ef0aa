#pragma once

#include "link/UsbAdapters.h"

#include <memory>
#include <string>

namespace tessel {

// One adapter in the D2XX driver's list: FT_DEVICE_LIST_INFO_NODE of FTDI's D2XX Programmer's
// Guide (FT_GetDeviceInfoList fills them).
struct D2xxDeviceNode {
    unsigned long flags; // bit 0: opened by a program
    unsigned long type;  // 5: FT232R
    unsigned long id;    // vendor id << 16 | product id
    unsigned long locationId;
    char serialNumber[16];
    char description[64];
    void* handle;
};

// FTDI's D2XX driver loaded from the given file rather than the system folder: the Windows
// tests put their stand-in for ftd2xx.dll in front of the emulated adapter so.
std::unique_ptr<UsbAdapters> makeD2xxAdapters(const std::wstring& dll);

} // namespace tessel
