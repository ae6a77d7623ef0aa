#pragma once

#include "app/KeyFilter.h"

#include <windows.h>

#include <optional>

namespace tessel::win32 {

// Gives a one-line text field the program's field rules (fieldKey) while it is editable: the
// filter (none: every key) acts on each typed character and on the clipboard keys, Ctrl+A
// selects the text, navigation keys stay the system's, Escape empties the field and Enter never
// types, so the dialog manager never sees those two as a dialog's OK or Cancel. Every change the
// rules make reaches the field's owner as EN_CHANGE, as typing does.
void filterEditKeys(HWND edit, std::optional<KeyFilter> filter);

} // namespace tessel::win32
