#include "station/SerialLedger.h"

#include "station/LockedLineFile.h"
#include "support/AtomicFile.h"

#include "station/NameTable.h"

#include <nlohmann/json.hpp>

namespace tessel {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kEvents[] = {"taken", "passed", "failed"};

} // namespace

std::string ledgerLine(const LedgerEntry& e) {
    Json j;
    j["time"] = e.time;
    j["event"] = kEvents[static_cast<int>(e.event)];
    j["serialNumber"] = e.serialNumber;
    if (e.event == LedgerEntry::Event::Taken) j["unit"] = kUnitKindNames[static_cast<int>(e.unit)];
    j["bay"] = e.bay;
    j["port"] = e.port;
    if (e.event != LedgerEntry::Event::Taken) {
        j["seconds"] = e.seconds;
        j["result"] = static_cast<int>(e.result);
        j["message"] = e.message;
    }
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<LedgerEntry> parseLedgerLine(std::string_view line) {
    try {
        const Json j = Json::parse(line);
        LedgerEntry e;
        const auto event = namedIn<LedgerEntry::Event>(kEvents, j.at("event").get<std::string>());
        if (!event) return std::nullopt;
        e.event = *event;
        e.time = j.at("time").get<std::string>();
        e.serialNumber = j.at("serialNumber").get<std::int32_t>();
        e.bay = j.value("bay", 0);
        e.port = j.value("port", std::string());
        if (e.event == LedgerEntry::Event::Taken) {
            const auto unit = namedIn<UnitKind>(kUnitKindNames, j.at("unit").get<std::string>());
            if (!unit) return std::nullopt;
            e.unit = *unit;
        } else {
            e.seconds = j.value("seconds", 0.0);
            e.result = static_cast<ResultCode>(j.at("result").get<int>());
            e.message = j.value("message", std::string());
        }
        return e;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

LedgerContents parseLedger(std::string_view bytes) {
    LedgerContents ledger;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        if (auto entry = parseLedgerLine(line))
            ledger.entries.push_back(std::move(*entry));
        else
            ++ledger.unreadableLines;
    }
    return ledger;
}

LedgerContents readLedger(const std::string& path) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return {.entries = {}, .unreadableLines = 0, .readable = false};
    return parseLedger(*bytes);
}

std::set<std::int32_t> numbersGiven(const LedgerContents& ledger) {
    std::set<std::int32_t> given;
    for (const LedgerEntry& e : ledger.entries)
        if (e.event == LedgerEntry::Event::Taken) given.insert(e.serialNumber);
    return given;
}

std::int64_t numbersLeft(const LedgerContents& ledger, std::int32_t first, std::int32_t last) {
    std::int64_t left = std::int64_t{last} - first + 1;
    for (const std::int32_t n : numbersGiven(ledger))
        if (n >= first && n <= last) --left;
    return left;
}

SerialLedger::SerialLedger(std::string path, std::int32_t first, std::int32_t last, TimeSource now)
    : path_(std::move(path)), first_(first), last_(last), now_(std::move(now)) {}

std::int64_t SerialLedger::numbersLeft() const {
    return tessel::numbersLeft(read(), first_, last_);
}

SerialLedger::Take SerialLedger::take(std::optional<std::int32_t> unitSerial, bool keepSerial,
                                      int bay, const std::string& port) {
    Take take;
    LockedLineFile file(path_); // held until the number is written down
    const auto bytes = file.read();
    if (!bytes) {
        take.problem = file.problem().value_or("cannot read the serial-number ledger " + path_);
        return take;
    }
    const LedgerContents ledger = parseLedger(*bytes);
    const std::set<std::int32_t> given = numbersGiven(ledger);
    std::optional<std::int32_t> number;
    if (unitSerial && given.contains(*unitSerial)) {
        // Its own number from an earlier job: tried again after a failure, or back after a pass.
        number = unitSerial;
        take.unit = UnitKind::Retry;
        for (const LedgerEntry& e : ledger.entries)
            if (e.serialNumber == *unitSerial && e.event != LedgerEntry::Event::Taken)
                take.unit =
                    e.event == LedgerEntry::Event::Passed ? UnitKind::Rework : UnitKind::Retry;
    } else if (unitSerial && keepSerial) {
        number = unitSerial;
        take.unit = UnitKind::Rework;
    } else {
        for (std::int64_t n = first_; n <= last_ && !number; ++n)
            if (!given.contains(static_cast<std::int32_t>(n)))
                number = static_cast<std::int32_t>(n);
    }
    if (!number) {
        take.exhausted = true;
        take.problem =
            "No serial number is left in " + std::to_string(first_) + "-" + std::to_string(last_);
        return take;
    }
    const LedgerEntry entry{.event = LedgerEntry::Event::Taken,
                            .serialNumber = *number,
                            .unit = take.unit,
                            .bay = bay,
                            .port = port,
                            .time = now_()};
    if (const auto why = file.append(ledgerLine(entry))) {
        take.problem = "Serial-number ledger " + path_ + " not written: " + *why;
        return take;
    }
    take.serialNumber = number;
    return take;
}

std::optional<std::string> SerialLedger::record(LedgerEntry outcome) {
    outcome.time = now_();
    LockedLineFile file(path_);
    return file.append(ledgerLine(outcome));
}

} // namespace tessel
