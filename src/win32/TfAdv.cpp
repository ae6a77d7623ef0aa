#include "win32/TfAdv.h"

#include "block/RecordFields.h"

namespace tessel::win32 {

TfAdv::TfAdv(OptionsDialogModel& model, ControlValues& values, HWND owner)
    : FixedDialog(optionsDialogLayout(), owner, values), model_(model) {
    for (const auto& option : fields::kNumericOptions) {
        fields_.bindField(control(option.control), std::string(option.control),
                          OptionsDialogModel::kFieldFilter);
        fields_.bindCheck(control(option.skipControl), std::string(option.skipControl));
    }
    for (const auto& option : fields::kSwitches)
        for (std::string_view name : {option.yes, option.no, option.skip})
            fields_.bindCheck(control(name), std::string(name));
}

void TfAdv::clicked(std::string_view control) {
    if (control == "bAdvOK") {
        endModal();
        return;
    }
    for (std::size_t i = 0; i < fields::kNumericOptions.size(); ++i)
        if (control == fields::kNumericOptions[i].skipControl)
            model_.skipClicked(i, SendMessageW(this->control(control), BM_GETCHECK, 0, 0) ==
                                      BST_CHECKED);
}

} // namespace tessel::win32
