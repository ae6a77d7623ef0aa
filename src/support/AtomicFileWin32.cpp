#include "support/AtomicFile.h"

#include "support/Win32Handle.h"
#include "support/Win32Text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace tessel {

namespace {

// The full form of a path: ReplaceFileW is given only full paths (wine's refuses relative ones).
std::wstring fullPath(const std::string& path) {
    const std::wstring wide = wideFromUtf8(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return wide;
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (written == 0 || written >= n) return wide;
    full.resize(written);
    return full;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates a new file beside the target with a name no one else uses; the caller owns the handle.
HANDLE createTemporary(const std::wstring& target, std::wstring& tempPath) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + wideFromUtf8(".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                                         std::to_string(++counter));
        HANDLE h = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    OwnedHandle file{CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    std::string bytes;
    char buf[8192];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.h, buf, sizeof buf, &n, nullptr)) return std::nullopt;
        if (n == 0) break;
        bytes.append(buf, n);
    }
    return bytes;
}

// Links are rare on Windows and ReplaceFileW acts on the name given; the path stays as it is.
std::string followSymlinks(const std::string& path) { return path; }

bool fileIsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<unsigned>(bytes.size());
        const int n = ::_write(fd, bytes.data(), chunk);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes, const WriteAllFn& write) {
    const std::wstring target = fullPath(path);
    std::wstring tempPath;
    HANDLE h = createTemporary(target, tempPath);
    if (h == INVALID_HANDLE_VALUE) return false;
    // The writer works on a C runtime descriptor over the same handle; closing it closes both.
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(h);
        DeleteFileW(tempPath.c_str());
        return false;
    }
    bool ok = write(fd, bytes) && FlushFileBuffers(h);
    ok = (::_close(fd) == 0) && ok;
    if (ok) {
        // ReplaceFileW keeps the old file's attributes and security; with no old file (or one
        // removed meanwhile) a write-through move puts the new one in place.
        ok = exists(target) && ReplaceFileW(target.c_str(), tempPath.c_str(), nullptr,
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        if (!ok && !exists(target))
            ok = MoveFileExW(tempPath.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!ok) DeleteFileW(tempPath.c_str());
    return ok;
}

} // namespace tessel
