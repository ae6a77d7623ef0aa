#include "support/Console.h"

#include <unistd.h>

namespace tessel {

bool prepareConsole() { return ::isatty(STDERR_FILENO) != 0; }

void restoreConsole() {}

} // namespace tessel
