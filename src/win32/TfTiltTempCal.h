#pragma once

#include "app/TiltCalibrationModel.h"
#include "win32/FixedDialog.h"

namespace tessel::win32 {

// "Tilt Temperature Calibration": the twenty calibration fields and the three Fahrenheit fields
// bound to the control values, converted as the focus leaves them; acquiring from the light
// bar's data memory, and clearing.
class TfTiltTempCal : public FixedDialog {
public:
    TfTiltTempCal(TiltCalibrationModel& model, ControlValues& values, HWND owner);

protected:
    void clicked(std::string_view control) override;

private:
    void acquire();

    TiltCalibrationModel& model_;
};

} // namespace tessel::win32
