#pragma once

#include "win32/TopWindow.h"

#include <string>

namespace tessel {
class VersionInfo;
}

namespace tessel::win32 {

// "About": the program's name and version, the project's logo and contact lines, a button that
// opens webAddress (a web page or a file) without waiting for it, disabled when there is none,
// and the bottom line: the settings file in use (settingsPath), or the project's notice when none
// is given. Made anew for every showing.
class TfAboutWindow : public TopWindow {
public:
    TfAboutWindow(const VersionInfo& version, const std::string& settingsPath,
                  std::string webAddress, HWND owner);

    // Shows a new about window modally and destroys it when it closes.
    static void showAbout(const VersionInfo& version, const std::string& settingsPath,
                          const std::string& webAddress, HWND owner);

protected:
    void command(std::string_view control, WORD code) override;
    void dialogKey(int /*id*/) override { endModal(); }
    void closeRequested() override { endModal(); }

private:
    std::string webAddress_;
};

// Draws the project's logo (app's Logo) filling the rectangle.
void paintLogo(HDC dc, const RECT& place, int dpi);

} // namespace tessel::win32
