#include "support/SharedAppend.h"

#include "support/Win32Handle.h"
#include "support/Win32Text.h"

#include <windows.h>

namespace tessel {

namespace {

std::string failure(const char* what) {
    return std::string(what) + ": " + systemMessage(GetLastError());
}

bool seek(HANDLE h, LONGLONG to) {
    LARGE_INTEGER at;
    at.QuadPart = to;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

} // namespace

std::optional<std::string> appendWholeLine(const std::string& path, std::string_view line) {
    const OwnedHandle file{CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return failure("cannot open");
    // One byte far past any real length serves as the lock: readers are never kept out.
    OVERLAPPED lockAt{};
    lockAt.Offset = 0;
    lockAt.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(file.h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt))
        return failure("cannot lock");

    std::optional<std::string> result;
    LARGE_INTEGER size{};
    std::string bytes;
    char last = '\n';
    DWORD n = 0;
    if (!GetFileSizeEx(file.h, &size)) result = failure("cannot read the size");
    else if (size.QuadPart > 0 &&
             (!seek(file.h, size.QuadPart - 1) || !ReadFile(file.h, &last, 1, &n, nullptr) || n != 1))
        result = failure("cannot read");
    if (!result) {
        if (last != '\n') bytes += '\n';
        bytes.append(line);
        bytes += '\n';
        const DWORD want = static_cast<DWORD>(bytes.size());
        if (!seek(file.h, size.QuadPart) || !WriteFile(file.h, bytes.data(), want, &n, nullptr) ||
            n != want || !FlushFileBuffers(file.h)) {
            result = failure("cannot write");
            if (seek(file.h, size.QuadPart)) SetEndOfFile(file.h);
        }
    }
    UnlockFileEx(file.h, 0, 1, 0, &lockAt);
    return result;
}

} // namespace tessel
