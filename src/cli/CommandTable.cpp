// The commands of the command line: what each takes, what runs it, and its help.
#include "cli/CommandTable.h"

#include "cli/CliCommands.h"
#include "cli/StationCommands.h"
#include "station/StationProfile.h"

#include <array>

namespace tessel {

namespace {

using enum Option;

// Every light bar command takes the port, the simulation and the job's answers.
constexpr OptionSet kJobOptions = {Port, Device, Simulate, Advanced, FastLink,
                                   Yes,  No,     KeepFirmware, Quiet};

// verify-vcb and program-vcb take one source: a block file or, after --json, a record.
void sourceOrRecord(CommandLineRequest& req) {
    if ((req.args.size() == 1) == req.jsonInput.has_value())
        throw UsageError("usage: tessel " + std::string(req.info->synopsis));
}

void formatArgument(CommandLineRequest& req) {
    req.toFormat = parseNumber("convert-vcb", req.args[0], 1, 2);
}

void targetFormatGiven(CommandLineRequest& req) {
    if (!req.toFormat) throw UsageError("vcb convert needs --to 1 or --to 2");
}

// station new: every word after the profile names a bay too, once --bay was given.
void bayWords(CommandLineRequest& req) {
    if (!req.firmware || !req.blockTemplate || !req.serials || req.bays.empty())
        throw UsageError("usage: tessel " + std::string(req.info->synopsis));
    req.bays.insert(req.bays.end(), req.args.begin() + 1, req.args.end());
    req.args.resize(1);
    if (req.bays.size() > kMaxBays)
        throw UsageError("a station has at most " + std::to_string(kMaxBays) + " bays");
}

void bayNumber(CommandLineRequest& req) {
    parseNumber("station worker", req.args[1], 1, static_cast<long>(kMaxBays));
}

// Block data is the compacted block text unless --raw asks for the 4096-byte area; --json gives
// the record instead. The same rule holds for every command that has block data.
// clang-format off
constexpr std::array<CommandInfo, 22> kCommands = {{
    {.name = "read-vcb", .lightBar = true, .options = kJobOptions | OptionSet{Out, Json, Raw},
     .run = runLightBarCommand, .job = LightBarJob::ReadVcb,
     .synopsis = "read-vcb [--json | --raw] [--out FILE]",
     .description =
         "Reads the light bar's configuration block and prints its compacted block text, a valid\n"
         "  source for program-vcb and verify-vcb.\n"
         "  --json      the parsed record as JSON instead\n"
         "  --raw       the 4096-byte block area as read (\"~\" for withdrawn bytes) instead",
     .example = "tessel --port 2 read-vcb --out kd7.vcb"},
    {.name = "verify-vcb", .lightBar = true, .options = kJobOptions | OptionSet{JsonRecord},
     .maxArgs = 1, .run = runLightBarCommand, .job = LightBarJob::VerifyVcb,
     .source = JobSource::Block, .check = sourceOrRecord,
     .synopsis = "verify-vcb SOURCE | verify-vcb --json RECORD.json",
     .description = "Verifies the light bar's block against a block file or a JSON record.",
     .example = "tessel --port 2 verify-vcb kd7.vcb"},
    {.name = "program-vcb", .lightBar = true, .options = kJobOptions | OptionSet{JsonRecord},
     .maxArgs = 1, .run = runLightBarCommand, .job = LightBarJob::ProgramVcb,
     .source = JobSource::Block, .check = sourceOrRecord,
     .synopsis = "program-vcb SOURCE | program-vcb --json RECORD.json",
     .description = "Programs a block file or a JSON record into the light bar (without an erase "
                    "when it can).",
     .example = "tessel --port 2 --yes --keep-firmware program-vcb --json record.json"},
    {.name = "convert-vcb", .lightBar = true, .options = kJobOptions, .minArgs = 1, .maxArgs = 1,
     .run = runLightBarCommand, .job = LightBarJob::ConvertVcb, .check = formatArgument,
     .synopsis = "convert-vcb 1|2",
     .description =
         "Converts the light bar's block to format 1 or 2 (erases the light bar: program the\n"
         "  firmware afterwards).",
     .example = "tessel --port 2 --yes convert-vcb 2"},
    {.name = "init-vcb", .lightBar = true, .options = kJobOptions, .run = runLightBarCommand,
     .job = LightBarJob::InitVcb, .synopsis = "init-vcb",
     .description =
         "Writes the default block into a light bar that has none (erases the light bar: program\n"
         "  the firmware afterwards).",
     .example = "tessel --port 2 --yes init-vcb"},
    {.name = "restore", .lightBar = true, .options = kJobOptions | OptionSet{Force}, .minArgs = 1,
     .maxArgs = 2, .run = runLightBarCommand, .job = LightBarJob::Restore,
     .source = JobSource::Backup,
     .synopsis = "restore BACKUP-vcb.bin [BACKUP-eeprom.bin] [--force]",
     .description =
         "Puts back a backup that a job saved before it wrote or erased: the VCB area (erasing the\n"
         "  light bar first only when the saved block cannot be written over what it holds, as on\n"
         "  a light bar left without a block), then the EEPROM when its file is given; each is\n"
         "  verified. A backup of another serial number is refused unless --force.",
     .example = "tessel --port 2 --yes restore SN314159-20261208-150830-vcb.bin "
                "SN314159-20261208-150830-eeprom.bin"},
    {.name = "program-code", .lightBar = true, .options = kJobOptions, .minArgs = 1, .maxArgs = 1,
     .run = runLightBarCommand, .job = LightBarJob::ProgramCode, .source = JobSource::Firmware,
     .synopsis = "program-code HEXFILE",
     .description = "Programs firmware from an Intel HEX file, keeping the light bar's block.",
     .example = "tessel --port 2 --yes program-code KdV2.9.a90"},
    {.name = "verify-code", .lightBar = true, .options = kJobOptions, .minArgs = 1, .maxArgs = 1,
     .run = runLightBarCommand, .job = LightBarJob::VerifyCode, .source = JobSource::Firmware,
     .synopsis = "verify-code HEXFILE",
     .description = "Verifies the light bar's firmware against an Intel HEX file.",
     .example = "tessel --port 2 verify-code KdV2.9.a90"},
    {.name = "read-eeprom", .lightBar = true, .options = kJobOptions | OptionSet{Out, Raw, Count},
     .run = runLightBarCommand, .job = LightBarJob::ReadEeprom,
     .synopsis = "read-eeprom [--count N] [--raw] [--out FILE]",
     .description =
         "Reads N bytes (default and at most 4096) of the light bar's data memory and prints a\n"
         "  hex dump, or with --raw the bytes themselves.",
     .example = "tessel --port 2 read-eeprom --count 256 --raw --out ee.bin"},
    {.name = "acquire-tilt", .lightBar = true, .options = kJobOptions | OptionSet{Out, Json},
     .run = runLightBarCommand, .job = LightBarJob::AcquireTilt,
     .synopsis = "acquire-tilt [--json] [--out FILE]",
     .description =
         "Reads the tilt calibration record from the first 700 bytes of the light bar's data\n"
         "  memory and prints its twenty values (exit 66 when it holds no complete record).",
     .example = "tessel --port 2 acquire-tilt --json"},
    {.name = "ports", .lightBar = true, .options = {Port, Device, Simulate, Out},
     .run = runPortsCommand, .synopsis = "ports [--out FILE]",
     .description =
         "Lists COM1 to COM4 with their device paths and whether each is present and free (a port\n"
         "  the INI file skips is never opened).",
     .example = "tessel ports"},
    {.name = "vcb show", .options = {Out, Json}, .minArgs = 1, .maxArgs = 1, .run = vcbShow,
     .synopsis = "vcb show FILE [--json] [--out FILE]",
     .description =
         "Parses a block file and prints the record as \"label: value\" lines, or as JSON.",
     .example = "tessel vcb show kd7.vcb --json"},
    {.name = "vcb render", .options = {Out, Raw}, .minArgs = 1, .maxArgs = 1, .run = vcbRender,
     .synopsis = "vcb render RECORD.json [--raw] [--out FILE]",
     .description =
         "Renders a JSON record into a block: its block text, or with --raw the 4096-byte area.",
     .example = "tessel vcb render record.json --out kd7.vcb"},
    {.name = "vcb convert", .options = {Out, Raw, To}, .minArgs = 1, .maxArgs = 1,
     .run = vcbConvert, .check = targetFormatGiven,
     .synopsis = "vcb convert FILE --to 1|2 [--raw] [--out FILE]",
     .description =
         "Converts a block file's block to the other format: its block text, or with --raw the\n"
         "  4096-byte area.",
     .example = "tessel vcb convert kd7.vcb --to 1 --out kd7-f1.vcb"},
    {.name = "hex info", .options = {Out, Json}, .minArgs = 1, .maxArgs = 1, .run = hexInfo,
     .synopsis = "hex info HEXFILE [--json] [--out FILE]",
     .description =
         "Reads a HEX file and prints result, length, product, version, required format, date.",
     .example = "tessel hex info KdV2.9.a90 --json"},
    {.name = "hex image", .options = {Out, Partial}, .minArgs = 1, .maxArgs = 1, .run = hexImage,
     .rawData = true, .synopsis = "hex image HEXFILE [--partial] [--out BIN]",
     .description =
         "Writes the 0x1F000-byte code-area image of a HEX file. A file that does not read\n"
         "  cleanly (result 3) writes nothing unless --partial asks for what was read.",
     .example = "tessel hex image KdV2.9.a90 --out kd.bin"},
    {.name = "history", .options = {Json, Serial, Since, Out, Simulate}, .run = historyCommand,
     .synopsis = "history [--json] [--serial N] [--since DATE] [--out FILE]",
     .description =
         "Prints the job history, oldest first: one line per job (time, port, command, serial\n"
         "  numbers before and after, firmware file with product, version and SHA-256, result,\n"
         "  backups). With --simulate=FILE the history kept beside that virtual light bar.\n"
         "  --serial N    only the jobs on light bar N (before or after the job)\n"
         "  --since DATE  only the jobs from DATE (YYYY-MM-DD, or YYYY-MM-DDThh:mm) on,\n"
         "                in local time\n"
         "  --json        the records as a JSON array",
     .example = "tessel history --serial 314159 --since 2026-12-01"},
    {.name = "station new",
     .options = {Firmware, Template, Serials, Bay, AcquireTilt, KeepSerial},
     .minArgs = 1, .maxArgs = 1 + static_cast<int>(kMaxBays), .run = stationNew, .check = bayWords,
     .synopsis = "station new PROFILE --firmware HEX --template FILE --serials A-B --bay PORT...",
     .description =
         "Writes a production station's profile: the firmware file with its SHA-256 (a run\n"
         "  refuses the file once it has changed), the block template (a record JSON file or a\n"
         "  block file), the serial numbers A to B this station gives (stations of one line get\n"
         "  ranges of their own), and its bays, each a port: COM1 to COM4, a device path, or\n"
         "  ftdi:SERIAL.\n"
         "  --acquire-tilt  each unit's tilt calibration record from its EEPROM into its block\n"
         "  --keep-serial   a unit that holds a valid block keeps its serial number (rework)",
     .example = "tessel station new line3.station --firmware KdV2.9.a90 --template kd7.json "
                "--serials 100000-100999 --bay COM1 COM2"},
    {.name = "station check", .options = {Simulate, Ini}, .minArgs = 1, .maxArgs = 1,
     .run = stationCheck, .synopsis = "station check PROFILE",
     .description =
         "Checks a station's profile without touching a light bar: the firmware file and its\n"
         "  SHA-256, the template, the serial numbers left, and each bay's port.",
     .example = "tessel station check line3.station"},
    {.name = "station run", .lightBar = true,
     .options = {Simulate, Ini, FastLink, Quiet, Units, Json, Auto}, .minArgs = 1, .maxArgs = 1,
     .run = stationRun, .synopsis = "station run PROFILE [--units N] [--json] [--auto]",
     .description =
         "Runs the station: every bay programs its units on its own, each unit in one job, its\n"
         "  serial number written down in the station's ledger before it is programmed. One line\n"
         "  per unit on standard output; the bays' logs on standard error. Enter starts every\n"
         "  waiting bay, a bay's number and Enter that bay; c and Enter cancels every bay's\n"
         "  unit, c, a bay's number and Enter that bay's; q and Enter ends the run once the\n"
         "  units in hand are done; Ctrl+C cancels every unit and ends it.\n"
         "  --units N        until N units passed\n"
         "  --auto           a bay starts when it finds a new light bar (a signature read once a\n"
         "                   second, the chip held in reset only for it)\n"
         "  --json           each unit as a JSON object: bay, port, serialNumber, unit, result,\n"
         "                   message, seconds, firmwareSha256, backups\n"
         "  --simulate=DIR   every bay a virtual light bar kept in DIR (an ftdi: bay behind an\n"
         "                   emulated adapter), replaced by a new one after each unit; the\n"
         "                   ledger is kept in DIR too",
     .example = "tessel station run line3.station --auto --units 100 --json"},
    {.name = "station report", .options = {Simulate, Csv, Since, Out}, .minArgs = 1,
     .maxArgs = 1, .run = stationReport,
     .synopsis = "station report PROFILE [--csv] [--since DATE] [--out FILE]",
     .description =
         "Reports from the station's ledger: units, passed, failed, reworked, yield, the mean\n"
         "  time per unit and per bay, and the serial numbers left.\n"
         "  --csv         one row per unit (time, serial number, unit, bay, port, outcome,\n"
         "                result, message, seconds)\n"
         "  --since DATE  only the units from DATE (YYYY-MM-DD, or YYYY-MM-DDThh:mm) on\n"
         "  --simulate=DIR  the ledger of the runs simulated in DIR",
     .example = "tessel station report line3.station --since 2026-12-01 --csv --out line3.csv"},
    {.name = "station worker", .options = {Simulate, Ini, FastLink, Auto}, .minArgs = 2,
     .maxArgs = 2, .run = stationWorker, .check = bayNumber, .hidden = true,
     .synopsis = "station worker PROFILE BAY",
     .description = "One bay of a station run, started by station run and the station window.",
     .example = "tessel station worker line3.station 1"},
}};
// clang-format on

} // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(std::string_view name) {
    for (const auto& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

} // namespace tessel
