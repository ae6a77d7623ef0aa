#include "gui/TfTiltTempCal.h"

#include "gui/BoundFields.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tessel {

TfTiltTempCal::TfTiltTempCal(TiltCalibrationModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(tiltCalibrationLayout(), parent), model_(model),
      bound_(new BoundFields(values, this)) {
    // Every text field of the window is a calibration value or a Fahrenheit field.
    for (const ControlRow& row : layout_.rows)
        if (row.kind == ControlKind::Edit)
            bound_->bindField(widgets_.get<QLineEdit>(row.name), row.name,
                              TiltCalibrationModel::filterFor(row.name));
    bound_->onFocusIn = [this](const std::string& control) { model_.fieldEntered(control); };
    bound_->onFocusOut = [this](const std::string& control) { model_.fieldLeft(control); };

    connect(widgets_.get<QPushButton>("bAcquireReadingsFromLb"), &QPushButton::clicked, this,
            [this] { acquire(); });
    connect(widgets_.get<QPushButton>("bTempTempCalClear"), &QPushButton::clicked, this,
            [this] { model_.clear(); });
    connect(widgets_.get<QPushButton>("bTiltTempCalClose"), &QPushButton::clicked, this,
            &QDialog::accept);
}

void TfTiltTempCal::acquire() {
    const auto outcome = model_.acquire();
    const auto message = acquisitionMessage(outcome);
    if (!message) return;
    QMessageBox box(QMessageBox::Information, windowTitle(), qText(*message), QMessageBox::Ok,
                    this);
    box.setObjectName("acquireBox");
    box.exec();
}

} // namespace tessel
