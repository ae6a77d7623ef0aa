#pragma once

#include "app/WindowLayout.h"
#include "gui/LayoutWidgets.h"

#include <QDialog>

#include <string>

namespace tessel {

// What the option dialogs share: widgets made from their layout, a fixed size, a caption without
// system buttons, buttons that never act as the default on Enter. Any way of closing one
// (Close, Escape outside a field, the window manager) is "Close".
class FixedDialog : public QDialog {
public:
    FixedDialog(WindowLayout layout, QWidget* parent);

    void reject() override { accept(); }
    // Shows the dialog modally, captioned as its layout says; focusField (when given) gets the
    // focus with its text selected.
    void runModal(const std::string& focusField = {});

protected:
    const WindowLayout layout_;
    const LayoutWidgets widgets_;
};

} // namespace tessel
