#include "station/StationRun.h"

#include "station/ChildProcess.h"

namespace tessel {

StationRun::StationRun(std::vector<std::string> ports, std::unique_ptr<BayLinks> links,
                       std::optional<int> unitsWanted)
    : links_(std::move(links)), unitsWanted_(unitsWanted), quitSent_(ports.size(), false) {
    for (std::string& port : ports)
        bays_.push_back({.port = std::move(port)});
}

void StationRun::launch() {
    for (std::size_t i = 0; i < bays_.size(); ++i) {
        const auto problem = links_->launch(i);
        if (!problem) continue;
        bays_[i].state = BayStatus::State::Stopped;
        bays_[i].reason = *problem;
    }
}

std::vector<BayEvent> StationRun::pump(int waitMs) {
    links_->wait(waitMs);
    std::vector<BayEvent> events;
    for (std::size_t i = 0; i < bays_.size(); ++i) {
        if (bays_[i].state == BayStatus::State::Stopped) continue;
        for (const std::string& line : links_->lines(i)) {
            auto event = parseEventLine(line);
            if (!event) continue; // not an event: the worker's own message went to standard error
            event->bay = static_cast<int>(i + 1);
            apply(i, *event);
            events.push_back(*event);
        }
        if (const auto code = links_->ended(i)) workerEnded(i, *code);
    }
    return events;
}

void StationRun::remember(BayStatus& bay, const std::string& line) {
    bay.log.push_back(line);
    while (bay.log.size() > kLogLines)
        bay.log.pop_front();
}

void StationRun::apply(std::size_t i, const BayEvent& e) {
    BayStatus& bay = bays_[i];
    using K = BayEvent::Kind;
    switch (e.kind) {
    case K::Ready: bay.pid = links_->pid(i); break;
    case K::Waiting: bay.state = BayStatus::State::Waiting; break;
    case K::Present:
        // A new chip in the bay (--auto): started while units are wanted.
        bay.chipPresent = true;
        start(i);
        break;
    case K::Started:
        bay.state = BayStatus::State::Running;
        bay.progress = 0;
        bay.step.clear();
        bay.serialNumber.reset();
        bay.chipPresent = false;
        bay.log.clear();
        break;
    case K::Step: bay.step = e.text; break;
    case K::Line: remember(bay, e.text); break;
    case K::Unline:
        if (!bay.log.empty()) bay.log.pop_back();
        break;
    case K::Progress: bay.progress = e.percent; break;
    case K::Serial: bay.serialNumber = e.serialNumber; break;
    case K::Unit: {
        const bool passed = e.result == result::Ok;
        bay.state = BayStatus::State::Waiting;
        bay.serialNumber = e.serialNumber;
        bay.lastPassed = passed;
        bay.reason = passed ? std::string() : e.message;
        bay.step.clear();
        ++(passed ? bay.passed : bay.failed);
        ++(passed ? passed_ : failed_);
        if (unitsWanted_ && passed_ >= *unitsWanted_) quitAll();
        // A unit that failed leaves room for one more: a new chip waiting in a bay.
        for (std::size_t k = 0; k < bays_.size(); ++k)
            if (bays_[k].chipPresent) start(k);
        break;
    }
    case K::Stopped:
        bay.state = BayStatus::State::Stopped;
        bay.reason = e.text;
        break;
    }
    if (onEvent) onEvent(e);
}

void StationRun::workerEnded(std::size_t i, int exitCode) {
    BayStatus& bay = bays_[i];
    if (bay.state == BayStatus::State::Stopped) return; // it said why
    if (bay.state == BayStatus::State::Running) {
        // Its unit's job was cut short: the number it may have taken stays spent.
        bay.lastPassed = false;
        ++bay.failed;
        ++failed_;
    }
    bay.reason = "the bay's program ended (exit code " + std::to_string(exitCode) + ")";
    bay.state = BayStatus::State::Stopped;
    if (onEvent)
        onEvent(
            {.kind = BayEvent::Kind::Stopped, .bay = static_cast<int>(i + 1), .text = bay.reason});
}

bool StationRun::moreUnitsWanted() const {
    if (!unitsWanted_) return true;
    int running = 0;
    for (const BayStatus& bay : bays_)
        running += bay.state == BayStatus::State::Running;
    return passed_ + running < *unitsWanted_;
}

bool StationRun::start(std::size_t i) {
    if (i >= bays_.size() || bays_[i].state != BayStatus::State::Waiting || !moreUnitsWanted())
        return false;
    if (!links_->send(i, "start")) return false;
    bays_[i].state = BayStatus::State::Running; // until its worker says otherwise
    bays_[i].progress = 0;
    bays_[i].step.clear();
    return true;
}

void StationRun::startAll() {
    for (std::size_t i = 0; i < bays_.size(); ++i)
        start(i);
}

void StationRun::cancel(std::size_t i) {
    if (i < bays_.size() && bays_[i].state == BayStatus::State::Running) links_->send(i, "cancel");
}

void StationRun::cancelAll() {
    for (std::size_t i = 0; i < bays_.size(); ++i)
        cancel(i);
}

void StationRun::quitAll() {
    for (std::size_t i = 0; i < bays_.size(); ++i) {
        if (quitSent_[i] || bays_[i].state == BayStatus::State::Stopped) continue;
        quitSent_[i] = true;
        links_->send(i, "quit");
    }
}

std::optional<double> StationRun::yield() const {
    const int units = passed_ + failed_;
    if (units == 0) return std::nullopt;
    return 100.0 * passed_ / units;
}

bool StationRun::anyRunning() const {
    for (const BayStatus& bay : bays_)
        if (bay.state == BayStatus::State::Running) return true;
    return false;
}

bool StationRun::finished() const {
    for (const BayStatus& bay : bays_)
        if (bay.state != BayStatus::State::Stopped) return false;
    return true;
}

// --- the workers as processes ----------------------------------------------------------------

std::vector<std::string> workerArguments(const WorkerLaunch& launch, std::size_t bay) {
    std::vector<std::string> args;
    if (!launch.iniPath.empty()) args.insert(args.end(), {"--ini", launch.iniPath});
    if (!launch.simulationFolder.empty()) args.push_back("--simulate=" + launch.simulationFolder);
    if (launch.fastLink) args.push_back("--fast-link");
    args.insert(args.end(), {"station", "worker", launch.profilePath, std::to_string(bay + 1)});
    if (launch.autoStart) args.push_back("--auto");
    return args;
}

struct WorkerProcesses::Impl {
    WorkerLaunch launch;
    std::vector<std::unique_ptr<ChildProcess>> children;
};

WorkerProcesses::WorkerProcesses(WorkerLaunch launch, std::size_t bays)
    : impl_(std::make_unique<Impl>(Impl{std::move(launch), {}})) {
    impl_->children.resize(bays);
}

WorkerProcesses::~WorkerProcesses() = default;

std::optional<std::string> WorkerProcesses::launch(std::size_t bay) {
    auto child =
        std::make_unique<ChildProcess>(impl_->launch.program, workerArguments(impl_->launch, bay));
    if (!child->started()) return child->problem();
    impl_->children[bay] = std::move(child);
    return std::nullopt;
}

bool WorkerProcesses::send(std::size_t bay, std::string_view line) {
    return impl_->children[bay] && impl_->children[bay]->send(line);
}

std::vector<std::string> WorkerProcesses::lines(std::size_t bay) {
    return impl_->children[bay] ? impl_->children[bay]->lines() : std::vector<std::string>{};
}

std::optional<int> WorkerProcesses::ended(std::size_t bay) {
    ChildProcess* child = impl_->children[bay].get();
    if (!child || !child->outputEnded()) return std::nullopt;
    return child->wait();
}

void WorkerProcesses::wait(int waitMs) {
    std::vector<ChildProcess*> running;
    for (const auto& child : impl_->children)
        if (child && !child->outputEnded()) running.push_back(child.get());
    ChildProcess::waitForOutput(running, waitMs);
}

long WorkerProcesses::pid(std::size_t bay) const {
    return impl_->children[bay] ? impl_->children[bay]->pid() : 0;
}

} // namespace tessel
