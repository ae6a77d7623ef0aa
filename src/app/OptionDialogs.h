#pragma once

#include "app/KeyFilter.h"
#include "app/RecordHost.h"

#include <cstddef>

namespace tessel {

// The light bar options dialog without a toolkit: its controls live in the record host's
// controls under their window names; the dialog's view draws them and forwards its clicks here.
class OptionsDialogModel {
public:
    explicit OptionsDialogModel(RecordHost& host) : host_(host) {}

    // The form's own contents before the first load: "3.048", "3.218", "3.125", no skip box
    // checked, every switch on "Skip" except "Tilt" on "No".
    void setFormContents();

    // A skip box clicked: its field is disabled while the box is checked; the text stays.
    void skipClicked(std::size_t option, bool checked);
    // One radio button of switch option i (0 Yes, 1 No, 2 Skip) chosen.
    void switchChosen(std::size_t option, int choice);

    // However the dialog was closed: "Tilt" goes into the record at once and "Tilt Temp Cal" is
    // enabled exactly when it is Yes. The other values wait for the next collect.
    void closed();

    static constexpr KeyFilter kFieldFilter = KeyFilter::DecimalNumber;

private:
    RecordHost& host_;
};

// The swath offset scales dialog without a toolkit.
class ScalesDialogModel {
public:
    explicit ScalesDialogModel(RecordHost& host) : host_(host) {}

    // The form's own contents before the first load: a single blank in every field.
    void setFormContents();
    // "Light Bar defaults": the light bar's own four names and eight rows into the fields.
    void lightBarDefaults();
    // "Clear all settings": all 68 fields emptied.
    void clearAll();

private:
    RecordHost& host_;
};

} // namespace tessel
