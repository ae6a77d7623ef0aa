#pragma once

#include "app/MainWindowModel.h"
#include "app/WindowLayout.h"
#include "gui/LayoutWidgets.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessel {

class MainWindowModel;
class OptionDialogWindows;
class WindowSet;

// The main window: draws the window set's MainWindowModel (fields, enabled commands, COM Port
// menu, title) in the main window's layout and runs its commands from the buttons and menus.
// Every handler shows an exception in the standard error box.
class TfVcbPrg : public QMainWindow {
    Q_OBJECT
public:
    explicit TfVcbPrg(WindowSet& windows, QWidget* parent = nullptr);

    // The option dialogs and Help windows its menu items open (made after the window).
    void setDialogs(OptionDialogWindows* dialogs);

    // Brings the window in line with the model.
    void refresh();

    // The design's client height (204) less the start-up adjustments.
    int clientHeight() const { return layout_.clientHeight; }

protected:
    void showEvent(QShowEvent* event) override;
    // Not while a job runs; with unprogrammed edits only after Yes to the exit question.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A HEX file dropped on the window starts Prog Code with it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectCommands();
    // Connects a button or menu item to a command run through run().
    void onClick(std::string_view control, std::function<void()> command);
    // Runs a command, one at a time; an exception of the views shows its message in the standard
    // error box.
    void run(const std::function<void()>& command);
    // A command's outcome: its message in the standard error box, then the field a collection
    // stopped at focused in its window.
    void finish(const CommandOutcome& outcome);
    void showErrorBox(const std::string& message);
    // The firmware file dialog; none when cancelled.
    std::optional<std::string> chooseHexFile();
    // The backup dialog of "Restore from Backup…", in the backup folder; none when cancelled.
    std::optional<std::string> chooseBackupFile();
    // A file dialog for one existing file, opening on *filter, which becomes the one last used;
    // none when cancelled.
    std::optional<std::string> chooseFile(const char* name, const std::string& folder,
                                          const QStringList& filters, QString* filter);

    WindowSet& windows_;
    MainWindowModel& model_;
    WindowLayout layout_;
    LayoutWidgets widgets_;
    QLineEdit* memoSerialNumber_;
    QLineEdit* memoProductName_;
    QLabel* lFormatNumber_;
    OptionDialogWindows* dialogs_ = nullptr;
};

} // namespace tessel
