#pragma once

#include "app/AppSession.h"
#include "app/Outcome.h"
#include "app/WindowLayout.h"
#include "station/StationProfile.h"
#include "station/StationRun.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessel {

class AppSession;

// The station window without a toolkit: the run of every bay's worker, what the header and each
// bay's pane show, and the operator's commands. Views call pump() from their timer; it tells
// them through changed when anything they show changed.
class StationWindowModel {
public:
    struct Setup {
        std::string program{}; // the worker program: this one
        std::string profilePath{};
        std::string iniPath{};          // empty: the program's own
        std::string simulationFolder{}; // empty: real ports
        bool autoStart = false;
    };
    // The setup for a station opened from the main window of a session: its settings file,
    // and when it simulates, a folder of virtual bays beside its virtual light bar.
    static Setup setupFor(AppSession& session, const std::string& profilePath);

    // Reads the profile; links: the bays' workers (none yet started).
    StationWindowModel(const Setup& setup, StationProfile profile, std::unique_ptr<BayLinks> links);
    // Reads the profile and makes the workers as processes; nothing, with why, when the
    // profile cannot be read.
    static std::unique_ptr<StationWindowModel> open(const Setup& setup, Outcome& problem);
    // The station's window opened alone (tessel --station PROFILE [--auto]). Simulated, it needs
    // a folder for its virtual bays (--simulate=DIR): without one it is refused (64) rather than
    // left to reach the real ports.
    static std::unique_ptr<StationWindowModel> open(const AppSession::Options& options,
                                                    Outcome& problem);

    // Starts every bay's worker.
    void launch();
    // Takes what the workers wrote, waiting up to waitMs for it.
    void pump(int waitMs = 0);
    // What a worker told (pump calls it; tests call it directly).
    void apply(std::size_t bay, const BayEvent& event);
    std::function<void()> changed;

    std::string caption() const;
    std::size_t bayCount() const { return run_.bays().size(); }
    // The header's texts by control name (lStationProfile, lStationFirmware, ...).
    std::string headerText(std::string_view control) const;

    struct BayView {
        std::string port{};   // "Bay 1 – COM1"
        std::string state{};  // "WAITING", "RUNNING", "PASS", "FAIL", "STOPPED"
        std::string detail{}; // the serial number, why it failed or stopped, what it waits for
        std::string step{};   // the running job's step
        int progress = 0;
        bool running = false;
        Colour colour = Colour::Default; // the state's background; white letters on any other
        std::string log{};               // the last lines, one a line
        bool canStart = false;
        bool canCancel = false;
    };
    BayView bay(std::size_t i) const;

    void start(std::size_t bay) {
        run_.start(bay);
        notify();
    }
    void startAll() {
        run_.startAll();
        notify();
    }
    void cancel(std::size_t bay) { run_.cancel(bay); }
    void cancelAll() { run_.cancelAll(); }

    // The window closes only while no bay runs a unit, as the main window during a job.
    bool mayClose() const { return !run_.anyRunning(); }
    static constexpr const char* kCloseRefused =
        "A bay is programming its unit: cancel it, or wait until it has finished.";
    // The window closes: every bay's worker is told to end, and waited for.
    void shutDown();

private:
    void notify() {
        if (changed) changed();
    }
    void countNumbersLeft();

    Setup setup_;
    StationProfile profile_;
    StationRun run_;
    std::int64_t numbersLeft_ = 0;
};

} // namespace tessel
