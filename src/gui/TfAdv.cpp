#include "gui/TfAdv.h"

#include "block/RecordFields.h"
#include "gui/BoundFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessel {

TfAdv::TfAdv(OptionsDialogModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(optionsDialogLayout(), parent), model_(model),
      bound_(new BoundFields(values, this)) {
    for (std::size_t i = 0; i < fields::kNumericOptions.size(); ++i) {
        const auto& option = fields::kNumericOptions[i];
        bound_->bindField(widgets_.get<QLineEdit>(option.control), std::string(option.control),
                          OptionsDialogModel::kFieldFilter);
        auto* skip = widgets_.get<QCheckBox>(option.skipControl);
        bound_->bindCheck(skip, std::string(option.skipControl));
        connect(skip, &QCheckBox::clicked, this, [this, i](bool on) { model_.skipClicked(i, on); });
    }
    // Each switch row is one group of three.
    for (const auto& option : fields::kSwitches) {
        auto* group = new QButtonGroup(this);
        for (std::string_view name : {option.yes, option.no, option.skip}) {
            auto* radio = widgets_.get<QRadioButton>(name);
            group->addButton(radio);
            bound_->bindCheck(radio, std::string(name));
        }
    }
    connect(widgets_.get<QPushButton>("bAdvOK"), &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tessel
