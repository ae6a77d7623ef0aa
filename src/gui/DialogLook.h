#pragma once

#include <QDialog>
#include <QString>

class QGridLayout;
class QLabel;
class QPushButton;

namespace tessel {

// What the option dialogs share: a fixed size, a caption without system buttons, buttons that
// never act as the default on Enter, and navy information lines.
void makeFixedDialog(QDialog* dialog, const QString& name, const QString& caption);
QPushButton* dialogButton(QWidget* parent, const char* name, const QString& caption);
QLabel* navyLine(QWidget* parent, const QString& text);

// Any way of closing a dialog (Close, Escape outside a field, the window manager) is "Close".
class FixedDialog : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override { accept(); }
};

} // namespace tessel
