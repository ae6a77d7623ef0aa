#pragma once

#include <string>
#include <vector>

namespace tessel {

// The program's arguments after its name, as UTF-8. On Windows they come from the wide command
// line, since main's argv is in the system's code page.
std::vector<std::string> commandArguments(int argc, char** argv);
// The program's name as its caller gave it (argv[0]: "tessel" found on the PATH, "Tessel.com",
// a path), as UTF-8; empty when there is none.
std::string commandName(int argc, char** argv);

} // namespace tessel
