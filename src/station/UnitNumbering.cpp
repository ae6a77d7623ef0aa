#include "station/UnitNumbering.h"

#include "block/BlockText.h"
#include "block/TiltRecord.h"

namespace tessel {

UnitBlock StationNumbering::operator()(const UnitFound& found) {
    UnitBlock unit;
    ConfigBlock record = rules_.blockTemplate;
    if (rules_.acquireTilt) {
        const auto tilt = findTiltCalibration(found.eeprom.data(), kTiltSearchBytes);
        if (!tilt || !tilt->isComplete()) {
            unit.result = result::Error;
            unit.problem = tilt
                               ? "The tilt calibration record in the Light Bar EEPROM is incomplete"
                               : "The Light Bar EEPROM holds no tilt calibration record";
            return unit;
        }
        record.tiltCalibration = *tilt;
    }
    const SerialLedger::Take take =
        ledger_.take(found.serialNumber, rules_.keepSerial, rules_.bay, rules_.port);
    if (!take.serialNumber) {
        unit.result = take.exhausted ? result::Error : result::OutputFileWriteError;
        unit.problem = take.problem.value_or("");
        return unit;
    }
    unit_ = take.unit;
    unit.serialNumber = take.serialNumber;
    if (taken_) taken_(*take.serialNumber, take.unit);
    record.serialNumber = *take.serialNumber;
    if (!renderBlock(record, unit.area)) {
        unit.result = result::ReferenceVcbNotValid;
        unit.problem = "The block made from the template does not fit its area";
    }
    return unit;
}

} // namespace tessel
