#include "support/CompanionFiles.h"

#include "support/Win32Text.h"

#include <windows.h>

namespace tessel {

std::string currentExecutablePath() {
    // Grows the buffer until the whole path fits (long paths exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return utf8FromWide(path);
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

} // namespace tessel
