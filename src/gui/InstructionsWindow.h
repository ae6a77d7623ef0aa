#pragma once

#include <QString>

#include <string>

class QPrinter;
class QWidget;

namespace tessel {

// "Update Instructions": the body (naming the program as it is started) in a message box
// captioned with the heading, OK only.
void showInstructions(QWidget* parent, const std::string& programName);

// Draws the instructions page on a printer that has begun nothing yet: the job titled with
// title, portrait, the layout at the printer's vertical resolution.
void printInstructions(QPrinter& printer, const QString& title, const std::string& body);

// "Print Instructions": the print dialog on the default printer (Qt's dialog offers a PDF file
// too), then the page. Without a default printer the system's message "There is no default
// printer currently selected" in the standard error box, then the offer to save the page as a
// PDF file with the same layout.
void printInstructionsFromMenu(QWidget* parent, const QString& title, const std::string& body);

// The page as a PDF file, laid out as on paper; false when the file cannot be written.
bool saveInstructionsAsPdf(const QString& path, const QString& title, const std::string& body);

} // namespace tessel
