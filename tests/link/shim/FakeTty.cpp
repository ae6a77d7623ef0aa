// An LD_PRELOAD library that fakes one serial device for the POSIX serial tests: it takes over
// open, ioctl, tcgetattr, tcsetattr, flock and close for descriptors opened on its fake path,
// records the exact calls, and passes the modem lines on to hooks (a virtual light bar). Every
// other call goes to the C library untouched, except that opening a real serial device is
// refused: on the test machines the first serial port is the system console.

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <vector>

#include "FakeTtyControl.h"

namespace {

struct FakeTty {
    std::string path;
    bool held = false;
    bool missing = false;
    long ioctlsBeforeFailure = -1;
    int failTermiosAt = 0;
    int failTermiosError = 0;
    int termiosCalls = 0;
    bool record = true;
    bool exclusive = false;
    int refusedDeviceOpens = 0;
    bool dtr = false, rts = false, brk = false;
    FakeTtyHooks hooks{};
    termios settings{};
    std::set<int> fds;
    std::vector<std::string> calls;
};

FakeTty& fake() {
    static FakeTty f;
    return f;
}

template <typename F> F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool isFake(int fd) { return fake().fds.count(fd) != 0; }

void note(const std::string& call) {
    if (fake().record) fake().calls.push_back(call);
}

void setLine(int line, bool on) {
    FakeTty& f = fake();
    bool& state = line == FAKE_TTY_DTR ? f.dtr : line == FAKE_TTY_RTS ? f.rts : f.brk;
    state = on;
    if (f.hooks.setLine != nullptr) f.hooks.setLine(f.hooks.context, line, on ? 1 : 0);
}

std::string flagNames(int flags) {
    std::string s = (flags & O_ACCMODE) == O_RDWR ? "O_RDWR" : "O_other";
    if (flags & O_NOCTTY) s += "|O_NOCTTY";
    if (flags & O_NONBLOCK) s += "|O_NONBLOCK";
    if (flags & O_CLOEXEC) s += "|O_CLOEXEC";
    return s;
}

std::string modemNames(int bits) {
    std::string s;
    if (bits & TIOCM_DTR) s += "DTR";
    if (bits & TIOCM_RTS) s += s.empty() ? "RTS" : "|RTS";
    return s;
}

bool refusedDevice(const char* path) {
    return path != nullptr && (std::strncmp(path, "/dev/tty", 8) == 0 ||
                               std::strncmp(path, "/dev/serial", 11) == 0);
}

int openCommon(const char* path, int flags, mode_t mode, const char* realName) {
    FakeTty& f = fake();
    if (refusedDevice(path)) {
        ++f.refusedDeviceOpens;
        errno = EACCES;
        return -1;
    }
    using OpenFn = int (*)(const char*, int, ...);
    if (f.path.empty() || path == nullptr || f.path != path)
        return real<OpenFn>(realName)(path, flags, mode);

    note("open " + flagNames(flags));
    if (f.missing) {
        errno = ENOENT;
        return -1;
    }
    if (f.exclusive && !f.fds.empty()) {
        errno = EBUSY; // TIOCEXCL: the tty refuses a second open
        return -1;
    }
    const int fd = real<OpenFn>("open")("/dev/null", O_RDWR | O_CLOEXEC);
    if (fd < 0) return fd;
    f.fds.insert(fd);
    // Opening a tty raises DTR and RTS in one step; RTS goes first here, so the light bar sees
    // its clock low by the time reset arrives, as it would on the wire.
    setLine(FAKE_TTY_RTS, true);
    setLine(FAKE_TTY_DTR, true);
    return fd;
}

int termiosCall() {
    FakeTty& f = fake();
    if (++f.termiosCalls == f.failTermiosAt) {
        errno = f.failTermiosError;
        return -1;
    }
    return 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = static_cast<mode_t>(va_arg(ap, int));
        va_end(ap);
    }
    return openCommon(path, flags, mode, "open");
}

int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = static_cast<mode_t>(va_arg(ap, int));
        va_end(ap);
    }
    return openCommon(path, flags, mode, "open64");
}

int __open_2(const char* path, int flags) { return openCommon(path, flags, 0, "open"); }
int __open64_2(const char* path, int flags) { return openCommon(path, flags, 0, "open64"); }

int ioctl(int fd, unsigned long request, ...) {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (!isFake(fd)) return real<int (*)(int, unsigned long, void*)>("ioctl")(fd, request, arg);

    FakeTty& f = fake();
    std::string name;
    switch (request) {
    case TIOCMBIS: name = "TIOCMBIS " + modemNames(*static_cast<int*>(arg)); break;
    case TIOCMBIC: name = "TIOCMBIC " + modemNames(*static_cast<int*>(arg)); break;
    case TIOCSBRK: name = "TIOCSBRK"; break;
    case TIOCCBRK: name = "TIOCCBRK"; break;
    case TIOCMGET: name = "TIOCMGET"; break;
    case TIOCEXCL: name = "TIOCEXCL"; break;
    default: name = "ioctl " + std::to_string(request); break;
    }
    note("ioctl " + name);
    if (f.ioctlsBeforeFailure == 0) {
        errno = EIO;
        return -1;
    }
    if (f.ioctlsBeforeFailure > 0) --f.ioctlsBeforeFailure;

    switch (request) {
    case TIOCMBIS:
    case TIOCMBIC: {
        const int bits = *static_cast<int*>(arg);
        const bool on = request == TIOCMBIS;
        if (bits & TIOCM_DTR) setLine(FAKE_TTY_DTR, on);
        if (bits & TIOCM_RTS) setLine(FAKE_TTY_RTS, on);
        return 0;
    }
    case TIOCSBRK: setLine(FAKE_TTY_BREAK, true); return 0;
    case TIOCCBRK: setLine(FAKE_TTY_BREAK, false); return 0;
    case TIOCMGET: {
        int bits = (f.dtr ? TIOCM_DTR : 0) | (f.rts ? TIOCM_RTS : 0);
        if (f.hooks.ring != nullptr && f.hooks.ring(f.hooks.context)) bits |= TIOCM_RI;
        *static_cast<int*>(arg) = bits;
        return 0;
    }
    case TIOCEXCL: f.exclusive = true; return 0;
    default: errno = ENOTTY; return -1;
    }
}

int tcgetattr(int fd, struct termios* tio) {
    if (!isFake(fd)) return real<int (*)(int, struct termios*)>("tcgetattr")(fd, tio);
    note("tcgetattr");
    if (termiosCall() != 0) return -1;
    *tio = fake().settings;
    return 0;
}

int tcsetattr(int fd, int action, const struct termios* tio) {
    if (!isFake(fd)) return real<int (*)(int, int, const struct termios*)>("tcsetattr")(fd, action, tio);
    note(action == TCSANOW ? "tcsetattr TCSANOW" : "tcsetattr other");
    if (termiosCall() != 0) return -1;
    fake().settings = *tio;
    return 0;
}

int flock(int fd, int operation) {
    if (!isFake(fd)) return real<int (*)(int, int)>("flock")(fd, operation);
    note(operation == (LOCK_EX | LOCK_NB) ? "flock LOCK_EX|LOCK_NB" : "flock other");
    if (fake().held) {
        errno = EWOULDBLOCK;
        return -1;
    }
    return 0;
}

int close(int fd) {
    FakeTty& f = fake();
    if (isFake(fd)) {
        note("close");
        f.fds.erase(fd);
        if (f.fds.empty()) {
            f.exclusive = false;
            // The last close of a tty with HUPCL drops DTR and RTS; a break ends with it.
            if (f.settings.c_cflag & HUPCL) {
                setLine(FAKE_TTY_DTR, false);
                setLine(FAKE_TTY_RTS, false);
            }
            if (f.brk) setLine(FAKE_TTY_BREAK, false);
        }
    }
    return real<int (*)(int)>("close")(fd);
}

void fake_tty_reset(const char* path) {
    const int refused = fake().refusedDeviceOpens;
    fake() = FakeTty{};
    fake().path = path;
    fake().refusedDeviceOpens = refused;
    // A port left with "stty -hupcl": the program must set HUPCL itself.
    fake().settings.c_cflag = CS7 | PARENB | CRTSCTS;
    fake().settings.c_lflag = ICANON | ECHO;
    fake().settings.c_cc[VMIN] = 1;
    fake().settings.c_cc[VTIME] = 5;
}
void fake_tty_set_hooks(const FakeTtyHooks* hooks) { fake().hooks = hooks ? *hooks : FakeTtyHooks{}; }
void fake_tty_set_holder(int held) { fake().held = held != 0; }
void fake_tty_set_missing(int missing) { fake().missing = missing != 0; }
void fake_tty_fail_ioctl_after(long n) { fake().ioctlsBeforeFailure = n; }
void fake_tty_fail_termios_call(int k, int error) {
    fake().failTermiosAt = k;
    fake().failTermiosError = error;
}
void fake_tty_record(int on) { fake().record = on != 0; }
std::size_t fake_tty_call_count() { return fake().calls.size(); }
const char* fake_tty_call(std::size_t i) { return fake().calls.at(i).c_str(); }
const struct termios* fake_tty_termios() { return &fake().settings; }
int fake_tty_refused_device_opens() { return fake().refusedDeviceOpens; }
int fake_tty_open_descriptors() { return static_cast<int>(fake().fds.size()); }
}
