#pragma once

#include "app/OptionDialogs.h"
#include "gui/DialogLook.h"

namespace tessel {

class BoundFields;

// "Swath Offset Scales Configuration": four scale names, the metric and English rows, the help
// panel and the defaults and clear buttons, drawing the controls of a ScalesDialogModel.
class TfScales : public FixedDialog {
public:
    TfScales(ScalesDialogModel& model, ControlValues& values, QWidget* parent = nullptr);

private:
    ScalesDialogModel& model_;
    BoundFields* bound_;
};

} // namespace tessel
