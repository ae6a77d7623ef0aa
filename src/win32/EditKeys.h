#pragma once

#include "app/KeyFilter.h"

#include <windows.h>

#include <optional>

namespace tessel::win32 {

// Gives a one-line text field the program's keys while it is editable: the filter (none: every
// key) acts on each typed character and on the clipboard keys, Escape empties the field and Enter
// is swallowed, so the dialog manager never sees those two as a dialog's OK or Cancel. Every
// change the filter makes reaches the field's owner as EN_CHANGE, as typing does.
void filterEditKeys(HWND edit, std::optional<KeyFilter> filter);

} // namespace tessel::win32
