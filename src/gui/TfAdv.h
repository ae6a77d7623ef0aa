#pragma once

#include "app/OptionDialogs.h"
#include "gui/DialogLook.h"

namespace tessel {

class BoundFields;

// "Light Bar Options": the three numeric options with their skip boxes and the ten switch
// options, drawing the controls of an OptionsDialogModel.
class TfAdv : public FixedDialog {
public:
    TfAdv(OptionsDialogModel& model, ControlValues& values, QWidget* parent = nullptr);

private:
    OptionsDialogModel& model_;
    BoundFields* bound_;
};

} // namespace tessel
