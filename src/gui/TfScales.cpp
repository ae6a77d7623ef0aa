#include "gui/TfScales.h"

#include "app/ControlNames.h"
#include "block/ConfigBlock.h"
#include "gui/BoundFields.h"

#include <QLineEdit>
#include <QPushButton>

namespace tessel {

TfScales::TfScales(ScalesDialogModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(scalesDialogLayout(), parent), model_(model),
      bound_(new BoundFields(values, this)) {
    const auto bind = [this](std::string_view control, KeyFilter filter) {
        bound_->bindField(widgets_.get<QLineEdit>(control), std::string(control), filter);
    };
    for (std::string_view name : controls::kScaleNames) bind(name, KeyFilter::ScaleName);
    for (std::string_view prefix : {controls::kMetricScalePrefix, controls::kEnglishScalePrefix})
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t k = 0; k < kScaleRowLength; ++k)
                bind(controls::scaleField(prefix, r, k), KeyFilter::ScaleValue);

    connect(widgets_.get<QPushButton>("bLightBarDefaults"), &QPushButton::clicked, this,
            [this] { model_.lightBarDefaults(); });
    connect(widgets_.get<QPushButton>("bClearScales"), &QPushButton::clicked, this,
            [this] { model_.clearAll(); });
    connect(widgets_.get<QPushButton>("bScalesOK"), &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tessel
