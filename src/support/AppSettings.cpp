#include "support/AppSettings.h"

#include "support/ComPorts.h"
#include "support/CompanionFiles.h"

namespace tessel {

bool AppSettings::iniFileIsReadOnly() const {
    return store_.readInteger(kConfiguration, "IniFileIsReadOnly", 0) != 0;
}

std::int32_t AppSettings::typeControl() const {
    return store_.readInteger(kConfiguration, "Type Control", 0);
}

std::int32_t AppSettings::advancedOptions() const {
    return store_.readInteger(kConfiguration, "Advanced Options", 0);
}

std::int32_t AppSettings::serialNumber() const {
    return store_.readInteger(kConfiguration, "Serial Number", 100);
}

bool AppSettings::fastLink() const {
    return store_.readInteger(kConfiguration, "FastLink", 0) != 0;
}

bool AppSettings::skipComPort(int port) const {
    return store_.readInteger(kConfiguration, "SkipComPort" + std::to_string(port), 0) != 0;
}

std::string AppSettings::webSite() const {
    return store_.readText(kConfiguration, "WebSite", "");
}

std::int32_t AppSettings::comPort() const {
    return store_.readInteger(kConfiguration, "COM Port", 0);
}

bool AppSettings::setComPort(std::int32_t port) {
    return store_.writeInteger(kConfiguration, "COM Port", port);
}

std::string AppSettings::hexPath() const {
    return store_.readText(kFileSpecs, "HexPath", ".");
}

std::string AppSettings::dataFolder() { return userDataFolder(); }

std::string AppSettings::backupFolder() const {
    const std::string data = dataFolder();
    return store_.readText(kFileSpecs, "BackupPath", data.empty() ? data : data + "/backups");
}

std::int32_t AppSettings::hexFilter() const {
    return store_.readInteger(kFileSpecs, "HexFilter", 0);
}

bool AppSettings::setHexFilter(std::int32_t filter) {
    return store_.writeInteger(kFileSpecs, "HexFilter", filter);
}

bool AppSettings::setHexPath(const std::string& folder) {
    return store_.writeText(kFileSpecs, "HexPath", folder);
}

std::string AppSettings::portDevice(int port) const {
    if (port < 1 || port > 4) return {};
    std::string device = store_.readText(kPorts, comPortName(port), defaultDevicePath(port));
    if (comPortDevicesAreMapped() || isUsbAdapterDevice(device)) return device;
    return defaultDevicePath(port);
}

std::string AppSettings::ftdiSetting(const std::string& key) const {
    return store_.readText(kFtdi, key, "");
}

namespace {
std::string sckHzKey(const std::string& device) { return "SckHzThatWorked " + device; }
} // namespace

std::optional<std::uint32_t> AppSettings::sckHzThatWorked(const std::string& device) const {
    const std::string key = sckHzKey(device);
    if (!store_.hasKey(kFtdi, key)) return std::nullopt;
    const std::int32_t hz = store_.readInteger(kFtdi, key, 0);
    if (hz <= 0) return std::nullopt;
    return static_cast<std::uint32_t>(hz);
}

bool AppSettings::setSckHzThatWorked(const std::string& device, std::uint32_t hz) {
    return store_.writeInteger(kFtdi, sckHzKey(device), static_cast<std::int32_t>(hz));
}

} // namespace tessel
