#pragma once

#include <string>

namespace tessel {

// "COM1" to "COM4", the names the operator picks from.
std::string comPortName(int n);

// The device behind COMn unless the INI file's "Ports" section names another: /dev/ttyS0 to
// /dev/ttyS3 on Linux, "\\.\COMn" on Windows.
std::string defaultDevicePath(int n);

// Whether the INI file's "Ports" section may name the device behind a COM port. Not on Windows:
// there COMn is the device itself, and only a USB adapter (below) may stand in for it.
bool comPortDevicesAreMapped();

// A device name that picks a USB adapter instead of a serial device: "ftdi:" and what follows
// (see link/UsbAdapters.h), on every system.
inline constexpr const char* kUsbAdapterPrefix = "ftdi:";
bool isUsbAdapterDevice(const std::string& device);

} // namespace tessel
