#pragma once

#include "link/Ft232rSettings.h"
#include "support/ComPorts.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tessel {

// What the port needs from the program's settings. Both are read anew at every call, so a change
// to the INI file shows at the next probe of the COM menu.
class PortSettings {
public:
    virtual ~PortSettings() = default;

    // Key "SkipComPort<n>" of section "Configuration", default 0; non-zero hides COM<n>.
    virtual int skipComPort(int n) = 0;
    // The device behind COM<n> (1 to 4).
    virtual std::string devicePath(int n) = 0;
    // How an FT232R adapter drives the cable (pins, SCK rate); nothing, with error naming the
    // setting, when the settings are not usable.
    virtual std::optional<Ft232rSettings> ft232rSettings(std::string& error) {
        (void)error;
        return Ft232rSettings{};
    }
    // The rate an adapter (by its device name) was stepped down to and answered at, kept beyond
    // this run of the program; none by default (the port remembers it for its own run).
    virtual std::optional<std::uint32_t> sckHzThatWorked(const std::string& device) {
        (void)device;
        return std::nullopt;
    }
    virtual void keepSckHzThatWorked(const std::string& device, std::uint32_t hz) {
        (void)device;
        (void)hz;
    }
};

// Settings held in memory: for tests, and for running without an INI file.
class MemoryPortSettings final : public PortSettings {
public:
    int skipComPort(int n) override;
    std::string devicePath(int n) override;
    std::optional<Ft232rSettings> ft232rSettings(std::string&) override { return ft232r_; }

    void setSkipComPort(int n, int value) { skip_[n] = value; }
    // Like a "COM<n>=path" line in the "Ports" section.
    void setDevicePath(int n, std::string path) { paths_[n] = std::move(path); }
    void setFt232rSettings(const Ft232rSettings& s) { ft232r_ = s; }

private:
    std::map<int, int> skip_;
    std::map<int, std::string> paths_;
    Ft232rSettings ft232r_;
};

} // namespace tessel
