#include "win32/TfTiltTempCal.h"

#include "support/Win32Text.h"

namespace tessel::win32 {

TfTiltTempCal::TfTiltTempCal(TiltCalibrationModel& model, ControlValues& values, HWND owner)
    : FixedDialog(tiltCalibrationLayout(), owner, values), model_(model) {
    // Every text field of the window is a calibration value or a Fahrenheit field.
    for (const ControlRow& row : layout().rows)
        if (row.kind == ControlKind::Edit)
            fields_.bindField(control(row.name), row.name,
                              TiltCalibrationModel::filterFor(row.name));
    fields_.onFocusIn = [this](const std::string& name) { model_.fieldEntered(name); };
    fields_.onFocusOut = [this](const std::string& name) { model_.fieldLeft(name); };
}

void TfTiltTempCal::clicked(std::string_view control) {
    if (control == "bAcquireReadingsFromLb")
        acquire();
    else if (control == "bTempTempCalClear")
        model_.clear();
    else if (control == "bTiltTempCalClose")
        endModal();
}

void TfTiltTempCal::acquire() {
    const auto message = acquisitionMessage(model_.acquire());
    if (!message) return;
    const std::wstring text = wideFromUtf8(*message);
    const std::wstring title = wideFromUtf8(caption());
    MessageBoxW(hwnd(), text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

} // namespace tessel::win32
