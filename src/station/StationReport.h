#pragma once

#include "station/SerialLedger.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessel {

// One unit as the ledger tells it: the number it was given and how its job ended. A number
// taken whose job never reported (the program was stopped at once) counts as failed.
struct UnitRow {
    enum class Outcome { Passed, Failed, Interrupted };
    std::string time{}; // when the number was taken
    std::int32_t serialNumber = 0;
    UnitKind unit = UnitKind::New;
    int bay = 0;
    std::string port{};
    Outcome outcome = Outcome::Interrupted;
    ResultCode result = result::Ok;
    std::string message{};
    double seconds = 0;
};

struct StationReport {
    std::vector<UnitRow> units{}; // in the order their numbers were taken
    int passed = 0;
    int failed = 0; // interrupted ones included
    int interrupted = 0;
    int reworked = 0;       // units that kept their own number (back after a pass, or by the rule)
    double meanSeconds = 0; // over the units whose job reported
    struct Bay {
        std::string port;
        int units = 0;
        double meanSeconds = 0;
    };
    std::map<int, Bay> bays;
    std::int64_t numbersLeft = 0;

    // Passed units over all units; 0 without any.
    double yield() const { return units.empty() ? 0 : double(passed) / double(units.size()); }
};

// The report over the ledger's units whose number was taken at or after since (the prefix of a
// record time, "2026-12-08" or "2026-12-08T15:00"; empty: all). The numbers left are the range's.
StationReport makeReport(const LedgerContents& ledger, std::int32_t first, std::int32_t last,
                         const std::string& since = {});

// For people; and as CSV, one row per unit under a header row.
std::string reportText(const StationReport& report);
std::string reportCsv(const StationReport& report);

std::string_view unitKindName(UnitKind kind);

} // namespace tessel
