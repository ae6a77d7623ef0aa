#pragma once

#include "station/BayEvents.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// How the station reaches its bays' workers (processes; tests put fakes in). Bays count from 0.
class BayLinks {
public:
    virtual ~BayLinks() = default;
    // Starts bay's worker; why it could not be started, none when it was.
    virtual std::optional<std::string> launch(std::size_t bay) = 0;
    virtual bool send(std::size_t bay, std::string_view line) = 0;
    // The lines the bay's worker wrote since the last call.
    virtual std::vector<std::string> lines(std::size_t bay) = 0;
    // Its exit code once it has ended and all its lines are taken.
    virtual std::optional<int> ended(std::size_t bay) = 0;
    // Waits up to waitMs for any worker to write.
    virtual void wait(int waitMs) = 0;
    // Its process id, where it has one.
    virtual long pid(std::size_t /*bay*/) const { return 0; }
};

// What a station shows of one bay.
struct BayStatus {
    enum class State {
        Starting, // its worker is being started
        Waiting,  // for the next unit
        Running,  // a unit's job runs
        Stopped,  // its worker has ended
    };
    std::string port{};
    State state = State::Starting;
    int progress = 0;
    std::string step{};                         // the running job's current step
    std::optional<std::int32_t> serialNumber{}; // the running or last unit's
    std::optional<bool> lastPassed{};           // how the last unit ended; none before the first
    std::string reason{};                       // why the last unit failed, or the bay stopped
    std::deque<std::string> log{};              // its last lines
    int passed = 0;
    int failed = 0;
    long pid = 0;
    bool chipPresent = false; // --auto: a new chip waits to be started
};

// A station's run as the station window and "tessel station run" see it: every bay's worker,
// what each bay shows, the run's counts, and the commands to them. With a number of units to
// make, no more units are started than it takes; once they passed, every bay is told to quit.
class StationRun {
public:
    static constexpr std::size_t kLogLines = 6;

    StationRun(std::vector<std::string> ports, std::unique_ptr<BayLinks> links,
               std::optional<int> unitsWanted = std::nullopt);

    // Starts every bay's worker.
    void launch();
    // Applies what the workers wrote, waiting up to waitMs for something; returns the events.
    std::vector<BayEvent> pump(int waitMs);
    // What a worker told (pump calls it for every event; tests call it directly).
    void apply(std::size_t bay, const BayEvent& event);

    // The operator's Start for a waiting bay (false when it is not waiting, or no more units
    // are wanted), for every waiting bay, and the Cancel of a bay's unit or of all.
    bool start(std::size_t bay);
    void startAll();
    void cancel(std::size_t bay);
    void cancelAll();
    // Every bay ends once its unit (if any) is done.
    void quitAll();

    const std::vector<BayStatus>& bays() const { return bays_; }
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    // Passed over all units of the run, in percent; none before the first unit.
    std::optional<double> yield() const;
    bool anyRunning() const;
    // Every bay's worker has ended.
    bool finished() const;
    bool moreUnitsWanted() const;
    // Told of every event applied.
    std::function<void(const BayEvent&)> onEvent;

private:
    void workerEnded(std::size_t bay, int exitCode);
    void remember(BayStatus& bay, const std::string& line);

    std::vector<BayStatus> bays_{};
    std::unique_ptr<BayLinks> links_;
    std::optional<int> unitsWanted_{};
    std::vector<bool> quitSent_{};
    int passed_ = 0;
    int failed_ = 0;
};

// How a station's workers are started: "PROGRAM [OPTIONS] station worker PROFILE BAY".
struct WorkerLaunch {
    std::string program; // this program
    std::string profilePath;
    std::string iniPath;          // empty: the program's own
    std::string simulationFolder; // empty: real ports
    bool fastLink = false;
    bool autoStart = false;
};
// Bay counts from 0.
std::vector<std::string> workerArguments(const WorkerLaunch& launch, std::size_t bay);

// The workers as processes of this program.
class WorkerProcesses final : public BayLinks {
public:
    WorkerProcesses(WorkerLaunch launch, std::size_t bays);
    ~WorkerProcesses() override;

    std::optional<std::string> launch(std::size_t bay) override;
    bool send(std::size_t bay, std::string_view line) override;
    std::vector<std::string> lines(std::size_t bay) override;
    std::optional<int> ended(std::size_t bay) override;
    void wait(int waitMs) override;
    long pid(std::size_t bay) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tessel
