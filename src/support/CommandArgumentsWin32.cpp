#include "support/CommandArguments.h"

#include "support/Win32Text.h"

#include <windows.h>
#include <shellapi.h>

namespace tessel {

std::vector<std::string> commandArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

std::string commandName(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argc > 0 && argv[0] ? argv[0] : "";
    std::string name = count > 0 ? utf8FromWide(wide[0]) : "";
    LocalFree(wide);
    return name;
}

} // namespace tessel
