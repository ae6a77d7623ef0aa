#pragma once

#include "win32/TopWindow.h"

#include <string>

namespace tessel::win32 {

// "Update Instructions": the body in the fixed-pitch font (the steps' indentation only reads
// right so), captioned with the heading, and OK. The box takes the size of its text.
class InstructionsBox : public TopWindow {
public:
    explicit InstructionsBox(HWND owner);

    // Shows a new box modally and destroys it when it closes.
    static void show(HWND owner);

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int /*id*/) override { endModal(); }
    void closeRequested() override { endModal(); }
};

// "Print Instructions": the page on the default printer, the job titled with title. Throws
// std::runtime_error "There is no default printer currently selected" without one.
void printInstructions(const std::string& title);
// Draws the page at the device context's vertical resolution (a printer's, or a metafile's).
void drawInstructionsPage(HDC dc);

} // namespace tessel::win32
