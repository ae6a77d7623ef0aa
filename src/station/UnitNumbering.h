#pragma once

#include "block/ConfigBlock.h"
#include "jobs/UnitJob.h"
#include "station/SerialLedger.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessel {

// How a station numbers its units: the template every block is made from, whether the tilt
// calibration record comes from the unit's data memory, and the rule for a unit that holds a
// valid block already.
struct NumberingRules {
    ConfigBlock blockTemplate{};
    bool acquireTilt = false;
    bool keepSerial = false;
    int bay = 0;
    std::string port{};
};

// The unit job's numbering (UnitNumbering) for a station: finds the tilt calibration record
// first when asked (a unit without a complete one gets no number), takes the number from the
// ledger, then makes the block from the template with that number (and the tilt values).
class StationNumbering {
public:
    using Taken = std::function<void(std::int32_t serialNumber, UnitKind unit)>;

    StationNumbering(SerialLedger& ledger, const NumberingRules& rules, Taken taken)
        : ledger_(ledger), rules_(rules), taken_(std::move(taken)) {}

    UnitBlock operator()(const UnitFound& found);
    // How the last unit came by its number.
    UnitKind unitKind() const { return unit_; }

private:
    SerialLedger& ledger_;
    const NumberingRules& rules_;
    Taken taken_;
    UnitKind unit_ = UnitKind::New;
};

} // namespace tessel
