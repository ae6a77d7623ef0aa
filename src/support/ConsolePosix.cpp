#include "support/Console.h"

#include <unistd.h>

namespace tessel {

bool prepareConsole() { return ::isatty(STDERR_FILENO) != 0; }

void restoreConsole() {}

bool isTerminal(StandardStream stream) {
    const int fd = stream == StandardStream::Input    ? STDIN_FILENO
                   : stream == StandardStream::Output ? STDOUT_FILENO
                                                      : STDERR_FILENO;
    return ::isatty(fd) != 0;
}

} // namespace tessel
