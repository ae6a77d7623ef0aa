// The command's data on its way out: standard output, or the file named by --out.
#include "block/BlockText.h"
#include "cli/CliCommands.h"
#include "support/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tessel {

namespace {

// A device, FIFO or socket named by --out is written into as it is: replacing it with a regular
// file would take it away from everyone else (think of /dev/null). Sockets are connected to.
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

void writeStandardOutput(CliEnvironment& env, std::string_view bytes) {
    errno = 0;
    env.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    env.out.flush();
    const int error = errno;
    if (!env.out)
        failWith(env, exitcode::CannotWrite, "cannot write standard output" + errnoReason(error));
}

void writeOutput(CliEnvironment& env, const std::optional<std::string>& path,
                 std::string_view bytes) {
    if (!path) {
        writeStandardOutput(env, bytes);
        return;
    }
    errno = 0;
    struct stat st {};
    const bool node = ::stat(path->c_str(), &st) == 0 && isNode(st);
    const bool written = node ? writeIntoNode(*path, st, bytes) : replaceFileAtomically(*path, bytes);
    const int error = errno;
    if (!written) failWith(env, exitcode::CannotWrite, "cannot write " + *path + errnoReason(error));
}

std::string blockData(const CommandLineRequest& req, const BlockArea& area) {
    if (req.raw) return std::string(areaBytes(area));
    BlockArea compacted = area;
    const auto location = compactBlock(compacted);
    return std::string(location ? areaBytes(compacted).substr(0, location->length) : "");
}

void writeBlockData(CliEnvironment& env, const CommandLineRequest& req, const BlockArea& area) {
    writeOutput(env, req.out, blockData(req, area));
}

} // namespace tessel
