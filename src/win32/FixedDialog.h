#pragma once

#include "app/ControlValues.h"
#include "win32/FieldBinding.h"
#include "win32/TopWindow.h"

namespace tessel::win32 {

// What the option dialogs share: their controls bound to the control values, a fixed size, a
// caption without system buttons, no default button for Enter. Every way of closing one (its
// Close button, Escape outside a field, Alt+F4) is "Close": the changes stay.
class FixedDialog : public TopWindow {
public:
    FixedDialog(const WindowLayout& layout, HWND owner, ControlValues& values);

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int id) override;
    void closeRequested() override { endModal(); }
    // A button of the dialog's own (not bound) was clicked, or a bound control was changed.
    virtual void clicked(std::string_view /*control*/) {}

    FieldBinding fields_;
};

} // namespace tessel::win32
