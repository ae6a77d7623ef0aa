#include "cli/CommandLine.h"

#include "cli/CommandTable.h"

#include <array>
#include <charconv>

namespace tessel {

namespace {

// Block data is the compacted block text unless --raw asks for the 4096-byte area; --json gives
// the record instead. The same rule holds for every command that has block data.
constexpr std::array<CommandInfo, 14> kCommands = {{
    {"read-vcb", 0, 0, "--out --json --raw", "read-vcb [--json | --raw] [--out FILE]",
     "Reads the light bar's configuration block and prints its compacted block text, a valid\n"
     "  source for program-vcb and verify-vcb.\n"
     "  --json      the parsed record as JSON instead\n"
     "  --raw       the 4096-byte block area as read (\"~\" for withdrawn bytes) instead",
     "tessel --port 2 read-vcb --out kd7.vcb"},
    {"verify-vcb", 0, 1, "", "verify-vcb SOURCE | verify-vcb --json RECORD.json",
     "Verifies the light bar's block against a block file or a JSON record.",
     "tessel --port 2 verify-vcb kd7.vcb"},
    {"program-vcb", 0, 1, "", "program-vcb SOURCE | program-vcb --json RECORD.json",
     "Programs a block file or a JSON record into the light bar (without an erase when it can).",
     "tessel --port 2 --yes --keep-firmware program-vcb --json record.json"},
    {"convert-vcb", 1, 1, "", "convert-vcb 1|2",
     "Converts the light bar's block to format 1 or 2 (erases the light bar: program the\n"
     "  firmware afterwards).",
     "tessel --port 2 --yes convert-vcb 2"},
    {"init-vcb", 0, 0, "", "init-vcb",
     "Writes the default block into a light bar that has none (erases the light bar: program\n"
     "  the firmware afterwards).",
     "tessel --port 2 --yes init-vcb"},
    {"program-code", 1, 1, "", "program-code HEXFILE",
     "Programs firmware from an Intel HEX file, keeping the light bar's block.",
     "tessel --port 2 --yes program-code KdV2.9.a90"},
    {"verify-code", 1, 1, "", "verify-code HEXFILE",
     "Verifies the light bar's firmware against an Intel HEX file.",
     "tessel --port 2 verify-code KdV2.9.a90"},
    {"read-eeprom", 0, 0, "--out --raw --count", "read-eeprom [--count N] [--raw] [--out FILE]",
     "Reads N bytes (default and at most 4096) of the light bar's data memory and prints a\n"
     "  hex dump, or with --raw the bytes themselves.",
     "tessel --port 2 read-eeprom --count 256 --raw --out ee.bin"},
    {"ports", 0, 0, "--port --device --simulate --ini --out", "ports [--out FILE]",
     "Lists COM1 to COM4 with their device paths and whether each is present and free (a port\n"
     "  the INI file skips is never opened).",
     "tessel ports"},
    {"vcb show", 1, 1, "--out --json", "vcb show FILE [--json] [--out FILE]",
     "Parses a block file and prints the record as \"label: value\" lines, or as JSON.",
     "tessel vcb show kd7.vcb --json"},
    {"vcb render", 1, 1, "--out --raw", "vcb render RECORD.json [--raw] [--out FILE]",
     "Renders a JSON record into a block: its block text, or with --raw the 4096-byte area.",
     "tessel vcb render record.json --out kd7.vcb"},
    {"vcb convert", 1, 1, "--out --raw --to", "vcb convert FILE --to 1|2 [--raw] [--out FILE]",
     "Converts a block file's block to the other format: its block text, or with --raw the\n"
     "  4096-byte area.",
     "tessel vcb convert kd7.vcb --to 1 --out kd7-f1.vcb"},
    {"hex info", 1, 1, "--out --json", "hex info HEXFILE [--json] [--out FILE]",
     "Reads a HEX file and prints result, length, product, version, required format, date.",
     "tessel hex info KdV2.9.a90 --json"},
    {"hex image", 1, 1, "--out --partial", "hex image HEXFILE [--partial] [--out BIN]",
     "Writes the 0x1F000-byte code-area image of a HEX file. A file that does not read\n"
     "  cleanly (result 3) writes nothing unless --partial asks for what was read.",
     "tessel hex image KdV2.9.a90 --out kd.bin"},
}};

int parseInt(const std::string& option, const std::string& text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, value);
    if (r.ec != std::errc() || r.ptr != end || value < low || value > high)
        throw UsageError(option + " needs a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    return static_cast<int>(value);
}

bool isGroup(const std::string& word) { return word == "vcb" || word == "hex"; }

} // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(std::string_view name) {
    for (const auto& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

bool takesOption(const CommandInfo& command, std::string_view option) {
    const std::string own = std::string(" ") +
                            (isLightBarCommand(command.name) && std::string_view(command.name) != "ports"
                                 ? std::string(kJobOptions) + " "
                                 : std::string()) +
                            command.options + " ";
    return own.find(" " + std::string(option) + " ") != std::string::npos;
}

bool isLightBarCommand(const std::string& command) {
    return !command.empty() && command.rfind("vcb ", 0) != 0 && command.rfind("hex ", 0) != 0;
}

CommandLineRequest parseCommandLine(const std::vector<std::string>& args) {
    CommandLineRequest req;
    std::vector<std::string> words;
    std::vector<std::string> given;   // the options used, for the command to accept
    std::string afterBareSimulate;    // "--simulate FILE" was probably meant as --simulate=FILE

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const std::string& option) -> std::string {
            const auto eq = a.find('=');
            if (eq != std::string::npos) return a.substr(eq + 1);
            if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
            return args[++i];
        };
        auto is = [&](const char* option) {
            const bool match = a == option || a.rfind(std::string(option) + "=", 0) == 0;
            if (match) given.emplace_back(option);
            return match;
        };

        if (a == "--help" || a == "-h") req.help = true;
        else if (a == "--version") req.version = true;
        else if (is("--port")) req.port = parseInt("--port", value("--port"), 1, 4);
        else if (is("--device")) req.device = value("--device");
        else if (is("--simulate")) {
            req.simulate = true;
            if (a != "--simulate") {
                req.simulateFile = a.substr(11);
                if (req.simulateFile.empty()) throw UsageError("--simulate= needs a file name");
            } else if (i + 1 < args.size()) {
                afterBareSimulate = args[i + 1];
            }
        } else if (is("--ini")) req.iniPath = value("--ini");
        else if (is("--advanced")) req.advanced = true;
        else if (is("--fast-link")) req.fastLink = true;
        else if (is("--yes")) req.yes = true;
        else if (is("--no")) req.no = true;
        else if (is("--keep-firmware")) req.keepFirmware = true;
        else if (a == "-q" || is("--quiet")) {
            req.quiet = true;
            if (a == "-q") given.emplace_back("--quiet");
        } else if (is("--out")) req.out = value("--out");
        else if (is("--raw")) req.raw = true;
        else if (is("--partial")) req.partial = true;
        else if (is("--count")) req.count = parseInt("--count", value("--count"), 1, 4096);
        else if (is("--to")) req.toFormat = parseInt("--to", value("--to"), 1, 2);
        else if (a == "--json") {
            req.json = true;
            // verify-vcb and program-vcb take the record file right after --json.
            const bool takesFile = !words.empty() &&
                                   (words[0] == "verify-vcb" || words[0] == "program-vcb");
            if (takesFile) {
                if (i + 1 >= args.size()) throw UsageError("--json needs a record file");
                req.jsonInput = args[++i];
            } else {
                given.emplace_back("--json");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option '" + a + "'");
        } else {
            words.push_back(a);
        }
    }

    if (req.yes && req.no) throw UsageError("--yes and --no cannot be given together");
    if (words.empty()) return req;
    if (req.help && words[0] == "exit-codes") {
        req.helpTopic = words[0];
        return req;
    }

    std::size_t taken = 1;
    req.command = words[0];
    if (isGroup(words[0])) {
        if (words.size() == 1) {
            req.commandGroup = words[0];
            req.command.clear();
            return req;
        }
        req.command = words[0] + " " + words[1];
        taken = 2;
    }
    const std::string hint = afterBareSimulate.empty()
                                 ? ""
                                 : "\n(to keep the virtual light bar in " + afterBareSimulate +
                                       " write --simulate=" + afterBareSimulate + ", without a blank)";
    const CommandInfo* info = findCommand(req.command);
    if (!info) throw UsageError("unknown command '" + req.command + "'" + hint);
    req.args.assign(words.begin() + static_cast<std::ptrdiff_t>(taken), words.end());
    if (req.help) return req;

    for (const auto& option : given)
        if (!takesOption(*info, option))
            throw UsageError(req.command + " does not take " + option);
    if (req.json && req.raw) throw UsageError("--json and --raw cannot be given together");

    const int n = static_cast<int>(req.args.size());
    if (n < info->minArgs || n > info->maxArgs)
        throw UsageError("usage: tessel " + std::string(info->synopsis) + hint);
    if ((req.command == "verify-vcb" || req.command == "program-vcb") &&
        (n == 1) == req.jsonInput.has_value())
        throw UsageError("usage: tessel " + std::string(info->synopsis));
    if (req.command == "convert-vcb")
        req.toFormat = parseInt("convert-vcb", req.args[0], 1, 2);
    if (req.command == "vcb convert" && !req.toFormat)
        throw UsageError("vcb convert needs --to 1 or --to 2");
    return req;
}

} // namespace tessel
