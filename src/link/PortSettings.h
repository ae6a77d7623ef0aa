#pragma once

#include "support/ComPorts.h"

#include <map>
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
};

// Settings held in memory: for tests, and for running without an INI file.
class MemoryPortSettings final : public PortSettings {
public:
    int skipComPort(int n) override;
    std::string devicePath(int n) override;

    void setSkipComPort(int n, int value) { skip_[n] = value; }
    // Like a "COM<n>=path" line in the "Ports" section.
    void setDevicePath(int n, std::string path) { paths_[n] = std::move(path); }

private:
    std::map<int, int> skip_;
    std::map<int, std::string> paths_;
};

} // namespace tessel
