#pragma once

#include "cli/CliApp.h"
#include "support/SampleHex.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tessel::testing {

// Runs the command line in-process: a light bar command against a virtual light bar kept in a
// state file; an offline command ("vcb ...", "hex ...", "history") as it is. Every command is
// given the INI file in a temporary folder.
struct CliRunner {
    TempDir dir;
    std::string state = dir / "lightbar.state";
    std::string ini = dir / "tessel.INI";
    std::string out, err;
    std::string input; // standard input (not a terminal)
    bool outIsTerminal = false;
    std::string programName = "tessel"; // as the program was started
    // A virtual light bar's backups and history sit beside its state file.
    std::string backups = dir / "lightbar-backups";
    std::string history = dir / "lightbar-history.jsonl";

    // The user's data folder (a real light bar's backups and history): here, never the tester's.
    CliRunner() { setEnvironment("XDG_DATA_HOME", dir / "data"); }

    int run(std::vector<std::string> args, bool simulate = true) {
        const bool offline = (!args.empty() && (args[0] == "vcb" || args[0] == "hex")) ||
                             std::find(args.begin(), args.end(), "history") != args.end();
        std::vector<std::string> all = {"--ini", ini};
        if (simulate && !offline) all.push_back("--simulate=" + state);
        all.insert(all.end(), args.begin(), args.end());
        std::ostringstream o, e;
        std::istringstream i(input);
        CliEnvironment env{o, e, i, outIsTerminal, false, false, dir / "tessel", nullptr, nullptr,
                           programName};
        const int code = runCommandLine(all, env);
        out = o.str();
        err = e.str();
        return code;
    }
    std::string path(const std::string& name) const { return dir / name; }
};

} // namespace tessel::testing
