#include "station/ChildProcess.h"

#include "support/Win32Text.h"

#include <windows.h>

namespace tessel {

namespace {

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

void closeHandle(std::intptr_t& h) {
    if (h != -1) CloseHandle(handleOf(h));
    h = -1;
}

// One argument as the program's command line parser reads it back (CommandLineToArgvW rules).
std::wstring quoted(const std::string& arg) {
    const std::wstring a = wideFromUtf8(arg);
    if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : a) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(backslashes * 2, L'\\');
    return q + L"\"";
}

std::string failure(const std::string& what) {
    return what + ": Windows error " + std::to_string(GetLastError());
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) {
        problem_ = failure("cannot make a pipe");
        return;
    }
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) {
        problem_ = failure("cannot make a pipe");
        CloseHandle(inRead);
        CloseHandle(inWrite);
        return;
    }
    // Only the child's ends go to the child.
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = quoted(program);
    for (const std::string& a : args)
        commandLine += L" " + quoted(a);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL made =
        CreateProcessW(wideFromUtf8(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
    if (!made) problem_ = failure("cannot start " + program);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    input_ = reinterpret_cast<std::intptr_t>(inWrite);
    output_ = reinterpret_cast<std::intptr_t>(outRead);
    if (!made) {
        closeHandle(input_);
        closeHandle(output_);
        return;
    }
    CloseHandle(info.hThread);
    process_ = reinterpret_cast<std::intptr_t>(info.hProcess);
    pid_ = static_cast<long>(info.dwProcessId);
}

ChildProcess::~ChildProcess() {
    closeHandle(input_);
    if (process_ != -1 && !exitCode_) {
        kill();
        wait();
    }
    closeHandle(output_);
    closeHandle(process_);
}

bool ChildProcess::send(std::string_view line) {
    if (input_ == -1) return false;
    std::string bytes(line);
    bytes += '\n';
    DWORD n = 0;
    return WriteFile(handleOf(input_), bytes.data(), static_cast<DWORD>(bytes.size()), &n,
                     nullptr) &&
           n == bytes.size();
}

void ChildProcess::readAvailable() {
    while (output_ != -1) {
        DWORD available = 0;
        if (!PeekNamedPipe(handleOf(output_), nullptr, 0, nullptr, &available, nullptr)) {
            outputEnded_ = true; // the child's end is closed
            closeHandle(output_);
            return;
        }
        if (available == 0) return;
        std::string buf(available, '\0');
        DWORD n = 0;
        if (!ReadFile(handleOf(output_), buf.data(), available, &n, nullptr)) return;
        pending_.append(buf.data(), n);
    }
}

std::vector<std::string> ChildProcess::lines() {
    readAvailable();
    std::vector<std::string> lines;
    for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        std::string line = pending_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pending_.erase(0, end + 1);
    }
    if (outputEnded_ && !pending_.empty()) {
        lines.push_back(std::move(pending_));
        pending_.clear();
    }
    return lines;
}

int ChildProcess::wait() {
    if (exitCode_) return *exitCode_;
    if (process_ == -1) return 127;
    WaitForSingleObject(handleOf(process_), INFINITE);
    DWORD code = 127;
    GetExitCodeProcess(handleOf(process_), &code);
    exitCode_ = static_cast<int>(code);
    return *exitCode_;
}

void ChildProcess::kill() {
    if (process_ != -1 && !exitCode_) TerminateProcess(handleOf(process_), 137);
}

// Anonymous pipes cannot be waited on: each is looked at every 10 ms while the wait lasts.
void ChildProcess::waitForOutput(const std::vector<ChildProcess*>& children, int waitMs) {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        for (ChildProcess* child : children) {
            if (child->output_ == -1) continue;
            DWORD available = 0;
            if (!PeekNamedPipe(handleOf(child->output_), nullptr, 0, nullptr, &available,
                               nullptr) ||
                available > 0)
                return;
        }
        if (waitMs >= 0 && GetTickCount64() >= until) return;
        Sleep(10);
    }
}

} // namespace tessel
