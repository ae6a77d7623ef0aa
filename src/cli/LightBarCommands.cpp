// Commands that run a job on a light bar: a real port through the POSIX lines, or the virtual
// light bar with --simulate. They start the program services before the job and terminate them
// after it (unless the INI file says "IniFileIsReadOnly"), as closing the window does.
#include "app/IniPortSettings.h"
#include "app/RecordHost.h"
#include "block/BlockText.h"
#include "cli/BlockFile.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleJobWindow.h"
#include "cli/RecordJson.h"
#include "firmware/HexReader.h"
#include "jobs/ChipProgrammer.h"
#include "jobs/ResultCode.h"
#include "link/SystemSerial.h"
#include "sim/VirtualLightBar.h"
#include "support/AppSettings.h"
#include "support/ProgramServices.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <sys/stat.h>

namespace tessel {

namespace {

// What a command hands to its job, prepared before the light bar is touched, so a bad input
// file never opens the port.
struct JobInput {
    BlockArea record{};             // verify-vcb / program-vcb: the source as a record
    bool haveRecord = false;
    ConfigBlock sourceRecord;
    std::unique_ptr<FirmwareImage> image;
    std::string hexPath;
};

ConfigBlock sourceRecord(const CommandLineRequest& req, CliEnvironment& env,
                         std::int32_t serialDefault) {
    if (req.jsonInput) {
        const std::string text = readInputFile(env, *req.jsonInput);
        try {
            return recordFromJson(Json::parse(text), serialDefault);
        } catch (const std::runtime_error& e) {
            failWith(env, exitcode::BadInput, *req.jsonInput + ": " + e.what());
        }
    }
    const std::string& path = req.args[0];
    std::string error;
    auto area = blockAreaFromFile(readInputFile(env, path), error);
    if (!area) failWith(env, exitcode::BadInput, path + ": " + error);
    if (!locateBlock(*area).present)
        failWith(env, exitcode::BadInput, path + " holds no valid configuration block");
    ConfigBlock record;
    parseBlock(*area, record, serialDefault);
    return record;
}

void prepareFirmware(const CommandLineRequest& req, CliEnvironment& env, JobInput& input) {
    input.hexPath = req.args[0];
    const std::string text = readInputFile(env, input.hexPath, result::InputFileOpenError);
    input.image = std::make_unique<FirmwareImage>();
    std::istringstream in(text);
    const int r = readHex(in, *input.image);
    if (r != 0) failWith(env, r, input.hexPath + ": " + resultMessage(r));
    if (!input.image->holdsCode())
        failWith(env, result::HexFileFormatError,
                 input.hexPath + " holds no firmware byte: " + resultMessage(3));
}

int selectedPort(const CommandLineRequest& req, AppSettings& settings) {
    if (req.port) return *req.port;
    const int fromIni = settings.comPort();
    if (fromIni >= 1 && fromIni <= 4) return fromIni;
    return req.simulate ? 1 : 0; // the virtual light bar stands behind every COM port
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

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The light bar's state file is replaced whole, so an interrupted run never leaves half of one.
bool saveVirtualLightBar(const VirtualLightBar& bar, const std::string& path) {
    const std::string temp = path + ".new";
    if (!bar.save(temp)) {
        std::remove(temp.c_str());
        return false;
    }
    // Over an existing file too, also on Windows (where std::rename refuses to).
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
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

    ProgramServices services;
    services.start(env.executablePath, req.iniPath.value_or(""));
    AppSettings settings(services.ini());
    const bool iniReadOnly = settings.iniFileIsReadOnly();
    RecordHost host(req.advanced, settings.serialNumber());

    int exitCode = 0;
    try {
        if (req.command == "verify-vcb" || req.command == "program-vcb") {
            // The record goes through the windows' controls, so the block is rendered exactly
            // as the window would render it.
            host.record() = sourceRecord(req, env, settings.serialNumber());
            host.loadIntoWindows();
            try {
                host.collectFromWindows();
            } catch (const std::runtime_error& e) {
                failWith(env, exitcode::BadInput, e.what());
            }
            if (!host.renderBlock(input.record))
                failWith(env, exitcode::BadInput, "the block text would not fit its area");
        }

        const int port = selectedPort(req, settings);
        if (port == 0)
            failWith(env, result::Error,
                     "no COM port selected: give --port N or set \"COM Port\" in the INI file");

        IniPortSettings portSettings(settings);
        if (req.device) portSettings.overrideDevice(port, *req.device);

        VirtualClock virtualClock;
        VirtualLightBar virtualBar(virtualClock);
        const auto systemSerial = makeSystemSerial();
        SteadyClock steady;
        SerialLines* lines = systemSerial.get();
        Clock* clock = env.portClock ? env.portClock : &steady;
        if (req.simulate) {
            lines = &virtualBar;
            clock = &virtualClock;
            if (!req.simulateFile.empty() && fileExists(req.simulateFile) &&
                !virtualBar.load(req.simulateFile))
                failWith(env, exitcode::BadInput,
                         req.simulateFile + " is not a saved virtual light bar");
        }

        ConsoleJobWindow window({env.out, env.err, env.in, env.outIsTerminal, env.errIsTerminal,
                                 env.inIsTerminal},
                                req.yes ? AnswerPolicy::Yes
                                        : req.no ? AnswerPolicy::No : AnswerPolicy::Ask,
                                req.advanced, req.quiet);
        ChipProgrammer engine(*lines, *clock, portSettings, window, host);
        engine.selectPort(port);
        exitCode = runJob(req, env, engine, host, input);
        if (engine.result() == result::ChipNotResponding && !engine.lastErrorText().empty()) {
            std::string reason = engine.lastErrorText();
            while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
                reason.pop_back();
            env.err << "tessel: " << reason << '\n';
        }
        if (req.simulate && !req.simulateFile.empty() &&
            !saveVirtualLightBar(virtualBar, req.simulateFile))
            failWith(env, exitcode::CannotWrite, "cannot write " + req.simulateFile);
    } catch (const CommandFailure& failure) {
        exitCode = failure.exitCode;
    }
    if (!iniReadOnly) services.terminate();
    return exitCode;
}

} // namespace tessel
