#pragma once

#include "cli/CliApp.h"
#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tessel::testing {

// Runs the command line in-process: a light bar command against a virtual light bar kept in a
// state file, with its INI file in a temporary folder; an offline command ("vcb ...", "hex ...")
// as it is.
struct CliRunner {
    TempDir dir;
    std::string state = dir / "lightbar.state";
    std::string ini = dir / "tessel.INI";
    std::string out, err;
    std::string input; // standard input (not a terminal)
    bool outIsTerminal = false;
    // A virtual light bar's backups and history sit beside its state file.
    std::string backups = dir / "lightbar-backups";
    std::string history = dir / "lightbar-history.jsonl";

    // The user's data folder (a real light bar's backups and history): here, never the tester's.
    CliRunner() { setEnvironment("XDG_DATA_HOME", dir / "data"); }

    int run(std::vector<std::string> args, bool simulate = true) {
        const bool offline = !args.empty() && (args[0] == "vcb" || args[0] == "hex");
        std::vector<std::string> all;
        if (!offline) all = {"--ini", ini};
        if (simulate && !offline) all.push_back("--simulate=" + state);
        all.insert(all.end(), args.begin(), args.end());
        std::ostringstream o, e;
        std::istringstream i(input);
        CliEnvironment env{o, e, i, outIsTerminal, false, false, dir / "tessel", nullptr};
        const int code = runCommandLine(all, env);
        out = o.str();
        err = e.str();
        return code;
    }
    std::string path(const std::string& name) const { return dir / name; }
};

// A small Intel HEX file: `size` bytes of code at address 0 whose first kilobyte carries an
// identification block naming the required block format.
inline std::string sampleHex(int requiredFormat, std::size_t size = 1500) {
    std::vector<std::uint8_t> code(size);
    for (std::size_t i = 0; i < size; ++i) code[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::string id = "<Veltrane Inc. Firmware ID>:product:KD:version:v3.4:VCB Format:" +
                           std::to_string(requiredFormat) + ":date:2026-12-01<end>";
    std::copy(id.begin(), id.end(), code.begin() + 64);
    std::string hex;
    char buf[48];
    for (std::size_t at = 0; at < size; at += 16) {
        const std::size_t n = std::min<std::size_t>(16, size - at);
        unsigned sum = static_cast<unsigned>(n + (at >> 8) + (at & 0xFF));
        std::snprintf(buf, sizeof buf, ":%02X%04X00", static_cast<unsigned>(n),
                      static_cast<unsigned>(at & 0xFFFF));
        hex += buf;
        for (std::size_t k = 0; k < n; ++k) {
            std::snprintf(buf, sizeof buf, "%02X", code[at + k]);
            hex += buf;
            sum += code[at + k];
        }
        std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        hex += buf;
    }
    return hex + ":00000001FF\r\n";
}

} // namespace tessel::testing
