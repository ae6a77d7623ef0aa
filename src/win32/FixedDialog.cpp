#include "win32/FixedDialog.h"

namespace tessel::win32 {

FixedDialog::FixedDialog(const WindowLayout& layout, HWND owner, ControlValues& values)
    : TopWindow(layout, owner), fields_(values) {}

void FixedDialog::command(std::string_view control, WORD code) {
    if (fields_.binds(control)) fields_.notified(control, code);
    if (code == BN_CLICKED) clicked(control);
}

void FixedDialog::dialogKey(int id) {
    if (id == IDCANCEL) endModal();
}

} // namespace tessel::win32
