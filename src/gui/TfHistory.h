#pragma once

#include "app/WindowLayout.h"
#include "gui/LayoutWidgets.h"

#include <QDialog>

#include <string>

class QTextEdit;

namespace tessel {

// Help > Job History: the session's last jobs, one line each, newest at the bottom; the window
// is resizable and its pane grows with it.
class TfHistory : public QDialog {
public:
    TfHistory(const std::string& text, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The latest jobs in view, from the start of their lines.
    void showEvent(QShowEvent* event) override;

private:
    const WindowLayout layout_;
    const LayoutWidgets widgets_;
};

} // namespace tessel
