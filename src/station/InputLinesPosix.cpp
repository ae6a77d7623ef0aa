#include "station/InputLines.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tessel {

void InputLines::fill(int waitMs) {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&in, 1, waitMs);
    if (ready <= 0) return; // none in time, or a signal came
    char buf[4096];
    const auto n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0)
        buffer_.append(buf, static_cast<std::size_t>(n));
    else if (n == 0 || (errno != EINTR && errno != EAGAIN))
        ended_ = true;
}

} // namespace tessel
