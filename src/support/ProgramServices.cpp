#include "support/ProgramServices.h"

#include "support/Utf8File.h"

#include <cassert>

namespace tessel {

ProgramServices::ProgramServices() : ProgramServices(Options{}) {}

ProgramServices::ProgramServices(Options options) : options_(std::move(options)) {}

ProgramServices::~ProgramServices() = default;

IniStore& ProgramServices::ini() {
    assert(ini_ && "the INI store exists once the services have started");
    return *ini_;
}

std::string ProgramServices::startLine() const {
    return version_.productName() + "   Version: " + version_.fileVersion();
}

void ProgramServices::start(std::string_view executablePath, std::string_view iniOverride) {
    files_ = CompanionFiles::forProgram(executablePath, iniOverride);
    files_.prepareUserFolder();
    version_.read(options_.version);
    ini_ = std::make_unique<IniStore>(files_.iniPath, options_.iniWriter);
    loadSettings();
    settingsAtStart_ = settings_;
    unitsAtStart_ = units_;
    if (settings_.logMessages) openLogFile();
    log(startLine());
}

void ProgramServices::terminate() {
    log("Program Terminate");
    logFile_.reset();
    saveSettings();
}

void ProgramServices::openLogFile() {
    logFile_.reset();
    // A log that cannot be opened is silently done without.
    logFile_.reset(openUtf8File(files_.logPath, settings_.appendLog ? "ab" : "wb"));
}

void ProgramServices::log(std::string_view message) {
    std::string line(message);
    if (settings_.timeStampMessages) line = formatLogTimeStamp(options_.localTime()) + " | " + line;
    if (logFile_) {
        // Flushed line by line: no line is lost when the program ends without terminating.
        std::fwrite(line.data(), 1, line.size(), logFile_.get());
        std::fputc('\n', logFile_.get());
        std::fflush(logFile_.get());
    }
}

void ProgramServices::loadSettings() {
    if (!ini_) return; // nothing to read before start
    auto& store = *ini_;
    const ServiceSettings defaults;
    settings_.logMessages = store.readBoolean(kSection, "LogMessages", defaults.logMessages);
    settings_.appendLog = store.readBoolean(kSection, "AppendLog", defaults.appendLog);
    settings_.timeStampMessages =
        store.readBoolean(kSection, "TimeStampMessages", defaults.timeStampMessages);
    settings_.debug = store.readBoolean(kSection, "Debug", defaults.debug);
    settings_.reportErrorLevel =
        store.readInteger(kSection, "ReportErrorLevel", defaults.reportErrorLevel);
    units_.load(store);
}

void ProgramServices::saveSettings() {
    if (!ini_) return; // nothing was read, so nothing is written back
    auto& store = *ini_;
    const auto& was = settingsAtStart_;
    auto needed = [&](const char* key, bool changed) {
        return changed || !store.hasKey(kSection, key);
    };
    if (needed("LogMessages", was.logMessages != settings_.logMessages))
        store.writeBoolean(kSection, "LogMessages", settings_.logMessages);
    if (needed("AppendLog", was.appendLog != settings_.appendLog))
        store.writeBoolean(kSection, "AppendLog", settings_.appendLog);
    if (needed("TimeStampMessages", was.timeStampMessages != settings_.timeStampMessages))
        store.writeBoolean(kSection, "TimeStampMessages", settings_.timeStampMessages);
    if (needed("Debug", was.debug != settings_.debug))
        store.writeBoolean(kSection, "Debug", settings_.debug);
    if (needed("ReportErrorLevel", was.reportErrorLevel != settings_.reportErrorLevel))
        store.writeInteger(kSection, "ReportErrorLevel", settings_.reportErrorLevel);
    units_.save(store, &unitsAtStart_);
}

} // namespace tessel
