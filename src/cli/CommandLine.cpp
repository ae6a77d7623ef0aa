#include "cli/CommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tessel {

namespace {

struct CommandInfo {
    const char* name;
    int minArgs;
    int maxArgs;
    const char* synopsis;
    const char* description;
};

constexpr std::array<CommandInfo, 13> kCommands = {{
    {"read-vcb", 0, 0, "read-vcb [--out FILE] [--json]",
     "Reads the light bar's configuration block and prints its compacted text.\n"
     "  --out FILE  also save the 4096-byte block area as read (\"~\" for withdrawn bytes)\n"
     "  --json      print the parsed record as JSON instead of the text"},
    {"verify-vcb", 0, 1, "verify-vcb SOURCE | verify-vcb --json RECORD.json",
     "Verifies the light bar's block against a block file or a JSON record."},
    {"program-vcb", 0, 1, "program-vcb SOURCE | program-vcb --json RECORD.json",
     "Programs a block file or a JSON record into the light bar (without an erase when it can)."},
    {"convert-vcb", 1, 1, "convert-vcb 1|2",
     "Converts the light bar's block to format 1 or 2 (erases the light bar)."},
    {"init-vcb", 0, 0, "init-vcb",
     "Writes the default block into a light bar that has none (erases the light bar)."},
    {"program-code", 1, 1, "program-code HEXFILE",
     "Programs firmware from an Intel HEX file, keeping the light bar's block."},
    {"verify-code", 1, 1, "verify-code HEXFILE",
     "Verifies the light bar's firmware against an Intel HEX file."},
    {"read-eeprom", 0, 0, "read-eeprom [--count N] [--out FILE]",
     "Reads N bytes (default 4096, at most 4096) of the light bar's data memory;\n"
     "  prints a hex dump, or saves the bytes to FILE."},
    {"vcb show", 1, 1, "vcb show FILE [--json]",
     "Parses a block file and prints the record as \"label: value\" lines, or as JSON."},
    {"vcb render", 1, 1, "vcb render RECORD.json [--out AREA]",
     "Renders a JSON record into a 4096-byte block area (standard output without --out)."},
    {"vcb convert", 1, 1, "vcb convert FILE --to 1|2 [--out AREA]",
     "Converts a block file's compacted block to the other format."},
    {"hex info", 1, 1, "hex info HEXFILE [--json]",
     "Reads a HEX file and prints result, length, product, version, required format, date."},
    {"hex image", 1, 1, "hex image HEXFILE --out BIN",
     "Writes the 0x1F000-byte code-area image of a HEX file."},
}};

const CommandInfo* findCommand(const std::string& name) {
    for (const auto& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

int parseInt(const std::string& option, const std::string& text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, value);
    if (r.ec != std::errc() || r.ptr != end || value < low || value > high)
        throw UsageError(option + " needs a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    return static_cast<int>(value);
}

} // namespace

bool isLightBarCommand(const std::string& command) {
    return !command.empty() && command.rfind("vcb ", 0) != 0 && command.rfind("hex ", 0) != 0;
}

CommandLineRequest parseCommandLine(const std::vector<std::string>& args) {
    CommandLineRequest req;
    std::vector<std::string> words;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const std::string& option) -> std::string {
            const auto eq = a.find('=');
            if (eq != std::string::npos) return a.substr(eq + 1);
            if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
            return args[++i];
        };
        auto is = [&](const char* option) {
            return a == option || a.rfind(std::string(option) + "=", 0) == 0;
        };

        if (a == "--help" || a == "-h") req.help = true;
        else if (is("--port")) req.port = parseInt("--port", value("--port"), 1, 4);
        else if (is("--device")) req.device = value("--device");
        else if (a == "--simulate") req.simulate = true;
        else if (a.rfind("--simulate=", 0) == 0) {
            req.simulate = true;
            req.simulateFile = a.substr(11);
            if (req.simulateFile.empty()) throw UsageError("--simulate= needs a file name");
        } else if (is("--ini")) req.iniPath = value("--ini");
        else if (a == "--advanced") req.advanced = true;
        else if (a == "--fast-link") req.fastLink = true;
        else if (a == "--yes") req.yes = true;
        else if (a == "--no") req.no = true;
        else if (a == "--quiet" || a == "-q") req.quiet = true;
        else if (is("--out")) req.out = value("--out");
        else if (is("--count")) req.count = parseInt("--count", value("--count"), 0, 65535);
        else if (is("--to")) req.toFormat = parseInt("--to", value("--to"), 1, 2);
        else if (a == "--json") {
            req.json = true;
            // verify-vcb and program-vcb take the record file right after --json.
            const bool takesFile = !words.empty() &&
                                   (words[0] == "verify-vcb" || words[0] == "program-vcb");
            if (takesFile) {
                if (i + 1 >= args.size()) throw UsageError("--json needs a record file");
                req.jsonInput = args[++i];
            }
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option '" + a + "'");
        } else {
            words.push_back(a);
        }
    }

    if (req.yes && req.no) throw UsageError("--yes and --no cannot be given together");
    if (words.empty()) return req;

    std::size_t taken = 1;
    req.command = words[0];
    if ((words[0] == "vcb" || words[0] == "hex") && words.size() > 1) {
        req.command = words[0] + " " + words[1];
        taken = 2;
    }
    const CommandInfo* info = findCommand(req.command);
    if (!info) throw UsageError("unknown command '" + req.command + "'");
    req.args.assign(words.begin() + static_cast<std::ptrdiff_t>(taken), words.end());
    if (req.help) return req;

    const int n = static_cast<int>(req.args.size());
    if (n < info->minArgs || n > info->maxArgs)
        throw UsageError("usage: tessel " + std::string(info->synopsis));
    if ((req.command == "verify-vcb" || req.command == "program-vcb") &&
        (n == 1) == req.jsonInput.has_value())
        throw UsageError("usage: tessel " + std::string(info->synopsis));
    if (req.command == "convert-vcb")
        req.toFormat = parseInt("convert-vcb", req.args[0], 1, 2);
    if (req.command == "vcb convert" && !req.toFormat)
        throw UsageError("vcb convert needs --to 1 or --to 2");
    if (req.command == "hex image" && !req.out) throw UsageError("hex image needs --out BIN");
    return req;
}

std::string usageText() {
    std::string text =
        "Usage: tessel [OPTIONS] COMMAND [ARGS]\n"
        "Without a command the Tessel window opens.\n"
        "\n"
        "Light bar commands (exit with the job's result code, 0 to 32):\n";
    for (const auto& c : kCommands)
        if (isLightBarCommand(c.name)) text += std::string("  tessel ") + c.synopsis + "\n";
    text += "\nOffline commands (no light bar):\n";
    for (const auto& c : kCommands)
        if (!isLightBarCommand(c.name)) text += std::string("  tessel ") + c.synopsis + "\n";
    text +=
        "\nOptions:\n"
        "  --port N           COM port 1 to 4 (default: the INI file's \"COM Port\")\n"
        "  --device PATH      device path for the selected port instead of its mapping\n"
        "  --simulate[=FILE]  use the virtual light bar; its state is kept in FILE\n"
        "  --ini PATH         the INI file to use (the log file sits beside it)\n"
        "  --advanced         as in advanced mode: jobs that show the block print it\n"
        "  --fast-link        the fast link (default: the INI file's \"FastLink\")\n"
        "  --yes              answer Yes/OK to every question, the erase included\n"
        "  --no               answer No/Cancel to every question\n"
        "  --quiet            print only the job's final lines\n"
        "  --help             this text; 'tessel COMMAND --help' describes one command\n"
        "\nWithout --yes or --no a question is asked on the terminal when standard input is\n"
        "one, and answered No/Cancel otherwise: nothing is erased unattended.\n"
        "\nA block file of exactly 4096 bytes is a block area; a shorter file is a block text.\n"
        "\nExit codes: the job's result code; 64 usage error; 65 unreadable or invalid input\n"
        "file; 74 output file that cannot be written.\n";
    return text;
}

std::string commandHelp(const std::string& command) {
    const CommandInfo* info = findCommand(command);
    if (!info) return usageText();
    return std::string("Usage: tessel [OPTIONS] ") + info->synopsis + "\n" + info->description +
           "\n";
}

} // namespace tessel
