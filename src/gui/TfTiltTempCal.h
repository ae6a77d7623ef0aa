#pragma once

#include "app/TiltCalibrationModel.h"
#include "gui/DialogLook.h"

namespace tessel {

class BoundFields;

// "Tilt Temperature Calibration": the twenty calibration values in rows, the three Fahrenheit
// fields, Acquire, Clear and Close, drawing the controls of a TiltCalibrationModel.
class TfTiltTempCal : public FixedDialog {
public:
    TfTiltTempCal(TiltCalibrationModel& model, ControlValues& values, QWidget* parent = nullptr);

private:
    void acquire();

    TiltCalibrationModel& model_;
    BoundFields* bound_;
};

} // namespace tessel
