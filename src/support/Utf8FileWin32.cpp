#include "support/Utf8File.h"

#include "support/Win32Text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace tessel {

std::FILE* openUtf8File(const std::string& path, const char* mode) {
    errno = 0;
    _doserrno = 0; // the C library keeps the system's code of a failed open here
    return _wfopen(wideFromUtf8(path).c_str(), wideFromUtf8(mode).c_str());
}

std::string openFailure() {
    // The C library calls a locked file's sharing violation "Permission denied".
    if (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION)
        return "it is in use by another program";
    return std::strerror(errno != 0 ? errno : EACCES);
}

std::string_view systemLineEnd() { return "\r\n"; }

} // namespace tessel
