// Commands that run a job on a light bar: a real port through the POSIX lines, or the virtual
// light bar with --simulate. Each runs in an application session, which starts and ends the
// program as the main window does; here are only the arguments and the output.
#include "app/AppSession.h"
#include "app/BackupFiles.h"
#include "block/BlockText.h"
#include "block/RecordRules.h"
#include "cli/CliCommands.h"
#include "cli/CommandTable.h"
#include "cli/ConsoleJobWindow.h"
#include "cli/RecordJson.h"
#include "cli/StopSignals.h"
#include "link/Atmega128.h"
#include "support/ComPorts.h"
#include "support/ResultCode.h"

#include <cstdio>
#include <memory>
#include <ostream>

namespace tessel {

namespace {

// What a command hands to its job, prepared before the light bar is touched, so a bad input
// file never opens the port.
struct JobInput {
    BlockArea record{};             // verify-vcb / program-vcb: the source as a record
    std::unique_ptr<FirmwareImage> image;
    std::string hexPath;
    std::string hexSha256;          // the HEX file's digest, for the job history
    BlockArea backup{};             // restore: the saved block area
    std::optional<BlockBackup::Eeprom> eeprom; // and the saved data memory, when given
};

ConfigBlock sourceRecord(const CommandLineRequest& req, CliEnvironment& env,
                         std::int32_t serialDefault) {
    if (req.jsonInput) return loadRecordFile(env, *req.jsonInput, serialDefault);
    ConfigBlock record;
    parseBlock(loadBlockFile(env, req.args[0]), record, serialDefault);
    return record;
}

// The block a verify-vcb or program-vcb renders from its source: the record brought under the
// rules the window's collection applies, so it renders as the window would render it.
void prepareRecord(const CommandLineRequest& req, CliEnvironment& env, RecordHost& host,
                   JobInput& input) {
    ConfigBlock record = sourceRecord(req, env, host.serialNumberDefault());
    // The window offers no block commands for a record of no known format.
    if (record.format != 1 && record.format != 2)
        failWith(env, result::BadInput,
                 "a record of format " + std::to_string(record.format) +
                     " holds no block to program or verify: give format 1 or 2");
    if (const RecordOutcome outcome = normalizeRecord(record); !outcome.ok())
        failWith(env, result::BadInput, outcome.message());
    host.record() = record;
    if (!host.renderBlock(input.record))
        failWith(env, result::BadInput, "the block text would not fit its area");
}

void prepareFirmware(const CommandLineRequest& req, CliEnvironment& env, JobInput& input) {
    input.hexPath = req.args[0];
    FirmwareFile file = loadHexFile(env, input.hexPath, FirmwareUse::Job);
    input.hexSha256 = file.sha256;
    if (!file.ok()) failWith(env, file.code(), hexProblem(file));
    input.image = std::move(file.image);
}

// restore: the saved block area (any block file) and the data memory's 4096 bytes.
void prepareBackup(const CommandLineRequest& req, CliEnvironment& env, JobInput& input) {
    input.backup = loadBlockFile(env, req.args[0]);
    if (req.args.size() < 2) return;
    if (const Outcome read = readEepromBackup(req.args[1], input.eeprom.emplace()); !read.ok())
        failWith(env, read.code, read.message);
}

// A light bar command's session: headless, it is in advanced mode only when asked.
AppSession::Options commandSession(const CommandLineRequest& req, const CliEnvironment& env) {
    AppSession::Options options = sessionOptions(req, env);
    options.advancedMode = req.advanced;
    return options;
}

std::string hexDump(const std::uint8_t* bytes, std::size_t count) {
    std::string out;
    char buf[24];
    for (std::size_t row = 0; row < count; row += 16) {
        std::snprintf(buf, sizeof buf, "%04zx:", row);
        out += buf;
        std::string ascii;
        for (std::size_t i = row; i < row + 16 && i < count; ++i) {
            std::snprintf(buf, sizeof buf, " %02x", bytes[i]);
            out += buf;
            ascii += (bytes[i] >= 0x20 && bytes[i] < 0x7F) ? static_cast<char>(bytes[i]) : '.';
        }
        out.append(3 * (16 - ascii.size()), ' ');
        out += "  |" + ascii + "|\n";
    }
    return out;
}

// Runs the job the command's table entry names; a command that reads gives its data after a
// good job.
ResultCode runJob(const CommandLineRequest& req, CliEnvironment& env, ChipProgrammer& engine,
                  RecordHost& host, JobInput& input, std::optional<std::string>& data) {
    switch (req.info->job) {
    case LightBarJob::ReadVcb: {
        BlockArea area;
        area.fill(0xFF);
        const ResultCode r = engine.readBlock(area);
        if (r != result::Ok) return r;
        if (req.json) {
            host.parseBlock(area);
            data = writeJson(recordToJson(host.record())) + "\n";
        } else {
            data = blockData(req, area);
        }
        return r;
    }
    case LightBarJob::VerifyVcb: return engine.verifyBlock(input.record);
    case LightBarJob::ProgramVcb: return engine.programBlock(input.record);
    case LightBarJob::ConvertVcb: return engine.convertBlock(*req.toFormat);
    case LightBarJob::InitVcb: return engine.initDefaultBlock();
    case LightBarJob::ProgramCode: return engine.programFirmware(*input.image, &input.hexPath);
    case LightBarJob::VerifyCode: return engine.verifyFirmware(*input.image, &input.hexPath);
    case LightBarJob::AcquireTilt: return runAcquireTilt(req, env, engine, data);
    case LightBarJob::Restore:
        return engine.restore({&input.backup, input.eeprom ? &*input.eeprom : nullptr, &req.args[0],
                               req.force ? SerialChange::Accept : SerialChange::Refuse});
    case LightBarJob::ReadEeprom: {
        std::array<std::uint8_t, atmega128::kEepromBytes> buffer{};
        const auto count = static_cast<std::uint16_t>(req.count.value_or(static_cast<int>(buffer.size())));
        const ResultCode r = engine.readDataMemory(buffer.data(), count);
        if (r == result::Ok)
            data = req.raw ? std::string(reinterpret_cast<const char*>(buffer.data()), count)
                           : hexDump(buffer.data(), count);
        return r;
    }
    case LightBarJob::None: break;
    }
    return result::Error; // a command without a job never gets here
}

// The command that does what a final report's box asks for in the window, after the program's
// name.
const char* commandForReport(ResultCode code) {
    switch (code) {
    case result::NoValidVcb:
    case result::InvalidExtantVcb: return "init-vcb";
    case result::IncorrectVcbFormatNumber: return "convert-vcb 1 (or 2)";
    case result::VcbFormat1Required: return "convert-vcb 1";
    case result::VcbFormat2Required: return "convert-vcb 2";
    default: return nullptr;
    }
}

// After the job's log: what the answers left undone, what the light bar's firmware needs, the
// command for a hint, a stop from outside.
void reportAfterJob(const CommandLineRequest& req, CliEnvironment& env,
                    const ConsoleJobWindow::Answers& answers, const LightBarState& lightBar,
                    ResultCode exitCode) {
    if (answers.erasesRefused > 0)
        env.err << "tessel: nothing was erased"
                << (req.keepFirmware ? " (--keep-firmware)" : "") << '\n';
    if (answers.noAnswers > 0) env.err << "tessel: the serial number was not changed\n";
    if (req.info->job == LightBarJob::Restore && exitCode == result::SerialNumberChangeCancelled)
        env.err << "tessel: the backup is of another serial number: give --force to restore it\n";
    if (const auto advice = firmwareAdvice(lightBar, env.programName))
        env.err << "tessel: " << *advice << '\n';
    if (const char* command = commandForReport(exitCode))
        env.err << "tessel: on the command line: " << env.programName << ' ' << command << '\n';
    if (const int signal = stopsignals::stopSignal(); signal != 0)
        env.err << "tessel: stopped by signal " << signal << ": exit code " << stoppedBy(signal)
                << '\n';
    env.err.flush();
}

ConsoleJobWindow consoleWindow(const CommandLineRequest& req, CliEnvironment& env) {
    return ConsoleJobWindow(env,
                            req.yes  ? AnswerPolicy::Yes
                            : req.no ? AnswerPolicy::No
                                     : AnswerPolicy::Ask,
                            req.advanced, req.quiet);
}

} // namespace

ResultCode runLightBarCommand(const CommandLineRequest& req, CliEnvironment& env) {
    JobInput input;
    if (req.info->source == JobSource::Firmware) prepareFirmware(req, env, input);
    if (req.info->source == JobSource::Backup) prepareBackup(req, env, input);

    ConsoleJobWindow window = consoleWindow(req, env);
    if (req.keepFirmware) window.refuseErases();
    AppSession session(commandSession(req, env), window);
    RecordHost& host = session.host();
    ChipProgrammer& engine = session.engine();
    if (!input.hexPath.empty()) session.noteFirmwareFile(input.hexPath, input.hexSha256);

    ResultCode exitCode = result::Ok;
    try {
        if (const Outcome started = session.startOutcome(); !started.ok())
            failWith(env, started.code, started.message);
        if (req.info->source == JobSource::Block) prepareRecord(req, env, host, input);

        if (session.comPort() == 0)
            failWith(env, result::Error,
                     "no COM port selected: give --port N, or set \"COM Port\" in the "
                     "[Configuration] section of " + session.services().files().iniPath);

        std::optional<std::string> data;
        exitCode = runJob(req, env, engine, host, input, data);
        reportAfterJob(req, env, window.answers(), engine.lightBarState(), exitCode);
        // Why the port or the adapter could not be used, once more after the report.
        if (const LinkError& link = engine.linkFailure();
            link.kind == LinkError::Kind::Unavailable || link.kind == LinkError::Kind::Refused)
            env.err << "tessel: " << link.reason << '\n';
        if (!session.saveSimulatedState())
            failWith(env, result::CannotWrite, "cannot write " + req.simulateFile);
        // Last, so an output that cannot be written loses nothing of the job; a program told to
        // stop writes none.
        if (data && stopsignals::stopSignal() == 0) writeOutput(env, req.out, *data);
    } catch (const CommandFailure& failure) {
        exitCode = failure.exitCode;
    }
    session.terminate();
    return exitCode;
}

ResultCode runPortsCommand(const CommandLineRequest& req, CliEnvironment& env) {
    ConsoleJobWindow window = consoleWindow(req, env);
    AppSession session(commandSession(req, env), window);
    if (const Outcome started = session.startOutcome(); !started.ok())
        failWith(env, started.code, started.message);
    std::string text;
    for (int n = 1; n <= 4; ++n) {
        // As the COM Port menu probes: a skipped port is never opened.
        const bool skipped = session.settings().skipComPort(n);
        const std::string named =
            req.device && n == session.comPort() ? *req.device : session.settings().portDevice(n);
        // Simulated, a serial device is the virtual light bar; an adapter is the emulated one.
        const std::string device =
            req.simulate && !isUsbAdapterDevice(named) ? "(virtual light bar)" : named;
        const char* state = skipped                           ? "skipped"
                            : session.engine().portPresent(n) ? "free"
                                                              : "unavailable";
        text += comPortName(n) + "\t" + device + "\t" + state +
                (n == session.comPort() ? "\tselected\n" : "\n");
    }
    // The FT232R adapters plugged in, each by the device name that picks it; none is opened.
    if (UsbAdapters* adapters = session.usbAdapters()) {
        const auto listed = adapters->list();
        for (std::size_t i = 0; i < listed.size(); ++i)
            text += "FTDI\t" + listed[i].deviceName(static_cast<unsigned>(i)) + "\t" +
                    listed[i].description + "\n";
        if (listed.empty() && !adapters->unavailableReason().empty())
            env.err << "tessel: no FTDI adapters listed: " << adapters->unavailableReason() << '\n';
    }
    session.terminate();
    writeOutput(env, req.out, text);
    return result::Ok;
}

} // namespace tessel
