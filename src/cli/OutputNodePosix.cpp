#include "cli/OutputNode.h"

#include "support/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tessel {

namespace {

bool isNode(const struct stat& st) {
    return S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

int openNode(const std::string& path, const struct stat& st) {
    if (!S_ISSOCK(st.st_mode)) return ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool writeIntoNode(const std::string& path, const struct stat& st, std::string_view bytes) {
    const int fd = openNode(path, st);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes);
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) errno = error;
    return written && closed;
}

} // namespace

std::optional<bool> writeIntoNode(const std::string& path, std::string_view bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !isNode(st)) return std::nullopt;
    return writeIntoNode(path, st, bytes);
}

} // namespace tessel
