#include "cli/CommandLine.h"

#include "app/JobHistory.h"
#include "cli/CommandTable.h"
#include "link/Atmega128.h"
#include "support/StrictNumber.h"
#include "station/StationProfile.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace tessel {

namespace {

using Request = CommandLineRequest;

enum class Takes { Nothing, Value, ValueAfterEquals };

// One spelling of an option: the value it takes and what it sets (a flag, and a value's field).
struct OptionSpec {
    std::string_view name;
    Option id;
    Takes takes = Takes::Nothing;
    bool Request::*flag = nullptr;
    void (*set)(Request&, const std::string& value) = nullptr;
};

// The first spelling of an option is the one messages use.
constexpr OptionSpec kOptions[] = {
    {"--help", Option::Help, Takes::Nothing, &Request::help},
    {"-h", Option::Help, Takes::Nothing, &Request::help},
    {"--version", Option::Version, Takes::Nothing, &Request::version},
    {"--port", Option::Port, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.port = parseNumber("--port", v, 1, 4); }},
    {"--device", Option::Device, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.device = v; }},
    {"--simulate", Option::Simulate, Takes::ValueAfterEquals, &Request::simulate,
     [](Request& r, const std::string& v) {
         if (v.empty()) throw UsageError("--simulate= needs a file name");
         r.simulateFile = v;
     }},
    {"--ini", Option::Ini, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.iniPath = v; }},
    {"--advanced", Option::Advanced, Takes::Nothing, &Request::advanced},
    {"--fast-link", Option::FastLink, Takes::Nothing, &Request::fastLink},
    {"--yes", Option::Yes, Takes::Nothing, &Request::yes},
    {"--no", Option::No, Takes::Nothing, &Request::no},
    {"--keep-firmware", Option::KeepFirmware, Takes::Nothing, &Request::keepFirmware},
    {"--force", Option::Force, Takes::Nothing, &Request::force},
    {"--quiet", Option::Quiet, Takes::Nothing, &Request::quiet},
    {"-q", Option::Quiet, Takes::Nothing, &Request::quiet},
    {"--out", Option::Out, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.out = v; }},
    {"--json", Option::Json, Takes::Nothing, &Request::json},
    {"--raw", Option::Raw, Takes::Nothing, &Request::raw},
    {"--partial", Option::Partial, Takes::Nothing, &Request::partial},
    {"--count", Option::Count, Takes::Value, nullptr,
     [](Request& r, const std::string& v) {
         r.count = parseNumber("--count", v, 1, static_cast<int>(atmega128::kEepromBytes));
     }},
    {"--to", Option::To, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.toFormat = parseNumber("--to", v, 1, 2); }},
    {"--serial", Option::Serial, Takes::Value, nullptr,
     [](Request& r, const std::string& v) {
         r.serial = parseNumber("--serial", v, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max());
     }},
    {"--since", Option::Since, Takes::Value, nullptr,
     [](Request& r, const std::string& v) {
         const auto since = historySince(v);
         if (!since)
             throw UsageError("--since needs a date YYYY-MM-DD or a time YYYY-MM-DDThh:mm[:ss], "
                              "not '" + v + "'");
         r.since = *since;
     }},
    {"--firmware", Option::Firmware, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.firmware = v; }},
    {"--template", Option::Template, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.blockTemplate = v; }},
    {"--serials", Option::Serials, Takes::Value, nullptr,
     [](Request& r, const std::string& v) {
         r.serials = parseSerialRange(v);
         if (!r.serials)
             throw UsageError("--serials needs FIRST-LAST, whole numbers with 1 <= FIRST <= LAST, "
                              "not '" + v + "'");
     }},
    {"--bay", Option::Bay, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.bays.push_back(v); }},
    {"--acquire-tilt", Option::AcquireTilt, Takes::Nothing, &Request::acquireTilt},
    {"--keep-serial", Option::KeepSerial, Takes::Nothing, &Request::keepSerial},
    {"--units", Option::Units, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.units = parseNumber("--units", v, 1, 1000000); }},
    {"--csv", Option::Csv, Takes::Nothing, &Request::csv},
    {"--auto", Option::Auto, Takes::Nothing, &Request::autoStart},
    {"--station", Option::Station, Takes::Value, nullptr,
     [](Request& r, const std::string& v) { r.station = v; }},
};

const OptionSpec* findOption(std::string_view name) {
    for (const auto& o : kOptions)
        if (o.name == name) return &o;
    return nullptr;
}

std::string optionName(Option id) {
    return std::string(
        std::find_if(std::begin(kOptions), std::end(kOptions), [id](const OptionSpec& o) {
            return o.id == id;
        })->name);
}

// The words and options of a command line, each option applied as it comes.
struct Scan {
    Request req;
    std::vector<std::string> words;
    std::vector<Option> given;     // for the command to accept, in the order given
    std::string afterBareSimulate; // "--simulate FILE" was probably meant as --simulate=FILE
};

// Whether the command named so far reads a record file after --json.
bool jsonNamesRecord(const std::vector<std::string>& words) {
    const CommandInfo* c = words.empty() ? nullptr : findCommand(words[0]);
    return c && c->options.has(Option::JsonRecord);
}

Scan scanArguments(const std::vector<std::string>& args) {
    Scan s;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto eq = a.find('=');
        const OptionSpec* spec = a.starts_with('-') ? findOption(a.substr(0, eq)) : nullptr;
        if (!spec) {
            if (a.size() > 1 && a[0] == '-') throw UsageError("unknown option '" + a + "'");
            s.words.push_back(a);
            continue;
        }
        const std::string name(spec->name);
        if (spec->id == Option::Json && eq == std::string::npos && jsonNamesRecord(s.words)) {
            if (i + 1 >= args.size()) throw UsageError("--json needs a record file");
            s.req.jsonInput = args[++i];
            s.given.push_back(Option::JsonRecord);
            continue;
        }
        if (eq != std::string::npos && spec->takes == Takes::Nothing)
            throw UsageError(name + " takes no value");
        if (eq == std::string::npos && spec->takes == Takes::Value && i + 1 >= args.size())
            throw UsageError(name + " needs a value");
        if (spec->flag) s.req.*spec->flag = true;
        if (eq != std::string::npos)
            spec->set(s.req, a.substr(eq + 1));
        else if (spec->takes == Takes::Value)
            spec->set(s.req, args[++i]);
        else if (spec->takes == Takes::ValueAfterEquals && i + 1 < args.size())
            s.afterBareSimulate = args[i + 1];
        s.given.push_back(spec->id);
    }
    return s;
}

// A group word ("vcb", "hex") stands before the words of its commands.
bool isGroup(const std::string& word) {
    return std::ranges::any_of(
        commandTable(), [&](const CommandInfo& c) { return c.name.starts_with(word + " "); });
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row.back();
}

// The command, or group word, closest to what was typed.
std::string_view closestCommand(std::string_view typed) {
    std::string_view best;
    std::size_t bestDistance = std::string_view::npos;
    for (const auto& c : commandTable())
        for (const std::string_view name : {c.name, c.name.substr(0, c.name.find(' '))})
            if (const auto d = editDistance(typed, name); d < bestDistance) {
                best = name;
                bestDistance = d;
            }
    return best;
}

// --help, --version and --ini (the settings file of the run) go with every command.
void checkOptions(const std::vector<Option>& given, const CommandInfo& command) {
    for (const Option o : given)
        if (o != Option::Help && o != Option::Version && o != Option::Ini &&
            !command.options.has(o))
            throw UsageError(std::string(command.name) + " does not take " + optionName(o));
}

} // namespace

int parseNumber(std::string_view what, const std::string& text, long low, long high) {
    const auto value = strictInteger(text);
    if (!value || *value < low || *value > high)
        throw UsageError(std::string(what) + " needs a number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not '" + text + "'");
    return *value;
}

CommandLineRequest parseCommandLine(const std::vector<std::string>& args) {
    Scan s = scanArguments(args);
    Request& req = s.req;
    if (req.yes && req.no) throw UsageError("--yes and --no cannot be given together");
    if (s.words.empty()) return req;
    if (req.help && s.words[0] == "exit-codes") {
        req.helpTopic = s.words[0];
        return req;
    }
    const bool grouped = isGroup(s.words[0]);
    if (grouped && s.words.size() == 1) {
        req.commandGroup = s.words[0];
        return req;
    }
    req.command = grouped ? s.words[0] + " " + s.words[1] : s.words[0];
    const std::string& file = s.afterBareSimulate;
    const std::string hint = file.empty() ? ""
                                          : "\n(to keep the virtual light bar in " + file +
                                                " write --simulate=" + file + ", without a blank)";
    req.info = findCommand(req.command);
    if (!req.info) {
        // The file after a bare --simulate is no mistyped command: the hint explains it.
        const std::string guess =
            "; did you mean '" + std::string(closestCommand(req.command)) + "'?";
        throw UsageError("unknown command '" + req.command + "'" +
                         (req.command == file ? "" : guess) + hint);
    }
    req.args.assign(s.words.begin() + (grouped ? 2 : 1), s.words.end());
    if (req.help) return req;

    checkOptions(s.given, *req.info);
    if (req.json && req.raw) throw UsageError("--json and --raw cannot be given together");
    const auto n = static_cast<int>(req.args.size());
    if (n < req.info->minArgs || n > req.info->maxArgs)
        throw UsageError("usage: tessel " + std::string(req.info->synopsis) + hint);
    if (req.info->check) req.info->check(req);
    return req;
}

} // namespace tessel
