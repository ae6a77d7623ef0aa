// What a station's profile names, loaded and checked the same way by every station command.
#include "app/InputFile.h"
#include "block/BlockText.h"
#include "block/RecordRules.h"
#include "cli/BlockFile.h"
#include "cli/CliCommands.h"
#include "cli/RecordJson.h"
#include "cli/StationCommands.h"
#include "firmware/FirmwareId.h"
#include "station/SerialLedger.h"

namespace tessel {

std::optional<ConfigBlock> loadTemplate(const std::string& path, Outcome& problem) {
    const InputFile file = readInputFile(path);
    if (!file.read) {
        problem = {result::InputFileOpenError, cannotReadMessage(path, file.reason)};
        return std::nullopt;
    }
    ConfigBlock record;
    const auto first = file.bytes.find_first_not_of(" \t\r\n");
    try {
        if (first != std::string::npos && file.bytes[first] == '{') {
            record = recordFromJson(parseJson(file.bytes));
        } else {
            const BlockFileArea area = blockAreaFromFile(file.bytes);
            if (!area.ok() || !locateBlock(area.area).present) {
                problem = {result::BadInput,
                           path + (area.ok() ? " holds no valid configuration block"
                                             : ": " + *area.problem)};
                return std::nullopt;
            }
            parseBlock(area.area, record);
        }
    } catch (const std::runtime_error& e) { // JsonError, RecordJsonError
        problem = {result::BadInput, path + ": " + e.what()};
        return std::nullopt;
    }
    if (record.format != 1 && record.format != 2) {
        problem = {result::BadInput, path + ": a record of format " +
                                         std::to_string(record.format) +
                                         " makes no block: give format 1 or 2"};
        return std::nullopt;
    }
    if (const RecordOutcome outcome = normalizeRecord(record); !outcome.ok()) {
        problem = {result::BadInput, path + ": " + outcome.message()};
        return std::nullopt;
    }
    return record;
}

namespace {

void checkFirmware(StationInputs& in) {
    in.firmwarePath = profileRelative(in.profilePath, in.profile.firmwareFile);
    in.firmware = loadFirmwareFile(in.firmwarePath, FirmwareUse::Job);
    if (in.firmware.problem == FirmwareFile::Problem::CannotRead) {
        in.refuse(result::InputFileOpenError,
                  cannotReadMessage(in.firmwarePath, in.firmware.reason));
    } else if (!in.firmware.ok()) {
        in.refuse(result::BadInput, hexProblem(in.firmware));
    } else if (in.firmware.sha256 != in.profile.firmwareSha256) {
        in.refuse(result::BadInput, in.firmwarePath +
                                        " has changed since the profile was written: its "
                                        "SHA-256 is " +
                                        in.firmware.sha256 + ", the profile's " +
                                        in.profile.firmwareSha256);
    }
}

void checkTemplate(StationInputs& in) {
    const std::string path = profileRelative(in.profilePath, in.profile.templateFile);
    Outcome problem;
    const auto record = loadTemplate(path, problem);
    if (!record) {
        in.refuse(problem.code, problem.message);
        return;
    }
    in.blockTemplate = *record;
    if (in.firmware.ok()) {
        const int needed = identify(*in.firmware.image).requiredFormat;
        if (needed != record->format)
            in.refuse(result::BadInput, "the firmware needs block format " +
                                            std::to_string(needed) + ", the template " + path +
                                            " is format " + std::to_string(record->format));
    }
    if (in.profile.acquireTilt && record->option(SwitchOption::Tilt) != OptionState::Yes)
        in.refuse(result::BadInput, "the units' tilt values are acquired, but the template's Tilt "
                                    "option is not Yes: they would not be written into the block");
    ConfigBlock longest = *record;
    longest.serialNumber = in.profile.last;
    BlockArea area{};
    if (!renderBlock(longest, area))
        in.refuse(result::BadInput, "the template's block with serial number " +
                                        std::to_string(in.profile.last) + " does not fit its area");
}

} // namespace

void checkStation(StationInputs& in, const std::string& simulationFolder) {
    checkFirmware(in);
    checkTemplate(in);
    in.ledgerPath = ledgerPath(in.profilePath, simulationFolder);
    const LedgerContents ledger = readLedger(in.ledgerPath);
    if (!ledger.readable) {
        in.refuse(result::InputFileOpenError,
                  "cannot read the serial-number ledger " + in.ledgerPath);
        return;
    }
    in.numbersLeft = numbersLeft(ledger, in.profile.first, in.profile.last);
    if (in.numbersLeft <= 0)
        in.refuse(result::Error, "No serial number is left in " + std::to_string(in.profile.first) +
                                     "-" + std::to_string(in.profile.last) + " (see " +
                                     in.ledgerPath + "): give the station a new range");
}

StationInputs loadStation(const std::string& profilePath, const std::string& simulationFolder) {
    StationInputs in;
    in.profilePath = profilePath;
    ProfileRead read = readProfile(profilePath);
    if (!read.ok()) {
        in.refuse(read.code(), *read.problem);
        return in;
    }
    in.profile = std::move(read.profile);
    checkStation(in, simulationFolder);
    return in;
}

} // namespace tessel
