#include "station/ChildProcess.h"

#include "support/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessel {

namespace {

void closeFd(std::intptr_t& fd) {
    if (fd >= 0) ::close(static_cast<int>(fd));
    fd = -1;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    // A child that has gone must not end this program when it writes to it next.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) {
        problem_ = std::string("cannot make a pipe: ") + std::strerror(errno);
        return;
    }
    if (::pipe2(out, O_CLOEXEC) != 0) {
        problem_ = std::string("cannot make a pipe: ") + std::strerror(errno);
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (error != 0) {
        problem_ = "cannot start " + program + ": " + std::strerror(error);
        closeFd(input_);
        closeFd(output_);
        return;
    }
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    pid_ = pid;
}

ChildProcess::~ChildProcess() {
    closeFd(input_);
    if (pid_ != 0 && !exitCode_) {
        kill();
        wait();
    }
    closeFd(output_);
}

bool ChildProcess::send(std::string_view line) {
    if (input_ < 0) return false;
    std::string bytes(line);
    bytes += '\n';
    return writeAll(static_cast<int>(input_), bytes);
}

void ChildProcess::readAvailable() {
    char buf[8192];
    while (output_ >= 0) {
        const auto n = ::read(static_cast<int>(output_), buf, sizeof buf);
        if (n > 0) {
            pending_.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) {
            outputEnded_ = true;
            closeFd(output_);
        }
        return;
    }
}

std::vector<std::string> ChildProcess::lines() {
    readAvailable();
    std::vector<std::string> lines;
    for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        lines.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
    }
    if (outputEnded_ && !pending_.empty()) { // a last line cut short
        lines.push_back(std::move(pending_));
        pending_.clear();
    }
    return lines;
}

int ChildProcess::wait() {
    if (exitCode_) return *exitCode_;
    if (pid_ == 0) return 127;
    int status = 0;
    while (::waitpid(static_cast<pid_t>(pid_), &status, 0) < 0)
        if (errno != EINTR) return 127;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return *exitCode_;
}

void ChildProcess::kill() {
    if (pid_ != 0 && !exitCode_) ::kill(static_cast<pid_t>(pid_), SIGKILL);
}

void ChildProcess::waitForOutput(const std::vector<ChildProcess*>& children, int waitMs) {
    std::vector<pollfd> fds;
    for (const ChildProcess* child : children)
        if (child->output_ >= 0) fds.push_back({static_cast<int>(child->output_), POLLIN, 0});
    if (fds.empty()) return;
    ::poll(fds.data(), fds.size(), waitMs); // a signal ends the wait early
}

} // namespace tessel
