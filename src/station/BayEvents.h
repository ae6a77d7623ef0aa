#pragma once

#include "jobs/JobWindow.h"
#include "station/SerialLedger.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// What a bay's worker tells the station, one JSON object per line on its standard output.
struct BayEvent {
    enum class Kind {
        Ready,    // the worker runs: port
        Waiting,  // for the next unit (Start, or a new chip with --auto)
        Present,  // --auto: a new chip answers in the bay
        Started,  // a unit's job began
        Step,     // the job's current step (text)
        Line,     // a line of the job's log (style, text)
        Unline,   // the job's log took its last line back
        Progress, // percent
        Serial,   // the unit's serial number is written down (serialNumber, unit)
        Unit,     // the unit's job ended: serialNumber, unit, result, message, seconds,
                  // firmwareSha256, backups
        Stopped,  // the bay ends (text: why)
    };
    Kind kind = Kind::Waiting;
    int bay = 0; // 1 ...
    std::string port{};
    LineStyle style = LineStyle::Plain;
    std::string text{};
    int percent = 0;
    std::optional<std::int32_t> serialNumber{};
    UnitKind unit = UnitKind::New;
    ResultCode result = result::Ok;
    std::string message{};
    double seconds = 0;
    std::string firmwareSha256{};
    std::vector<std::string> backups{};
};

std::string eventLine(const BayEvent& event);
// Nothing for a line that is no event (anything else a worker might print).
std::optional<BayEvent> parseEventLine(std::string_view line);

// A unit's line as "station run" prints it: for people, or (json) the unit's JSON object.
std::string unitLine(const BayEvent& unit, bool json);

} // namespace tessel
