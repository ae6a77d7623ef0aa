#pragma once

#include "app/MainWindowModel.h"
#include "app/WindowLayout.h"
#include "win32/TopWindow.h"

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tessel {
class MainWindowModel;
class WindowSet;
} // namespace tessel

namespace tessel::win32 {

class DialogWindows;

// What a file dialog offers: its folder and its filters (caption, pattern), one preselected;
// the dialog leaves the filter it was closed with in preselected.
struct FileChoice {
    // The filters offered, each shown as "Name (pattern)"; chosen: the one preselected.
    FileChoice(std::string in, std::span<const FileFilter> offered, std::size_t chosen);

    std::string folder;
    std::vector<std::pair<std::string, std::string>> filters;
    std::size_t preselected = 0;
};

// The main window: draws the window set's MainWindowModel (fields, enabled commands, COM Port
// menu, title) in the main window's layout and runs its commands from the buttons and menus.
// Every command shows an exception in the standard error box, then the field its collection
// stopped at. A firmware file dropped on it starts Prog Code. Closing it ends the program, never
// while a job runs (nor does the end of the desktop session then), and with edits never
// programmed only when the operator says Yes.
class TfVcbPrg : public TopWindow {
public:
    // A file dialog (the firmware's, the backup's): the file chosen, or none when cancelled.
    // The system's dialog unless a test answers it.
    using FileChooser =
        std::function<std::optional<std::string>(HWND owner, FileChoice& choice)>;

    explicit TfVcbPrg(WindowSet& windows);

    // The option dialogs and Help windows its menu items open (made after the window).
    void setDialogs(DialogWindows* dialogs) { dialogs_ = dialogs; }
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Shows the window; the first showing loads the record into every window.
    void show();
    // Brings the window in line with the model.
    void refresh();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void command(std::string_view control, WORD code) override;
    void closeRequested() override;

private:
    void connectCommands();
    // Runs a command, one at a time; an exception of the views (no printer) shows its message in
    // the standard error box.
    void run(const std::function<void()>& command);
    // A command's outcome: its message in the standard error box, then the field a collection
    // stopped at focused in its window.
    void finish(const CommandOutcome& outcome);
    void filesDropped(HDROP drop);
    std::optional<std::string> chooseHexFile();
    // The backup dialog of "Restore from Backup…", in the backup folder.
    std::optional<std::string> chooseBackupFile();

    WindowSet& windows_;
    MainWindowModel& model_;
    DialogWindows* dialogs_ = nullptr;
    FileChooser chooseFile_;
    std::map<std::string, std::function<void()>, std::less<>> commands_;
    bool refreshing_ = false; // the model's text being shown: not an edit
};

// The system's file open dialog with the choice's filters, opening in its folder.
std::optional<std::string> openFile(HWND owner, FileChoice& choice);

} // namespace tessel::win32
