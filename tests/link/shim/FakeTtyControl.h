#pragma once

// Control of the fake serial device that the LD_PRELOAD library puts behind one path. The test
// finds these functions with dlsym, so it also runs (and refuses to touch any port) without it.

#include <cstddef>
#include <termios.h>

extern "C" {

enum FakeTtyLine { FAKE_TTY_DTR = 0, FAKE_TTY_RTS = 1, FAKE_TTY_BREAK = 2 };

struct FakeTtyHooks {
    void* context;
    // A modem line or the break state changed (on = raised / set).
    void (*setLine)(void* context, int line, int on);
    // The ring indicator's state for TIOCMGET: non-zero when asserted.
    int (*ring)(void* context);
};

// Puts the fake device behind path (a file that must not be a device) and clears all state.
void fake_tty_reset(const char* path);
void fake_tty_set_hooks(const FakeTtyHooks* hooks);
// Another program holds the port: flock fails with EWOULDBLOCK.
void fake_tty_set_holder(int held);
// The device does not exist: open fails with ENOENT.
void fake_tty_set_missing(int missing);
// After n more successful ioctl calls every one fails with EIO; n < 0 switches it off.
void fake_tty_fail_ioctl_after(long n);
// The k-th tcgetattr/tcsetattr call (counted together from 1) fails with error.
void fake_tty_fail_termios_call(int k, int error);
// Whether each call on the fake device is written to the call list.
void fake_tty_record(int on);
std::size_t fake_tty_call_count();
const char* fake_tty_call(std::size_t i);
// The settings last written with tcsetattr.
const struct termios* fake_tty_termios();
// How often anything tried to open a real serial device (always refused).
int fake_tty_refused_device_opens();
int fake_tty_open_descriptors();
}
