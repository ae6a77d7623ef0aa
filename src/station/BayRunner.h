#pragma once

#include "firmware/FirmwareImage.h"
#include "jobs/ChipProgrammer.h"
#include "station/BayEvents.h"
#include "station/EventJobWindow.h"
#include "station/SerialLedger.h"
#include "station/UnitNumbering.h"
#include "support/Clock.h"

#include <functional>
#include <optional>
#include <string>

namespace tessel {

// What a bay is told: "start" the next unit, "cancel" the unit's job, "quit" once the unit in
// hand is done. A bay's worker reads these from its standard input; tests give them directly.
class BayControl {
public:
    virtual ~BayControl() = default;
    // The next command, waiting up to waitMs for one (negative: until one comes); nothing when
    // none came in time, "quit" once the input has ended.
    virtual std::optional<std::string> next(int waitMs) = 0;
};

struct BaySetup {
    NumberingRules numbering; // bay and port included
    const FirmwareImage* image = nullptr;
    std::string firmwarePath{};
    std::string firmwareSha256{};
    bool autoStart = false; // wait for a new chip (a signature read once a second)
};

// What the place around a bay does between units (the simulation swaps the unit for a new one)
// and during a job (stops from outside, the simulation's state kept).
struct BayHooks {
    std::function<void()> beforeUnit{};
    // After a unit's job: true when a new unit now stands in the bay.
    std::function<bool()> afterUnit{};
    // Besides the runner's own commands: a Cancel from elsewhere, and what the job window
    // tells of the job.
    EventJobWindow::Hooks window{};
};

// One bay of a station: waits for the next unit, runs its job on the engine (one at a time; the
// engine stays single-threaded), writes down how it ended in the ledger and tells the station
// every step as an event. Runs until told to quit, or until the range has no number left
// (checked before a unit is touched).
class BayRunner {
public:
    // window: the job window the engine reports to; the runner puts its hooks into it.
    BayRunner(ChipProgrammer& engine, EventJobWindow& window, Clock& clock, SerialLedger& ledger,
              BayControl& control, BaySetup setup, BayHooks hooks = {});

    void run();

    // A Cancel for the running job, from the commands that came meanwhile (tested and cleared).
    bool cancelRequested();
    // Looks at the commands that came during a job.
    void takeCommands();

private:
    bool awaitStart();
    bool awaitNewChip();
    void runUnit();
    void emit(BayEvent event);
    void handle(const std::string& command);

    ChipProgrammer& engine_;
    Clock& clock_;
    SerialLedger& ledger_;
    BayControl& control_;
    EventJobWindow& window_;
    BaySetup setup_;
    BayHooks hooks_;
    bool cancel_ = false;
    bool quit_ = false;
    bool start_ = false;
    bool unitInPlace_ = false; // the unit just done still answers: wait for it to be taken out
};

} // namespace tessel
