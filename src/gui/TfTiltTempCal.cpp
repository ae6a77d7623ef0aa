#include "gui/TfTiltTempCal.h"

#include "app/ControlNames.h"
#include "gui/BoundFields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <array>

namespace tessel {

namespace {

// One row: caption, then the I, Q, Fahrenheit, Celsius and Tilt at Cal fields (empty: none).
struct Row {
    const char* caption;
    std::array<const char*, 5> controls;
};
constexpr std::array<Row, 7> kRows = {{
    {"0 G Test", {"memoZeroGTestI", "memoZeroGTestQ", "", "", ""}},
    {"1 G Test", {"memoOneGTestI", "memoOneGTestQ", "", "", ""}},
    {"0 Tilt Hi Temp Cal",
     {"memoHiTempCalI", "memoHiTempCalQ", "memoHiTempCalF", "memoHiTempCalC", "memoHiAngleAtCal"}},
    {"0 Tilt Mid Temp Cal",
     {"memoMidTempCalI", "memoMidTempCalQ", "memoMidTempCalF", "memoMidTempCalC",
      "memoMidAngleAtCal"}},
    {"0 Tilt Lo Temp Cal",
     {"memoLoTempCalI", "memoLoTempCalQ", "memoLoTempCalF", "memoLoTempCalC", "memoLoAngleAtCal"}},
    {"Hi Temp Slope", {"memoHiTempSlopeI", "memoHiTempSlopeQ", "", "", ""}},
    {"Lo Temp Slope", {"memoLoTempSlopeI", "memoLoTempSlopeQ", "", "", ""}},
}};
constexpr std::array<const char*, 5> kHeaders = {"I", "Q", "\u00b0 F", "\u00b0 C", "Tilt at Cal"};

} // namespace

TfTiltTempCal::TfTiltTempCal(TiltCalibrationModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(parent), model_(model), bound_(new BoundFields(values, this)) {
    auto* grid = new QGridLayout(this);
    for (int c = 0; c < 5; ++c) {
        auto* header = new QLabel(QString::fromUtf8(kHeaders[static_cast<std::size_t>(c)]), this);
        header->setAlignment(Qt::AlignCenter);
        grid->addWidget(header, 0, c + 1);
    }
    for (int r = 0; r < static_cast<int>(kRows.size()); ++r) {
        const Row& row = kRows[static_cast<std::size_t>(r)];
        grid->addWidget(new QLabel(row.caption, this), r + 1, 0);
        for (int c = 0; c < 5; ++c) {
            const std::string control = row.controls[static_cast<std::size_t>(c)];
            if (control.empty()) continue;
            auto* edit = new QLineEdit(this);
            edit->setAlignment(Qt::AlignRight);
            edit->setFixedWidth(64);
            if (c == 2) edit->setFocusPolicy(Qt::ClickFocus); // Tab skips the Fahrenheit fields
            bound_->bindField(edit, control, TiltCalibrationModel::filterFor(control));
            grid->addWidget(edit, r + 1, c + 1);
        }
    }
    bound_->onFocusIn = [this](const std::string& control) { model_.fieldEntered(control); };
    bound_->onFocusOut = [this](const std::string& control) { model_.fieldLeft(control); };

    auto* acquire = dialogButton(this, "bAcquireReadingsFromLb",
                                 "Acquire Readings from Light Bar Data Memory");
    connect(acquire, &QPushButton::clicked, this, [this] { this->acquire(); });
    auto* clear = dialogButton(this, "bTempTempCalClear", "Clear");
    connect(clear, &QPushButton::clicked, this, [this] { model_.clear(); });
    auto* close = dialogButton(this, "bTiltTempCalClose", "Close");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    const int last = static_cast<int>(kRows.size()) + 1;
    grid->addWidget(acquire, last, 0, 1, 3);
    grid->addWidget(clear, last, 3, 1, 1);
    grid->addWidget(close, last, 5, 1, 1);
    makeFixedDialog(this, "TfTiltTempCal", "Tilt Temperature Calibration");
}

void TfTiltTempCal::runModal() {
    setWindowTitle("Tilt Temperature Calibration");
    exec();
}

void TfTiltTempCal::acquire() {
    const auto outcome = model_.acquire();
    const auto message = acquisitionMessage(outcome);
    if (message.empty()) return;
    QMessageBox box(QMessageBox::Information, windowTitle(),
                    QString::fromUtf8(message.data(), static_cast<int>(message.size())),
                    QMessageBox::Ok, this);
    box.setObjectName("acquireBox");
    box.exec();
}

} // namespace tessel
