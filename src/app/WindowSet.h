#pragma once

#include "app/AppSession.h"
#include "app/JobWindowModel.h"
#include "app/MainWindowModel.h"
#include "app/OptionDialogs.h"
#include "app/Outcome.h"
#include "app/TiltCalibrationModel.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The program's windows without a toolkit: the session and every window's model, made once in
// start-up order (job window, session, main window, options, scales, tilt calibration) and wired
// by the rules that hold whichever front end draws them. A front end (Qt, Win32) supplies its
// message pump, makes its views over these models and attaches them; the views draw the models
// and forward the operator's input here or to the models.
class WindowSet {
public:
    // What the front end's message loop offers a job.
    struct MessagePump {
        std::function<void()> processMessages; // deliver pending input, return at once
        std::function<void()> waitForInput;    // block until there is input, then deliver it
    };

    // Told when a window's model changed what it shows, also in the middle of a job.
    struct Views {
        std::function<void()> mainWindowChanged; // title, fields, enabled commands, COM Port menu
        std::function<void()> jobWindowChanged;
    };

    enum class Dialog { Options, Scales, TiltTempCal };

    // The front end's modal loop over each dialog's view, given a field to focus with its text
    // selected (empty: none).
    using ModalLoop = std::function<void(std::string_view focusField)>;
    struct DialogViews {
        ModalLoop options, scales, tiltTempCal;
    };

    // The window set, or none and why the session cannot go on as it started (AppSession's
    // start outcome: 78, 14 or 65; a state file is left as it is).
    struct Opened {
        std::unique_ptr<WindowSet> windows;
        Outcome outcome;
    };
    // The option dialogs start with the form's own contents until the main window's first
    // showing loads the record into every window.
    static Opened open(AppSession::Options options, MessagePump pump);
    // Keeps the virtual light bar's state; the session then ends (services terminated unless the
    // INI file is read-only).
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // Replaces the attached views (an empty set detaches them: before the views go).
    void attachViews(Views views) { views_ = std::move(views); }
    void attachDialogs(DialogViews dialogs) { dialogs_ = std::move(dialogs); }

    AppSession& session() { return *session_; }
    bool advancedMode() const { return session_->advancedMode(); }
    ControlValues& controls() { return session_->host().controls(); }
    MainWindowModel& mainWindow() { return *mainWindow_; }
    JobWindowModel& jobWindow() { return jobWindow_; }
    OptionsDialogModel& options() { return *options_; }
    ScalesDialogModel& scales() { return *scales_; }
    TiltCalibrationModel& tiltCalibration() { return *tilt_; }

    // The main window was shown: the first showing loads the record into every window; later
    // ones (restoring a minimised window) keep the operator's edits.
    void mainWindowShown() { mainWindow_->windowShown(); }

    // Whether the main window may close, or the desktop session end the program: not while a job
    // runs (it returns first).
    bool mayClose() const { return !mainWindow_->busy(); }

    // Shows a dialog through its attached view, with a field focused (empty: none). Nothing
    // opens while a job runs. However the options dialog was closed, its "Tilt" choice goes into
    // the record and "Tilt Temp Cal" follows it.
    void showDialog(Dialog dialog, std::string_view focusField = {});

    // The field a command's collection stopped at (CommandOutcome::field), after its message was
    // shown: the dialog that holds it is shown with the field focused and its text selected, so
    // the operator sees which one. False when no dialog holds it: the main window's view focuses
    // its own field.
    bool showField(const std::string& control);

    // Asked when the main window is about to close and mayClose(): the Yes/No question (Yes
    // exits, No keeps the window; neither is pressed by Enter) when edits were never
    // programmed; none otherwise.
    std::optional<std::string> exitQuestion() const { return mainWindow_->exitQuestion(); }

    // Help > Job History: the last jobs of the session's history, oldest first, one line each;
    // an empty or unreadable history says so.
    std::string historyText(std::size_t lastJobs = 200) const;
    // Help > Update Instructions and Print Instructions: the body naming the program as it is
    // started on this platform.
    std::string instructionsBody() const;

private:
    explicit WindowSet(MessagePump pump);
    // Once the session started as it should: the models in start-up order, wired.
    void makeModels();
    void mainWindowChanged();

    Views views_;
    DialogViews dialogs_;
    JobWindowModel jobWindow_; // the engine reports into it: made first, gone last
    std::unique_ptr<AppSession> session_;
    std::unique_ptr<MainWindowModel> mainWindow_;
    std::unique_ptr<OptionsDialogModel> options_;
    std::unique_ptr<ScalesDialogModel> scales_;
    std::unique_ptr<TiltCalibrationModel> tilt_;
    std::size_t controlsObserver_ = 0;
};

} // namespace tessel
