#include "station/LockedLineFile.h"

#include "support/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessel {

namespace {

std::string failure(std::string what) {
    what += ": ";
    what += std::strerror(errno);
    return what;
}

// A new file's name lives in its folder: the folder is synced too.
void syncFolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::filesystem::path folder = parent.empty() ? std::filesystem::path(".") : parent;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

LockedLineFile::LockedLineFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::fsync(fd);
            syncFolderOf(path);
        } else if (errno == EEXIST) {
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC); // made by another process meanwhile
        }
    }
    if (fd < 0) {
        problem_ = failure("cannot open " + path);
        return;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        problem_ = failure("cannot lock " + path);
        ::close(fd);
        return;
    }
    handle_ = fd;
}

LockedLineFile::~LockedLineFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_)); // and so unlocked
}

std::optional<std::string> LockedLineFile::read() {
    if (!ok()) return std::nullopt;
    const int fd = static_cast<int>(handle_);
    std::string bytes;
    char buf[8192];
    for (off_t at = 0;;) {
        const auto n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return bytes;
        bytes.append(buf, static_cast<std::size_t>(n));
        at += n;
    }
}

std::optional<std::string> LockedLineFile::append(std::string_view line) {
    if (!ok()) return problem_;
    const int fd = static_cast<int>(handle_);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failure("cannot stat");
    std::string bytes;
    char last = '\n';
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1) return failure("cannot read");
    if (last != '\n') bytes += '\n';
    bytes.append(line);
    bytes += '\n';
    if (::lseek(fd, st.st_size, SEEK_SET) < 0 || !writeAll(fd, bytes) || ::fdatasync(fd) != 0) {
        const std::string why = failure("cannot write");
        if (::ftruncate(fd, st.st_size) == 0) ::fdatasync(fd);
        return why;
    }
    return std::nullopt;
}

} // namespace tessel
