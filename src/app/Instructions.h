#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The program's own instructions for updating a light bar's firmware: the heading (with its
// nine leading blanks) and the 32-line body, each line ending in CR LF.
extern const std::string_view kInstructionsHeading;
extern const std::string_view kInstructionsBody;

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
std::vector<PrintedText> instructionsPage(int pixelsPerInch);

inline constexpr std::string_view kPrintFontFamily = "Arial";
inline constexpr int kPrintFontPoints = 12;

} // namespace tessel
