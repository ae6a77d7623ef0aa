#include "link/UsbAdapters.h"

#include "support/ComPorts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace tessel {

namespace {

bool parseHex16(const std::string& text, std::uint16_t& value) {
    if (text.empty() || text.size() > 4) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool parseIndex(const std::string& text, unsigned& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size() && value < 128;
}

std::vector<std::string> split(const std::string& text, char at) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == at)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

} // namespace

std::optional<AdapterChoice> AdapterChoice::parse(const std::string& device, std::string& error) {
    const std::string rest = device.substr(std::string(kUsbAdapterPrefix).size());
    AdapterChoice choice;
    if (!isUsbAdapterDevice(device)) {
        error = "not an adapter name (ftdi:...)";
        return std::nullopt;
    }
    if (rest.empty()) return choice;
    if (rest.find(':') == std::string::npos) {
        const bool plain = std::all_of(rest.begin(), rest.end(), [](unsigned char c) {
            return std::isalnum(c) != 0 || c == '-' || c == '_';
        });
        if (!plain || rest.size() > 32) {
            error = "a serial number has letters and digits only";
            return std::nullopt;
        }
        choice.serial = rest;
        return choice;
    }
    const auto parts = split(rest, ':');
    if (parts.size() > 3 || !parseHex16(parts[0], choice.vendorId) ||
        !parseHex16(parts[1], choice.productId) ||
        (parts.size() == 3 && !parseIndex(parts[2], choice.index))) {
        error = "expected ftdi:, ftdi:SERIAL or ftdi:VID:PID[:INDEX] (hexadecimal ids)";
        return std::nullopt;
    }
    return choice;
}

std::string AdapterInfo::deviceName(unsigned index) const {
    if (!serial.empty()) return kUsbAdapterPrefix + serial;
    char ids[32];
    std::snprintf(ids, sizeof ids, "%04x:%04x:%u", vendorId, productId, index);
    return kUsbAdapterPrefix + std::string(ids);
}

std::optional<AdapterInfo> findAdapter(UsbAdapters& adapters, const AdapterChoice& choice) {
    const auto listed = adapters.list(choice.vendorId, choice.productId);
    if (!choice.serial.empty()) {
        for (const AdapterInfo& info : listed)
            if (info.serial == choice.serial) return info;
        return std::nullopt;
    }
    if (choice.index >= listed.size()) return std::nullopt;
    return listed[choice.index];
}

} // namespace tessel
