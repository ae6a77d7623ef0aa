#pragma once

#include "app/Instructions.h"
#include "win32/TopWindow.h"

#include <string>

namespace tessel::win32 {

// "Update Instructions": the body in the fixed-pitch font (the steps' indentation only reads
// right so), captioned with the heading, and OK. The box takes the size of its text, which names
// the program as it was started (programName).
class InstructionsBox : public TopWindow {
public:
    InstructionsBox(HWND owner, std::string_view programName);

    // Shows a new box modally and destroys it when it closes.
    static void show(HWND owner, std::string_view programName);

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int /*id*/) override { endModal(); }
    void closeRequested() override { endModal(); }
};

// "Print Instructions": the system's print dialog on the default printer (where Windows offers
// "Microsoft Print to PDF" too), then the page with body on the printer chosen, the job titled
// with title. Throws std::runtime_error "There is no default printer currently selected"
// without one.
void printInstructions(HWND owner, const std::string& title, std::string_view body);
// Draws the page at the device context's vertical resolution (a printer's, or a metafile's).
void drawInstructionsPage(HDC dc, std::string_view body = kInstructionsBody);

} // namespace tessel::win32
