#pragma once

#include <string>
#include <vector>

namespace tessel {

// The program's arguments after its name, as UTF-8. On Windows they come from the wide command
// line, since main's argv is in the system's code page.
std::vector<std::string> commandArguments(int argc, char** argv);

} // namespace tessel
