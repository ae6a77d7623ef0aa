#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace tessel {

// "Update Instructions": the body in a message box captioned with the heading, OK only.
void showInstructions(QWidget* parent);

// Draws the instructions page on a printer that has begun nothing yet: the job titled with
// title, portrait, the layout at the printer's vertical resolution.
void printInstructions(QPrinter& printer, const QString& title);

// "Print Instructions" on the default printer; without one throws std::runtime_error with
// "There is no default printer currently selected" and prints nothing.
void printInstructionsOnDefaultPrinter(const QString& title);

} // namespace tessel
