// Commands that run a job on a light bar: a real port through the POSIX lines, or the virtual
// light bar with --simulate. Each runs in an application session, which starts and ends the
// program as the main window does; here are only the arguments and the output.
#include "app/AppSession.h"
#include "block/BlockText.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleJobWindow.h"
#include "cli/RecordJson.h"
#include "jobs/ResultCode.h"

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
};

ConfigBlock sourceRecord(const CommandLineRequest& req, CliEnvironment& env,
                         std::int32_t serialDefault) {
    if (req.jsonInput) return loadRecordFile(env, *req.jsonInput, serialDefault);
    ConfigBlock record;
    parseBlock(loadBlockFile(env, req.args[0]), record, serialDefault);
    return record;
}

void prepareFirmware(const CommandLineRequest& req, CliEnvironment& env, JobInput& input) {
    input.hexPath = req.args[0];
    input.image = std::make_unique<FirmwareImage>();
    const int r = loadHexFile(env, input.hexPath, *input.image);
    if (r != 0) failWith(env, r, input.hexPath + ": " + resultMessage(r));
    if (!input.image->holdsCode())
        failWith(env, result::HexFileFormatError,
                 input.hexPath + " holds no firmware byte: " + resultMessage(3));
}

AppSession::Options sessionOptions(const CommandLineRequest& req, const CliEnvironment& env) {
    AppSession::Options options;
    options.executablePath = env.executablePath;
    options.iniPath = req.iniPath.value_or("");
    options.advancedMode = req.advanced; // the command line is in advanced mode only when asked
    options.comPort = req.port;
    if (req.fastLink) options.fastLink = true; // otherwise the INI's "FastLink" decides
    options.device = req.device;
    options.simulate = req.simulate;
    options.simulateFile = req.simulateFile;
    options.portClock = env.portClock;
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

int runJob(const CommandLineRequest& req, CliEnvironment& env, ChipProgrammer& engine,
           RecordHost& host, JobInput& input) {
    const std::string& c = req.command;
    if (c == "read-vcb") {
        BlockArea area;
        area.fill(0xFF);
        const int r = engine.readBlock(area);
        if (r != 0) return r;
        if (req.out) writeOutput(env, req.out, areaBytes(area));
        if (req.json) {
            host.parseBlock(area);
            env.out << recordToJson(host.record()).dump() << '\n';
        } else {
            BlockArea compacted = area;
            if (const auto location = compactBlock(compacted))
                env.out << std::string_view(reinterpret_cast<const char*>(compacted.data()),
                                            location->length);
        }
        return r;
    }
    if (c == "verify-vcb") return engine.verifyBlock(input.record);
    if (c == "program-vcb") return engine.programBlock(input.record);
    if (c == "convert-vcb") return engine.convertBlock(*req.toFormat);
    if (c == "init-vcb") return engine.initDefaultBlock();
    if (c == "program-code") return engine.programFirmware(*input.image, &input.hexPath);
    if (c == "verify-code") return engine.verifyFirmware(*input.image, &input.hexPath);
    // read-eeprom
    std::array<std::uint8_t, 4096> buffer{};
    const auto count = static_cast<std::uint16_t>(req.count.value_or(4096));
    const int r = engine.readDataMemory(buffer.data(), count);
    if (r == 0) {
        const std::size_t n = std::min<std::size_t>(count, buffer.size());
        if (req.out)
            writeOutput(env, req.out,
                        std::string_view(reinterpret_cast<const char*>(buffer.data()), n));
        else
            env.out << hexDump(buffer.data(), n);
    }
    return r;
}

} // namespace

int runLightBarCommand(const CommandLineRequest& req, CliEnvironment& env) {
    JobInput input;
    if (req.command == "program-code" || req.command == "verify-code")
        prepareFirmware(req, env, input);

    ConsoleJobWindow window({env.out, env.err, env.in, env.outIsTerminal, env.errIsTerminal,
                             env.inIsTerminal},
                            req.yes ? AnswerPolicy::Yes
                                    : req.no ? AnswerPolicy::No : AnswerPolicy::Ask,
                            req.advanced, req.quiet);
    AppSession session(sessionOptions(req, env), window);
    RecordHost& host = session.host();
    ChipProgrammer& engine = session.engine();

    int exitCode = 0;
    try {
        if (req.command == "verify-vcb" || req.command == "program-vcb") {
            // The record goes through the windows' controls, so the block is rendered exactly
            // as the window would render it.
            host.record() = sourceRecord(req, env, host.serialNumberDefault());
            host.loadIntoWindows();
            try {
                host.collectFromWindows();
            } catch (const std::runtime_error& e) {
                failWith(env, exitcode::BadInput, e.what());
            }
            if (!host.renderBlock(input.record))
                failWith(env, exitcode::BadInput, "the block text would not fit its area");
        }

        if (session.comPort() == 0)
            failWith(env, result::Error,
                     "no COM port selected: give --port N or set \"COM Port\" in the INI file");
        if (!session.simulatedStateReadable())
            failWith(env, exitcode::BadInput,
                     req.simulateFile + " is not a saved virtual light bar");

        exitCode = runJob(req, env, engine, host, input);
        if (engine.result() == result::ChipNotResponding && !engine.lastErrorText().empty()) {
            std::string reason = engine.lastErrorText();
            while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
                reason.pop_back();
            env.err << "tessel: " << reason << '\n';
        }
        if (!session.saveSimulatedState())
            failWith(env, exitcode::CannotWrite, "cannot write " + req.simulateFile);
    } catch (const CommandFailure& failure) {
        exitCode = failure.exitCode;
    }
    session.terminate();
    return exitCode;
}

} // namespace tessel
