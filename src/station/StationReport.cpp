#include "station/StationReport.h"

#include "station/NameTable.h"

#include <cstdio>

namespace tessel {

namespace {

const char* outcomeName(UnitRow::Outcome o) {
    return o == UnitRow::Outcome::Passed   ? "passed"
           : o == UnitRow::Outcome::Failed ? "failed"
                                           : "interrupted";
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string fixed(double value, const char* format = "%.1f") {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string_view unitKindName(UnitKind kind) {
    return kUnitKindNames[static_cast<int>(kind)];
}

StationReport makeReport(const LedgerContents& ledger, std::int32_t first, std::int32_t last,
                         const std::string& since) {
    StationReport report;
    report.numbersLeft = numbersLeft(ledger, first, last);
    std::map<std::int32_t, std::size_t> open; // a number's unit still waiting for its outcome
    std::vector<bool> counted;
    for (const LedgerEntry& e : ledger.entries) {
        if (e.event == LedgerEntry::Event::Taken) {
            open[e.serialNumber] = report.units.size();
            report.units.push_back({.time = e.time,
                                    .serialNumber = e.serialNumber,
                                    .unit = e.unit,
                                    .bay = e.bay,
                                    .port = e.port});
            counted.push_back(e.time.compare(0, since.size(), since) >= 0);
            continue;
        }
        const auto it = open.find(e.serialNumber);
        if (it == open.end()) continue; // an outcome without its number: not a unit of this ledger
        UnitRow& row = report.units[it->second];
        row.outcome = e.event == LedgerEntry::Event::Passed ? UnitRow::Outcome::Passed
                                                            : UnitRow::Outcome::Failed;
        row.result = e.result;
        row.message = e.message;
        row.seconds = e.seconds;
        open.erase(it);
    }
    std::vector<UnitRow> units;
    double seconds = 0;
    int timed = 0;
    for (std::size_t i = 0; i < report.units.size(); ++i) {
        if (!counted[i]) continue;
        const UnitRow& row = report.units[i];
        units.push_back(row);
        if (row.outcome == UnitRow::Outcome::Passed)
            ++report.passed;
        else
            ++report.failed;
        if (row.outcome == UnitRow::Outcome::Interrupted) ++report.interrupted;
        if (row.unit == UnitKind::Rework) ++report.reworked;
        if (row.outcome == UnitRow::Outcome::Interrupted) continue;
        seconds += row.seconds;
        ++timed;
        StationReport::Bay& bay = report.bays[row.bay];
        bay.port = row.port;
        bay.meanSeconds = (bay.meanSeconds * bay.units + row.seconds) / (bay.units + 1);
        ++bay.units;
    }
    report.units = std::move(units);
    report.meanSeconds = timed > 0 ? seconds / timed : 0;
    return report;
}

std::string reportText(const StationReport& r) {
    std::string text = "Units:        " + std::to_string(r.units.size()) + "\n" +
                       "Passed:       " + std::to_string(r.passed) + "\n" +
                       "Failed:       " + std::to_string(r.failed);
    if (r.interrupted > 0) text += " (" + std::to_string(r.interrupted) + " interrupted)";
    text += "\nReworked:     " + std::to_string(r.reworked) + "\n" +
            "Yield:        " + fixed(100 * r.yield()) + " %\n" +
            "Mean time:    " + fixed(r.meanSeconds) + " s per unit\n";
    for (const auto& [bay, b] : r.bays)
        text += "  bay " + std::to_string(bay) + " (" + b.port + "): " + std::to_string(b.units) +
                (b.units == 1 ? " unit, " : " units, ") + fixed(b.meanSeconds) + " s each\n";
    return text + "Numbers left: " + std::to_string(r.numbersLeft) + "\n";
}

std::string reportCsv(const StationReport& r) {
    std::string csv = "time,serialNumber,unit,bay,port,outcome,result,message,seconds\r\n";
    for (const UnitRow& u : r.units)
        csv += csvField(u.time) + "," + std::to_string(u.serialNumber) + "," +
               std::string(unitKindName(u.unit)) + "," + std::to_string(u.bay) + "," +
               csvField(u.port) + "," + outcomeName(u.outcome) + "," +
               (u.outcome == UnitRow::Outcome::Interrupted ? "" : std::to_string(static_cast<int>(u.result))) + "," +
               csvField(u.message) + "," +
               (u.outcome == UnitRow::Outcome::Interrupted ? "" : fixed(u.seconds, "%.3f")) +
               "\r\n";
    return csv;
}

} // namespace tessel
