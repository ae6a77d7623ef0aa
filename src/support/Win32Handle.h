#pragma once

// Only the Windows build includes this.
#include <windows.h>

namespace tessel {

// A file handle closed (and so unlocked) when it goes out of scope.
struct OwnedHandle {
    HANDLE h;
    ~OwnedHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

} // namespace tessel
