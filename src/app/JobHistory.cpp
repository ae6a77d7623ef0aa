#include "app/JobHistory.h"

#include "support/AppSettings.h"
#include "support/AtomicFile.h"
#include "support/CalendarTime.h"
#include "support/SharedAppend.h"
#include "support/SystemError.h"
#include "support/Utf8File.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tessel {

namespace {

using Json = nlohmann::ordered_json;

// Seconds from 1970 of a broken-down time read as if it were UTC.
long long asUtcSeconds(const std::tm& t) {
    using namespace std::chrono;
    const sys_days date = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                          day{static_cast<unsigned>(t.tm_mday)};
    return date.time_since_epoch().count() * 86400LL + t.tm_hour * 3600LL + t.tm_min * 60LL +
           t.tm_sec;
}

void putSerial(Json& j, const char* key, const std::optional<std::int32_t>& serial) {
    j[key] = serial ? Json(*serial) : Json(nullptr);
}

std::optional<std::int32_t> serialOf(const Json& j, const char* key) {
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) return std::nullopt;
    return it->get<std::int32_t>();
}

std::string textOf(const Json& j, const char* key) {
    const auto it = j.find(key);
    return it == j.end() || it->is_null() ? std::string() : it->get<std::string>();
}

bool digitsAt(std::string_view text, std::initializer_list<std::size_t> places) {
    for (const std::size_t i : places)
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    return true;
}

} // namespace

std::string historyTime(std::time_t t) {
    const std::tm local = localCalendar(t), utc = utcCalendar(t);
    const long long offset = (asUtcSeconds(local) - asUtcSeconds(utc)) / 60;
    const int minutes = static_cast<int>(offset < 0 ? -offset : offset) % (24 * 60);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

DataPlaces besideStateFile(const std::string& stateFile) {
    const std::filesystem::path state = utf8Path(stateFile);
    const std::string stem = utf8Text(state.parent_path() / state.stem());
    return {stem + "-backups", stem + "-history.jsonl"};
}

std::string userHistoryFile() {
    const std::string data = AppSettings::dataFolder();
    return data.empty() ? data : data + "/history.jsonl";
}

std::string historyLine(const HistoryRecord& r) {
    Json j;
    j["time"] = r.time;
    j["version"] = r.version;
    j["port"] = r.port;
    j["command"] = r.command;
    putSerial(j, "serialBefore", r.serialBefore);
    putSerial(j, "serialAfter", r.serialAfter);
    if (!r.firmwareFile.empty() || !r.firmwareSha256.empty())
        j["firmware"] = {{"file", r.firmwareFile},
                         {"product", r.firmwareProduct},
                         {"version", r.firmwareVersion},
                         {"sha256", r.firmwareSha256}};
    j["result"] = static_cast<int>(r.result);
    j["message"] = r.message;
    if (!r.linkFailure.empty()) j["linkFailure"] = r.linkFailure;
    if (r.sckHz) j["sckHz"] = *r.sckHz;
    j["backups"] = r.backups;
    // A path that is no valid UTF-8 is kept readable rather than refused.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<HistoryRecord> parseHistoryLine(std::string_view line) {
    try {
        const Json j = Json::parse(line);
        HistoryRecord r;
        r.time = j.at("time").get<std::string>();
        r.version = textOf(j, "version");
        r.port = textOf(j, "port");
        r.command = textOf(j, "command");
        r.serialBefore = serialOf(j, "serialBefore");
        r.serialAfter = serialOf(j, "serialAfter");
        if (const auto f = j.find("firmware"); f != j.end() && f->is_object()) {
            r.firmwareFile = textOf(*f, "file");
            r.firmwareProduct = textOf(*f, "product");
            r.firmwareVersion = textOf(*f, "version");
            r.firmwareSha256 = textOf(*f, "sha256");
        }
        r.result = static_cast<ResultCode>(j.at("result").get<int>());
        r.message = textOf(j, "message");
        r.linkFailure = textOf(j, "linkFailure");
        if (const auto hz = j.find("sckHz"); hz != j.end()) r.sckHz = hz->get<std::uint32_t>();
        if (const auto b = j.find("backups"); b != j.end())
            r.backups = b->get<std::vector<std::string>>();
        return r;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::optional<std::string> appendHistory(const std::string& path, const HistoryRecord& record) {
    if (path.empty()) return "no folder for it";
    // A name without a folder ("bench-history.jsonl") is in the current folder.
    const std::filesystem::path folder = utf8Path(path).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) return "cannot create the folder of " + path + ": " + systemErrorText(ec);
    if (const auto problem = appendWholeLine(path, historyLine(record)))
        return path + ": " + *problem;
    return std::nullopt;
}

HistoryFile readHistory(const std::string& path) {
    HistoryFile file;
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        file.readable = false;
        return file;
    }
    std::string_view rest = *bytes;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty()) continue;
        if (auto record = parseHistoryLine(line)) file.records.push_back(std::move(*record));
        else ++file.unreadableLines;
    }
    return file;
}

std::optional<std::string> historySince(std::string_view text) {
    // YYYY-MM-DD, then optionally [T or blank]hh:mm and :ss.
    if (text.size() != 10 && text.size() != 16 && text.size() != 19) return std::nullopt;
    if (!digitsAt(text, {0, 1, 2, 3, 5, 6, 8, 9}) || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    std::string since(text);
    if (text.size() > 10) {
        if ((text[10] != 'T' && text[10] != ' ') || !digitsAt(text, {11, 12, 14, 15}) ||
            text[13] != ':')
            return std::nullopt;
        if (text.size() == 19 && (text[16] != ':' || !digitsAt(text, {17, 18})))
            return std::nullopt;
        since[10] = 'T';
    }
    return since;
}

bool HistoryFilter::matches(const HistoryRecord& r) const {
    if (serial && r.serialBefore != serial && r.serialAfter != serial) return false;
    return since.empty() || r.time.compare(0, since.size(), since) >= 0;
}

std::string describeRecord(const HistoryRecord& r) {
    std::string line = r.time.substr(0, 19);
    if (line.size() > 10) line[10] = ' ';
    line += "  " + r.port + "  " + r.command;
    const auto serial = [](const std::optional<std::int32_t>& s) {
        return s ? std::to_string(*s) : std::string("?");
    };
    if (r.serialBefore || r.serialAfter) {
        line += "  S/N " + serial(r.serialBefore);
        if (r.serialAfter != r.serialBefore) line += " -> " + serial(r.serialAfter);
    }
    if (!r.firmwareFile.empty()) {
        line += "  " + r.firmwareFile;
        if (!r.firmwareProduct.empty() || !r.firmwareVersion.empty())
            line += " (" + r.firmwareProduct + " " + r.firmwareVersion + ")";
        if (!r.firmwareSha256.empty()) line += " sha256 " + r.firmwareSha256;
    }
    line += "  " + std::to_string(static_cast<int>(r.result)) + " " + r.message;
    if (!r.linkFailure.empty()) line += " (" + r.linkFailure + ")";
    if (r.sckHz) line += "  SCK " + std::to_string(*r.sckHz) + " Hz";
    for (std::size_t i = 0; i < r.backups.size(); ++i)
        line += (i == 0 ? "  backups: " : ", ") + r.backups[i];
    return line;
}

} // namespace tessel
