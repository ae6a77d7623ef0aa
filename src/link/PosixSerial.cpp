#include "link/PosixSerial.h"

#include "link/SystemSerial.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace tessel {

namespace {

int fdOf(SerialHandle handle) { return static_cast<int>(handle); }

SerialResult fromCall(int rc) {
    return rc == 0 ? SerialResult::success() : SerialResult::failure(errno);
}

SerialResult modemBits(SerialHandle handle, bool on, int bits) {
    return fromCall(::ioctl(fdOf(handle), on ? TIOCMBIS : TIOCMBIC, &bits));
}

// The line settings: 115200 8N1, raw, receiver on, modem lines ignored, no flow control of any
// kind, and hang-up on close so that the last close drops DTR and RTS (releasing the light bar
// from reset even where an earlier "stty -hupcl" switched that off).
void setLine(termios& tio) {
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL | HUPCL;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
}

} // namespace

SerialResult PosixSerial::open(const std::string& path, SerialHandle& handle) {
    // Without O_NONBLOCK the open would wait for a carrier the cable never raises.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SerialResult::failure(errno);
    // The lock first: TIOCEXCL on a port someone else holds would stay behind on their port.
    // TIOCEXCL alone does not keep root out, the lock does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return SerialResult::failure(error);
    }
    handle = fd;
    return SerialResult::success();
}

ConfigureResult PosixSerial::configure(SerialHandle handle) {
    const int fd = fdOf(handle);
    auto failed = [](ConfigureStep step) { return ConfigureResult{false, step, errno}; };
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return failed(ConfigureStep::ReadState);
    setLine(tio);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return failed(ConfigureStep::WriteState);
    // DTR and RTS move only when the program moves them: both start dropped.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIC, &lines) != 0) return failed(ConfigureStep::WriteState);
    // Reads return at once (the program never reads, but nothing may ever block).
    if (::tcgetattr(fd, &tio) != 0) return failed(ConfigureStep::ReadTimeouts);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return failed(ConfigureStep::WriteTimeouts);
    return {};
}

void PosixSerial::close(SerialHandle handle) { ::close(fdOf(handle)); }

SerialResult PosixSerial::setDtr(SerialHandle handle, bool on) {
    return modemBits(handle, on, TIOCM_DTR);
}

SerialResult PosixSerial::setRts(SerialHandle handle, bool on) {
    return modemBits(handle, on, TIOCM_RTS);
}

SerialResult PosixSerial::setBreak(SerialHandle handle, bool on) {
    return fromCall(::ioctl(fdOf(handle), on ? TIOCSBRK : TIOCCBRK));
}

SerialResult PosixSerial::readRing(SerialHandle handle, bool& ringOn) {
    int bits = 0;
    if (::ioctl(fdOf(handle), TIOCMGET, &bits) != 0) return SerialResult::failure(errno);
    ringOn = (bits & TIOCM_RI) != 0;
    return SerialResult::success();
}

std::unique_ptr<SerialLines> makeSystemSerial() { return std::make_unique<PosixSerial>(); }

std::string PosixSerial::errorText(int errorNumber) const {
    return std::generic_category().message(errorNumber);
}

} // namespace tessel
