#include "station/BayEvents.h"

#include "station/NameTable.h"
#include "station/StationReport.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace tessel {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kKinds[] = {"ready",  "waiting",  "present", "started", "step",   "line",
                                  "unline", "progress", "serial",  "unit",    "stopped"};
constexpr const char* kStyles[] = {"plain", "error", "progress", "success"};

std::string dump(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json serialJson(const std::optional<std::int32_t>& serial) {
    return serial ? Json(*serial) : Json(nullptr);
}

// The unit's own fields, as the event and the run's JSON lines carry them.
void putUnit(Json& j, const BayEvent& e) {
    j["serialNumber"] = serialJson(e.serialNumber);
    j["unit"] = kUnitKindNames[static_cast<int>(e.unit)];
    j["result"] = static_cast<int>(e.result);
    j["message"] = e.message;
    j["seconds"] = e.seconds;
    j["firmwareSha256"] = e.firmwareSha256;
    j["backups"] = e.backups;
}

} // namespace

std::string eventLine(const BayEvent& e) {
    Json j;
    j["event"] = kKinds[static_cast<int>(e.kind)];
    j["bay"] = e.bay;
    switch (e.kind) {
    case BayEvent::Kind::Ready: j["port"] = e.port; break;
    case BayEvent::Kind::Line: j["style"] = kStyles[static_cast<int>(e.style)]; [[fallthrough]];
    case BayEvent::Kind::Step:
    case BayEvent::Kind::Stopped: j["text"] = e.text; break;
    case BayEvent::Kind::Progress: j["percent"] = e.percent; break;
    case BayEvent::Kind::Serial:
        j["serialNumber"] = serialJson(e.serialNumber);
        j["unit"] = kUnitKindNames[static_cast<int>(e.unit)];
        break;
    case BayEvent::Kind::Unit:
        j["port"] = e.port;
        putUnit(j, e);
        break;
    default: break;
    }
    return dump(j);
}

std::optional<BayEvent> parseEventLine(std::string_view line) {
    try {
        const Json j = Json::parse(line);
        if (!j.is_object() || !j.contains("event")) return std::nullopt;
        BayEvent e;
        const auto kind = namedIn<BayEvent::Kind>(kKinds, j.at("event").get<std::string>());
        if (!kind) return std::nullopt;
        e.kind = *kind;
        e.bay = j.value("bay", 0);
        e.port = j.value("port", std::string());
        e.style =
            namedIn<LineStyle>(kStyles, j.value("style", std::string())).value_or(LineStyle::Plain);
        e.text = j.value("text", std::string());
        e.percent = j.value("percent", 0);
        if (const auto s = j.find("serialNumber"); s != j.end() && !s->is_null())
            e.serialNumber = s->get<std::int32_t>();
        e.unit = namedIn<UnitKind>(kUnitKindNames, j.value("unit", std::string()))
                     .value_or(UnitKind::New);
        e.result = static_cast<ResultCode>(j.value("result", 0));
        e.message = j.value("message", std::string());
        e.seconds = j.value("seconds", 0.0);
        e.firmwareSha256 = j.value("firmwareSha256", std::string());
        if (const auto b = j.find("backups"); b != j.end())
            e.backups = b->get<std::vector<std::string>>();
        return e;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::string unitLine(const BayEvent& e, bool json) {
    if (json) {
        Json j;
        j["bay"] = e.bay;
        j["port"] = e.port;
        putUnit(j, e);
        return dump(j);
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", e.seconds);
    std::string line = "bay " + std::to_string(e.bay) + "  " + e.port + "  S/N " +
                       (e.serialNumber ? std::to_string(*e.serialNumber) : std::string("-"));
    if (e.unit != UnitKind::New) line += " (" + std::string(unitKindName(e.unit)) + ")";
    line += e.result == result::Ok
                ? "  PASS"
                : "  FAIL " + std::to_string(static_cast<int>(e.result)) + " " + e.message;
    return line + "  " + seconds;
}

} // namespace tessel
