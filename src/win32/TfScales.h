#pragma once

#include "app/OptionDialogs.h"
#include "win32/FixedDialog.h"

namespace tessel::win32 {

// "Swath Offset Scales Configuration": the four scale names and the 64 values, bound to the
// control values; "Light Bar defaults" and "Clear all settings" fill or empty them.
class TfScales : public FixedDialog {
public:
    TfScales(ScalesDialogModel& model, ControlValues& values, HWND owner);

protected:
    void clicked(std::string_view control) override;

private:
    ScalesDialogModel& model_;
};

} // namespace tessel::win32
