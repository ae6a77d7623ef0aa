#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Another program this one starts (a bay's worker), its standard input and output on pipes of
// this program and its standard error this program's. Reading never waits; waitForOutput waits
// for any of several.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    // Kills it when it still runs, and waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return !problem_; }
    // Why it could not be started; none when it was.
    const std::optional<std::string>& problem() const { return problem_; }
    long pid() const { return pid_; }

    // A line to its standard input; false once it cannot take one.
    bool send(std::string_view line);
    // The whole lines it has written since the last call, without their line ends.
    std::vector<std::string> lines();
    // Its standard output is closed and every line of it taken.
    bool outputEnded() const { return outputEnded_ && pending_.empty(); }
    // Waits for it to end: its exit code, or 128 + the signal that ended it.
    int wait();
    void kill();

    // Waits up to waitMs until one of them has output or has closed it.
    static void waitForOutput(const std::vector<ChildProcess*>& children, int waitMs);

private:
    void readAvailable();

    std::optional<std::string> problem_;
    long pid_ = 0;
    std::intptr_t process_ = -1; // the platform's handle (Windows)
    std::intptr_t input_ = -1;   // our ends of its standard input and output
    std::intptr_t output_ = -1;
    std::string pending_;
    bool outputEnded_ = false;
    std::optional<int> exitCode_;
};

} // namespace tessel
