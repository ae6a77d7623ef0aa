#pragma once

#include "app/RecordHost.h"
#include "app/WindowLayout.h"
#include "block/BlockArea.h"
#include "support/ResultCode.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class AppSession;
class ChipProgrammer;

// What a main-window command ends with, for its view to show.
struct CommandOutcome {
    // A job's code alone (the job window said everything) converts implicitly.
    CommandOutcome(ResultCode c = result::Ok) : code(c) {}
    CommandOutcome(ResultCode c, std::string m, std::optional<std::string> f = std::nullopt)
        : code(c), message(std::move(m)), field(std::move(f)) {}

    // The job's result code, or why no job ran: 1 while another job runs, with no COM port
    // checked or for a field that does not convert; 13 for a cancelled file dialog; a file's own
    // code (14: it cannot be read).
    ResultCode code = result::Ok;
    // For the standard error box: why the command stopped before its job (the job window
    // reports what the jobs do); none when there is nothing to show.
    std::optional<std::string> message;
    // The field a collection stopped at: the view shows the window that holds it
    // (WindowSet::showField) with the field focused and its text selected.
    std::optional<std::string> field;
};

// The main window without a toolkit: its commands, the rules that enable them, the COM Port menu
// and the title. The fields and enabled states live in the record host's controls (keyed by the
// window's control names); the Qt window draws them and forwards its clicks here.
class MainWindowModel {
public:
    // Takes over where the session left off (services started, engine created, record reset,
    // "COM Port" applied): shows "?" in the identity fields, disables the programming commands
    // and checks the session's COM port.
    explicit MainWindowModel(AppSession& session);

    // Called whenever what the window shows may have changed (also in the middle of a job).
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // "Tessel v3.6": product name and file version; set again at every parse of a block. On a
    // virtual light bar it says so: "Tessel v3.6 – virtual light bar".
    const std::string& title() const { return title_; }
    bool advancedMode() const { return host_.isAdvancedMode(); }
    const ControlValues& controls() const { return host_.controls(); }
    ControlValues& controls() { return host_.controls(); }
    bool isEnabled(std::string_view control) const { return host_.controls().isEnabled(control); }
    std::string text(std::string_view control) const { return host_.controls().text(control); }

    // The first showing of the window loads the record into it; later showings (restoring a
    // minimised window) keep the operator's edits.
    void windowShown();

    // --- COM Port menu ---
    bool comChecked(int n) const { return comChecked_.at(n - 1); }
    bool comEnabled(int n) const { return comEnabled_.at(n - 1); }
    // Opening the menu probes the four ports: an absent one is unchecked and disabled.
    void comPortMenuOpened();
    void comPortClicked(int n);
    // Gives the first checked port to the engine; false (engine untouched) when none is checked.
    bool applyComPort();

    // --- commands; each ends with its outcome (see CommandOutcome) ---
    CommandOutcome readVcb();
    // Collect, render, job. A field that does not convert stops it with its message and the
    // field: no job runs.
    CommandOutcome progVcb();
    CommandOutcome verifyVcb();
    // The firmware dialog's initial folder ("HexPath", default "."; for an installed copy "."
    // is the user's Documents folder where the system names one).
    std::string hexFolder() const;
    // Which of the firmware dialog's filters (kHexFileFilters) it opens with: the one last chosen
    // ("HexFilter", 0-based here), at first "A90 Hex files".
    std::size_t hexFilter() const;
    // The filter the dialog was closed with; kept unless the INI file is read-only.
    void hexFilterChosen(std::size_t filter);
    // path: the file chosen in the dialog, none when it was cancelled (13, silent). A file that
    // cannot be opened or holds no firmware stops it with its message; no COM port checked gives
    // 1.
    CommandOutcome progCode(const std::optional<std::string>& path);
    CommandOutcome verifyCode(const std::optional<std::string>& path);
    CommandOutcome convertVcb(int format);
    CommandOutcome initDefaultVcb();
    // "Restore from Backup…": its file dialog opens in the backup folder on the backups' names
    // (kBackupFileFilters).
    std::string backupFolder() const;
    // path: the block area file chosen, none when the dialog was cancelled (13, silent). The data
    // memory saved beside it is put back too. A backup of another serial number is asked about
    // in the job window. A file that is no block area backup stops it with its message; no COM
    // port checked gives 1. A restore that succeeds reads the block back, as Init Default VCB
    // does.
    CommandOutcome restoreFromBackup(const std::optional<std::string>& path);

    // Files dropped on the window: one file starts Prog Code with it when Prog Code is enabled
    // and no job runs, with the checks and questions of choosing it in the dialog.
    bool acceptsDrop(const std::vector<std::string>& paths) const;
    CommandOutcome fileDropped(const std::string& path) { return progCode(path); }

    // Asked when the window is about to close (File > Exit, the close box): the question when
    // the windows hold edits that differ from the record last read or programmed; none
    // otherwise (and none while a job runs, which the window does not close for).
    std::optional<std::string> exitQuestion() const;
    static constexpr std::string_view kExitQuestion =
        "The changes to the VCB have not been programmed into the Light Bar.\n\n"
        "Exit without programming them?";

    // True while a command's job runs: nothing may start another or close the window.
    bool busy() const { return busy_; }

private:
    enum class BlockCommand { Program, Verify };
    enum class FirmwareCommand { Program, Verify };

    CommandOutcome blockCommand(BlockCommand which);
    CommandOutcome firmwareCommand(FirmwareCommand which, const std::optional<std::string>& path);
    void updateTitle();
    void changed();

    // Marks the model busy for one command and tells the view afterwards.
    class Busy;

    AppSession& session_;
    ChipProgrammer& engine_;
    RecordHost& host_;
    std::string title_;
    std::array<bool, 4> comChecked_{};
    std::array<bool, 4> comEnabled_{true, true, true, true};
    BlockArea area_{};
    bool shown_ = false;
    bool busy_ = false;
    std::function<void()> listener_;
};

} // namespace tessel
