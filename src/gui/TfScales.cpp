#include "gui/TfScales.h"

#include "app/ControlNames.h"
#include "gui/BoundFields.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>

namespace tessel {

namespace {

constexpr std::array<const char*, 4> kRowCaptions = {"Scale 1", "Scale 2", "Scale 3",
                                                     "Auto Scale"};
constexpr std::array<const char*, 4> kNameHints = {
    "Custom Swath Scale 1 Name (default is FIN)", "Custom Swath Scale 2 Name (default is NRM)",
    "Custom Swath 3 Scale Name (default is CRS)",
    "Custom Automatic Swath Scale Name (default is AUT)"};
constexpr const char* kAutoHint =
    "Offset Scales are a percentage of Swath Width (this table value as 1/10 percent increments)";

const char* const kHelpText = "8 values determine where offset LEDs are activated\n"
                              "for each scale.  The Light Bar Units setting determines\n"
                              "if the Metric or English offset table controls offset \n"
                              "indicator LEDs. \n"
                              "Auto Scale values are in units of tenth percent of the \n"
                              "swath width.  Any or all offset scales or scale names\n"
                              "may have custom settings.  All 8 values of a custom \n"
                              "scale must be entered.";

QLineEdit* field(QWidget* parent, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

TfScales::TfScales(ScalesDialogModel& model, ControlValues& values, QWidget* parent)
    : FixedDialog(parent), model_(model), bound_(new BoundFields(values, this)) {
    auto* grid = new QGridLayout(this);

    auto* names = new QGroupBox("Custom Scale Names", this);
    auto* namesGrid = new QGridLayout(names);
    for (int r = 0; r < 4; ++r) {
        namesGrid->addWidget(new QLabel(kRowCaptions[static_cast<std::size_t>(r)], names), r, 0);
        auto* edit = field(names, 44);
        edit->setMaxLength(static_cast<int>(ScalesDialogModel::kNameMaxLength));
        edit->setToolTip(kNameHints[static_cast<std::size_t>(r)]);
        bound_->bindField(edit, std::string(controls::kScaleNames[static_cast<std::size_t>(r)]),
                          KeyFilter::ScaleName);
        namesGrid->addWidget(edit, r, 1);
    }
    grid->addWidget(names, 0, 0);

    auto* help = new QGroupBox("Scale Names and Offset Guidance Scales ", this);
    auto* helpLayout = new QGridLayout(help);
    auto* helpText = new QPlainTextEdit(kHelpText, help);
    helpText->setObjectName("memoScalesHelp");
    helpText->setReadOnly(true);
    helpText->setLineWrapMode(QPlainTextEdit::NoWrap);
    helpText->setFixedSize(330, 128);
    helpLayout->addWidget(helpText);
    grid->addWidget(help, 0, 1);

    const std::array<std::pair<const char*, std::string_view>, 2> tables = {
        {{"Metric Custom Offset Scales (centimeters) 100 is 1.00m", controls::kMetricScalePrefix},
         {"English Custom Offset Scales (tenths of feet) 100 is 10.0 ft",
          controls::kEnglishScalePrefix}}};
    const std::array<const char*, 2> units = {"centimeters", "tenths of feet"};
    for (std::size_t t = 0; t < tables.size(); ++t) {
        auto* box = new QGroupBox(tables[t].first, this);
        auto* boxGrid = new QGridLayout(box);
        for (std::size_t r = 0; r < 4; ++r) {
            const QString hint = r == 3 ? QString(kAutoHint)
                                        : QString("Scale %1 Offset Values in %2")
                                              .arg(r + 1)
                                              .arg(units[t]);
            auto* caption = new QLabel(kRowCaptions[r], box);
            caption->setToolTip(hint);
            boxGrid->addWidget(caption, static_cast<int>(r), 0);
            for (std::size_t k = 0; k < kScaleRowLength; ++k) {
                auto* edit = field(box, 48);
                edit->setToolTip(hint);
                bound_->bindField(edit, controls::scaleField(tables[t].second, r, k),
                                  KeyFilter::ScaleValue);
                boxGrid->addWidget(edit, static_cast<int>(r), static_cast<int>(k) + 1);
            }
        }
        grid->addWidget(box, 1 + static_cast<int>(t), 0, 1, 2);
    }

    auto* buttons = new QHBoxLayout;
    auto* defaults = dialogButton(this, "bLightBarDefaults", "Light Bar defaults");
    defaults->setToolTip("Set all offsets and scale names to Light Bar defaults");
    connect(defaults, &QPushButton::clicked, this, [this] { model_.lightBarDefaults(); });
    auto* clear = dialogButton(this, "bClearScales", "Clear all settings");
    connect(clear, &QPushButton::clicked, this, [this] { model_.clearAll(); });
    auto* close = dialogButton(this, "bScalesOK", "Close");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(defaults);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 2);
    makeFixedDialog(this, "TfScales", "Swath Offset Scales Configuration");
}

void TfScales::runModal() {
    setWindowTitle("Swath Offset Scales Configuration");
    exec();
}

} // namespace tessel
