#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tessel {

// The contents of the windows' controls, keyed by control name ("memoSerialNumber",
// "cbSkipTapeMinRadius", "rbTiltYes", ...): texts of text fields and labels, check marks of
// check boxes, radio buttons and menu items, and enabled states. The Qt windows bind their
// widgets to these names; tests use the set directly.
class ControlValues {
public:
    // Empty text for a control never set.
    std::string text(std::string_view control) const;
    void setText(std::string_view control, std::string_view value);

    // Unchecked for a control never set.
    bool isChecked(std::string_view control) const;
    void setChecked(std::string_view control, bool checked);

    // Enabled for a control never set.
    bool isEnabled(std::string_view control) const;
    void setEnabled(std::string_view control, bool enabled);

private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, bool, std::less<>> checks_;
    std::map<std::string, bool, std::less<>> enabled_;
};

} // namespace tessel
