#pragma once

#include "app/KeyFilter.h"

#include <functional>
#include <optional>
#include <string>

class QKeyEvent;
class QLineEdit;

namespace tessel {

// A key press on a one-line field under the field rules of the app (fieldKey): navigation keys
// go on to Qt, Ctrl+A selects the text, Escape empties, Enter never types, the rest goes through
// the field's filter. edited is told the field's new text (UTF-8) when a rule changed it.
// Returns true when the event is used up.
bool applyFieldRules(QLineEdit* edit, std::optional<KeyFilter> filter, const QKeyEvent* event,
                     const std::function<void(const std::string&)>& edited);

} // namespace tessel
