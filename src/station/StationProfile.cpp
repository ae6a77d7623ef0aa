#include "station/StationProfile.h"

#include "support/AtomicFile.h"
#include "support/IniText.h"
#include "support/Utf8File.h"

#include <charconv>
#include <filesystem>
#include <limits>

namespace tessel {

namespace {

namespace fs = std::filesystem;

constexpr const char* kStation = "Station";
constexpr const char* kBays = "Bays";

std::optional<std::int32_t> positiveNumber(std::string_view text) {
    std::int64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < 1 ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string bayKey(std::size_t n) {
    return "Bay" + std::to_string(n);
}

fs::path absoluteOf(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::absolute(utf8Path(path), ec);
    return (ec ? utf8Path(path) : p).lexically_normal();
}

} // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> parseSerialRange(std::string_view text) {
    const auto dash = text.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto first = positiveNumber(text.substr(0, dash));
    const auto last = positiveNumber(text.substr(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return std::pair{*first, *last};
}

std::string profileText(const StationProfile& p) {
    IniText ini("; Tessel production station: 'tessel station check FILE' checks it, "
                "'tessel station run FILE' runs it\n");
    ini.set(kStation, "Firmware", p.firmwareFile);
    ini.set(kStation, "FirmwareSha256", p.firmwareSha256);
    ini.set(kStation, "Template", p.templateFile);
    ini.set(kStation, "Serials", std::to_string(p.first) + "-" + std::to_string(p.last));
    ini.set(kStation, "AcquireTilt", p.acquireTilt ? "1" : "0");
    ini.set(kStation, "KeepSerial", p.keepSerial ? "1" : "0");
    for (std::size_t i = 0; i < p.bays.size(); ++i)
        ini.set(kBays, bayKey(i + 1), p.bays[i]);
    return ini.bytes();
}

ProfileRead parseProfile(std::string_view text) {
    const IniText ini(text);
    ProfileRead read;
    StationProfile& p = read.profile;
    auto need = [&](const char* section, const char* key) {
        auto value = ini.value(section, key);
        if (!value || value->empty()) {
            if (read.ok()) read.problem = std::string("no ") + key + " in [" + section + "]";
            return std::string();
        }
        return *value;
    };
    auto flag = [&](const char* key) { return ini.value(kStation, key).value_or("0") == "1"; };
    p.firmwareFile = need(kStation, "Firmware");
    p.firmwareSha256 = need(kStation, "FirmwareSha256");
    p.templateFile = need(kStation, "Template");
    const std::string serials = need(kStation, "Serials");
    p.acquireTilt = flag("AcquireTilt");
    p.keepSerial = flag("KeepSerial");
    for (std::size_t n = 1; n <= kMaxBays; ++n) {
        const auto bay = ini.value(kBays, bayKey(n));
        if (!bay || bay->empty()) break;
        p.bays.push_back(*bay);
    }
    if (!read.ok()) return read;
    if (const auto range = parseSerialRange(serials)) {
        p.first = range->first;
        p.last = range->second;
    } else {
        read.problem = "Serials needs FIRST-LAST (1 <= FIRST <= LAST), not '" + serials + "'";
    }
    if (read.ok() && p.bays.empty()) read.problem = "no Bay1 in [Bays]";
    return read;
}

ProfileRead readProfile(const std::string& path) {
    const auto bytes = readWholeFile(path);
    ProfileRead read;
    // A missing file reads as empty: it is one that cannot be read, not one without a profile.
    std::error_code ec;
    if (!bytes || !std::filesystem::is_regular_file(utf8Path(path), ec)) {
        read.problem = "cannot read " + path;
        read.unreadable = true;
    } else if (bytes->empty())
        read.problem = path + " holds no station profile";
    else
        read = parseProfile(*bytes);
    if (read.problem && read.problem->find(path) == std::string::npos)
        read.problem = path + ": " + *read.problem;
    return read;
}

bool writeProfile(const std::string& path, const StationProfile& profile) {
    return replaceFileAtomically(path, profileText(profile));
}

std::string profileRelative(const std::string& profilePath, const std::string& file) {
    const fs::path named = utf8Path(file);
    if (named.is_absolute()) return file;
    return utf8Text((absoluteOf(profilePath).parent_path() / named).lexically_normal());
}

std::string nameInProfile(const std::string& profilePath, const std::string& file) {
    const fs::path folder = absoluteOf(profilePath).parent_path();
    const fs::path target = absoluteOf(file);
    const fs::path relative = target.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..") return utf8Text(target);
    return relative.generic_string();
}

std::string ledgerPath(const std::string& profilePath, const std::string& simulationFolder) {
    const fs::path profile = utf8Path(profilePath);
    fs::path name = profile.filename();
    name.replace_extension(".ledger");
    const fs::path folder =
        simulationFolder.empty() ? profile.parent_path() : utf8Path(simulationFolder);
    return utf8Text(folder / name);
}

BayPort bayPort(const std::string& port) {
    if (port.size() == 4 && (port.starts_with("COM") || port.starts_with("com")) &&
        port[3] >= '1' && port[3] <= '4')
        return {port[3] - '0', std::nullopt};
    return {1, port};
}

} // namespace tessel
