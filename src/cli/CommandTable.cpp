// The commands of the command line: what each takes, what runs it, and its help.
#include "cli/CommandTable.h"

#include "cli/CliCommands.h"

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

// Block data is the compacted block text unless --raw asks for the 4096-byte area; --json gives
// the record instead. The same rule holds for every command that has block data.
// clang-format off
constexpr std::array<CommandInfo, 17> kCommands = {{
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
