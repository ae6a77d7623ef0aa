#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The program's own instructions for updating a light bar's firmware: the heading (with its
// nine leading blanks) and the 32-line body, each line ending in CR LF.
extern const std::string_view kInstructionsHeading;
// The body as designed, naming the program "Tessel.exe".
extern const std::string_view kInstructionsBody;
// The body naming the program as it is started on this platform ("Tessel.exe", "tessel").
std::string instructionsBody(std::string_view programName);
// The file name a program path is started by; "Tessel.exe" when there is none.
std::string programNameOf(std::string_view executablePath);

// One text on the printed page, placed by its top-left corner in printer pixels.
struct PrintedText {
    int left = 0;
    int top = 0;
    std::string text;
    bool heading = false; // Arial 12 points bold italic; the body is Arial 12 points regular
};

// The instructions page for a printer of the given vertical resolution (pixels per inch): the
// heading at the margins, then body line k on line k + 1 of the page (empty lines leave their
// steps empty), the line step R * 16 / 72, the top margin R * 50 / 72 and the left margin
// R * 30 / 72. A line longer than 255 characters goes on in pieces at the same place.
std::vector<PrintedText> instructionsPage(int pixelsPerInch,
                                          std::string_view body = kInstructionsBody);

// Without a default printer, after the system's message: the offer to save the page as a PDF
// file instead, and the file name it proposes.
inline constexpr std::string_view kPdfOffer =
    "Save the instructions as a PDF file with the same page layout instead?";
inline constexpr std::string_view kPdfFileName = "Tessel instructions.pdf";

inline constexpr std::string_view kPrintFontFamily = "Arial";
inline constexpr int kPrintFontPoints = 12;

} // namespace tessel
