#pragma once

#include "app/OptionDialogs.h"
#include "win32/FixedDialog.h"

namespace tessel::win32 {

// "Light Bar Options": the three numeric options with their skip boxes and the ten switch rows,
// bound to the control values; a skip box disables its field.
class TfAdv : public FixedDialog {
public:
    TfAdv(OptionsDialogModel& model, ControlValues& values, HWND owner);

protected:
    void clicked(std::string_view control) override;

private:
    OptionsDialogModel& model_;
};

} // namespace tessel::win32
