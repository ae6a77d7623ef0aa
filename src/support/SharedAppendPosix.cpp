#include "support/SharedAppend.h"

#include "support/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessel {

namespace {

// A descriptor closed (and so unlocked) when it goes out of scope.
struct OwnedFd {
    int fd;
    ~OwnedFd() {
        if (fd >= 0) ::close(fd);
    }
};

std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

} // namespace

std::optional<std::string> appendWholeLine(const std::string& path, std::string_view line) {
    const OwnedFd file{::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666)};
    if (file.fd < 0) return failure("cannot open");
    while (::flock(file.fd, LOCK_EX) != 0)
        if (errno != EINTR) return failure("cannot lock");

    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return failure("cannot stat");
    std::string bytes;
    char last = '\n';
    if (st.st_size > 0 && ::pread(file.fd, &last, 1, st.st_size - 1) != 1)
        return failure("cannot read");
    if (last != '\n') bytes += '\n';
    bytes.append(line);
    bytes += '\n';

    if (!writeAll(file.fd, bytes) || ::fdatasync(file.fd) != 0) {
        const std::string why = failure("cannot write");
        if (::ftruncate(file.fd, st.st_size) == 0) ::fdatasync(file.fd);
        return why;
    }
    return std::nullopt;
}

} // namespace tessel
