#include "support/AppSettings.h"

#include "support/ComPorts.h"
#include "support/CompanionFiles.h"

namespace tessel {

bool AppSettings::iniFileIsReadOnly() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("IniFileIsReadOnly", 0) != 0;
}

std::int32_t AppSettings::typeControl() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("Type Control", 0);
}

std::int32_t AppSettings::advancedOptions() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("Advanced Options", 0);
}

std::int32_t AppSettings::serialNumber() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("Serial Number", 100);
}

bool AppSettings::fastLink() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("FastLink", 0) != 0;
}

bool AppSettings::skipComPort(int port) const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("SkipComPort" + std::to_string(port), 0) != 0;
}

std::string AppSettings::webSite() const {
    store_.selectSection(kConfiguration);
    return store_.readText("WebSite", "");
}

std::int32_t AppSettings::comPort() const {
    store_.selectSection(kConfiguration);
    return store_.readInteger("COM Port", 0);
}

bool AppSettings::setComPort(std::int32_t port) {
    store_.selectSection(kConfiguration);
    return store_.writeInteger("COM Port", port);
}

std::string AppSettings::hexPath() const {
    store_.selectSection(kFileSpecs);
    return store_.readText("HexPath", ".");
}

// The XDG base directories' data folder, on Windows the local application data.
std::string AppSettings::dataFolder() {
    if (auto data = environmentFolder("XDG_DATA_HOME"); !data.empty()) return data + "/tessel";
#ifdef _WIN32
    if (auto local = environmentFolder("LOCALAPPDATA"); !local.empty()) return local + "/tessel";
#endif
    if (auto home = environmentFolder("HOME"); !home.empty()) return home + "/.local/share/tessel";
    return {};
}

std::string AppSettings::backupFolder() const {
    store_.selectSection(kFileSpecs);
    const std::string data = dataFolder();
    return store_.readText("BackupPath", data.empty() ? data : data + "/backups");
}

std::int32_t AppSettings::hexFilter() const {
    store_.selectSection(kFileSpecs);
    return store_.readInteger("HexFilter", 2);
}

bool AppSettings::setHexFilter(std::int32_t filter) {
    store_.selectSection(kFileSpecs);
    return store_.writeInteger("HexFilter", filter);
}

bool AppSettings::setHexPath(const std::string& folder) {
    store_.selectSection(kFileSpecs);
    return store_.writeText("HexPath", folder);
}

std::string AppSettings::portDevice(int port) const {
    if (port < 1 || port > 4) return {};
    store_.selectSection(kPorts);
    std::string device = store_.readText(comPortName(port), defaultDevicePath(port));
    if (comPortDevicesAreMapped() || isUsbAdapterDevice(device)) return device;
    return defaultDevicePath(port);
}

std::string AppSettings::ftdiSetting(const std::string& key) const {
    store_.selectSection(kFtdi);
    return store_.readText(key, "");
}

} // namespace tessel
