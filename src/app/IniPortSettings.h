#pragma once

#include "link/PortSettings.h"
#include "support/AppSettings.h"

#include <optional>
#include <string>

namespace tessel {

// The port settings from the INI file: "SkipComPort%d" read anew at every probe, and the device
// behind each COM port from the "Ports" section, unless one port's device is given explicitly
// (the command line's --device).
class IniPortSettings final : public PortSettings {
public:
    explicit IniPortSettings(AppSettings& settings) : settings_(settings) {}

    void overrideDevice(int port, std::string path) {
        overridePort_ = port;
        overridePath_ = std::move(path);
    }

    int skipComPort(int n) override { return settings_.skipComPort(n) ? 1 : 0; }
    std::string devicePath(int n) override {
        if (overridePort_ == n) return overridePath_;
        return settings_.portDevice(n);
    }
    // Section [FTDI], read anew for every job.
    std::optional<Ft232rSettings> ft232rSettings(std::string& error) override {
        return Ft232rSettings::fromIni(
            [this](const char* key) { return settings_.ftdiSetting(key); }, error);
    }
    std::optional<std::uint32_t> sckHzThatWorked(const std::string& device) override {
        return settings_.sckHzThatWorked(device);
    }
    void keepSckHzThatWorked(const std::string& device, std::uint32_t hz) override {
        settings_.setSckHzThatWorked(device, hz); // a read-only INI keeps it for this run only
    }

private:
    AppSettings& settings_;
    int overridePort_ = 0;
    std::string overridePath_;
};

} // namespace tessel
