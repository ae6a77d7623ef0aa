#pragma once

#include "app/ControlValues.h"
#include "app/KeyFilter.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tessel::win32 {

// A dialog's text fields, check boxes and radio buttons bound to their control values by name:
// a change of the values shows in the control, an edit or click in the control goes into the
// values. Text fields get their key filter (EditKeys) and turn white while focused.
class FieldBinding {
public:
    explicit FieldBinding(ControlValues& values);
    ~FieldBinding();
    FieldBinding(const FieldBinding&) = delete;
    FieldBinding& operator=(const FieldBinding&) = delete;

    void bindField(HWND edit, std::string control, std::optional<KeyFilter> filter);
    void bindCheck(HWND button, std::string control);
    bool binds(std::string_view control) const;

    // A notification of a bound control (EN_CHANGE, EN_SETFOCUS, EN_KILLFOCUS, BN_CLICKED).
    void notified(std::string_view control, WORD code);

    // Told when a bound text field gets or loses the focus.
    std::function<void(const std::string& control)> onFocusIn;
    std::function<void(const std::string& control)> onFocusOut;

private:
    void show(std::string_view control);

    ControlValues& values_;
    std::size_t observer_;
    std::map<std::string, HWND, std::less<>> fields_;
    std::map<std::string, HWND, std::less<>> checks_;
    bool showing_ = false; // a value being shown: its EN_CHANGE is not an edit
};

} // namespace tessel::win32
