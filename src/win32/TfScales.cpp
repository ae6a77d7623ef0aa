#include "win32/TfScales.h"

#include "app/ControlNames.h"
#include "block/ConfigBlock.h"

namespace tessel::win32 {

TfScales::TfScales(ScalesDialogModel& model, ControlValues& values, HWND owner)
    : FixedDialog(scalesDialogLayout(), owner, values), model_(model) {
    const auto bind = [this](std::string_view name, KeyFilter filter) {
        fields_.bindField(control(name), std::string(name), filter);
    };
    for (std::string_view name : controls::kScaleNames)
        bind(name, KeyFilter::ScaleName);
    for (std::string_view prefix : {controls::kMetricScalePrefix, controls::kEnglishScalePrefix})
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t k = 0; k < kScaleRowLength; ++k)
                bind(controls::scaleField(prefix, r, k), KeyFilter::ScaleValue);
}

void TfScales::clicked(std::string_view control) {
    if (control == "bLightBarDefaults")
        model_.lightBarDefaults();
    else if (control == "bClearScales")
        model_.clearAll();
    else if (control == "bScalesOK")
        endModal();
}

} // namespace tessel::win32
