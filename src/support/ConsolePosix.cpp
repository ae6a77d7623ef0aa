#include "support/Console.h"

namespace tessel {

void prepareConsole() {}

} // namespace tessel
