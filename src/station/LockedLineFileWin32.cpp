#include "station/LockedLineFile.h"

#include "support/Win32Text.h"

#include <windows.h>

namespace tessel {

namespace {

std::string failure(const std::string& what) {
    return what + ": Windows error " + std::to_string(GetLastError());
}

bool seek(HANDLE h, LONGLONG to) {
    LARGE_INTEGER at;
    at.QuadPart = to;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

// One byte far past any real length serves as the lock: readers are never kept out.
OVERLAPPED lockPlace() {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return at;
}

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

LockedLineFile::LockedLineFile(const std::string& path) {
    HANDLE h = CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        problem_ = failure("cannot open " + path);
        return;
    }
    // NTFS journals a new name with its folder; the new, empty file is flushed.
    if (GetLastError() != ERROR_ALREADY_EXISTS) FlushFileBuffers(h);
    OVERLAPPED at = lockPlace();
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
        problem_ = failure("cannot lock " + path);
        CloseHandle(h);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

LockedLineFile::~LockedLineFile() {
    if (handle_ == -1) return;
    OVERLAPPED at = lockPlace();
    UnlockFileEx(handleOf(handle_), 0, 1, 0, &at);
    CloseHandle(handleOf(handle_));
}

std::optional<std::string> LockedLineFile::read() {
    if (!ok() || !seek(handleOf(handle_), 0)) return std::nullopt;
    std::string bytes;
    char buf[8192];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(handleOf(handle_), buf, sizeof buf, &n, nullptr)) return std::nullopt;
        if (n == 0) return bytes;
        bytes.append(buf, n);
    }
}

std::optional<std::string> LockedLineFile::append(std::string_view line) {
    if (!ok()) return problem_;
    HANDLE h = handleOf(handle_);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) return failure("cannot read the size");
    char last = '\n';
    DWORD n = 0;
    if (size.QuadPart > 0 &&
        (!seek(h, size.QuadPart - 1) || !ReadFile(h, &last, 1, &n, nullptr) || n != 1))
        return failure("cannot read");
    std::string bytes;
    if (last != '\n') bytes += '\n';
    bytes.append(line);
    bytes += '\n';
    const DWORD want = static_cast<DWORD>(bytes.size());
    if (!seek(h, size.QuadPart) || !WriteFile(h, bytes.data(), want, &n, nullptr) || n != want ||
        !FlushFileBuffers(h)) {
        const std::string why = failure("cannot write");
        if (seek(h, size.QuadPart)) SetEndOfFile(h);
        return why;
    }
    return std::nullopt;
}

} // namespace tessel
