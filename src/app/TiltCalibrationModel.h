#pragma once

#include "app/KeyFilter.h"
#include "app/RecordHost.h"
#include "app/TiltAcquisition.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tessel {

class ChipProgrammer;

// Sets the twenty calibration values to 0 and empties their fields and the three Fahrenheit
// fields ("Clear", and Read VCB before it reads).
void clearTiltCalibration(RecordHost& host);

// The tilt temperature calibration window without a toolkit: its twenty fields and three
// Fahrenheit fields live in the record host's controls; the group in the record.
class TiltCalibrationModel {
public:
    // applyComPort: the main window gives its checked COM port to the engine; false when none is.
    TiltCalibrationModel(RecordHost& host, ChipProgrammer& engine,
                         std::function<bool()> applyComPort);

    // The filter of a field: digits only for tests, readings and temperatures (both scales),
    // a sign too for angles and slopes.
    static KeyFilter filterFor(std::string_view control);

    // Focus moves: leaving a Celsius field shows its value in Fahrenheit; leaving a Fahrenheit
    // field whose text was edited since it got the focus converts it back into the Celsius
    // field (an unedited one is left alone, so clicking through never shifts a value).
    void fieldEntered(std::string_view control);
    void fieldLeft(std::string_view control);

    // "Clear".
    void clear() { clearTiltCalibration(host_); }

    // "Acquire Readings from Light Bar Data Memory". No COM port checked, or a failed or
    // cancelled job: nothing changes (JobFailed; the job window told why). No record: nothing
    // changes. An incomplete record clears the window; a complete one is shown as a load shows it.
    // Both of those without a complete record come with acquisitionMessage() for the operator.
    TiltAcquisition::Outcome acquire();

private:
    RecordHost& host_;
    ChipProgrammer& engine_;
    std::function<bool()> applyComPort_;
    std::map<std::string, std::string, std::less<>> textOnEntry_;
};

} // namespace tessel
