#pragma once

#include <QDialog>
#include <string>


namespace tessel {

class VersionInfo;

// "About": the program's name and version, the project's logo and contact lines, a button that
// opens webAddress (a web page or a file) without waiting for it, disabled when there is none,
// and the bottom line: the settings file in use (settingsPath), or the project's notice when none
// is given. Made anew for every showing.
class TfAboutWindow : public QDialog {
public:
    explicit TfAboutWindow(const VersionInfo& version, const std::string& settingsPath = {},
                           const std::string& webAddress = {}, QWidget* parent = nullptr);

    // Shows a new about window modally and destroys it when it closes.
    static void showAbout(const VersionInfo& version, const std::string& settingsPath,
                          const std::string& webAddress, QWidget* parent);
};

// The project's logo (a tiled light bar over a field swath), drawn to any size.
QPixmap tesselLogo(const QSize& size);

} // namespace tessel
