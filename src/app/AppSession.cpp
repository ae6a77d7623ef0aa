#include "app/AppSession.h"

#include "app/InputFile.h"
#include "app/Instructions.h"
#include "support/CompanionFiles.h"
#include "support/ResultCode.h"
#include "support/Utf8File.h"

#include <ctime>
#include <filesystem>
#include <random>

namespace tessel {

namespace {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(utf8Path(path), ec);
}

// A fresh folder of this process under the system's temporary folder; empty when none can be made.
std::string makeTemporaryFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = base / ("tessel-virtual-" + std::to_string(seed()));
        if (fs::create_directory(folder, ec)) return utf8Text(folder);
    }
    return {};
}

// "--- Read Light Bar VCB ---" as "Read Light Bar VCB".
std::string commandOf(const std::string& title) {
    const auto first = title.find_first_not_of("- ");
    if (first == std::string::npos) return title;
    return title.substr(first, title.find_last_not_of("- ") - first + 1);
}

std::string cannotReadSettings(const std::string& path, const std::string& reason) {
    return "cannot read the settings file " + path + (reason.empty() ? "" : ": " + reason) +
           " (give a readable file with --ini, or none to start from the defaults)";
}

} // namespace

IniStore& AppSession::startedIni(ProgramServices& services, const Options& options) {
    services.start(options.executablePath, options.iniPath);
    return services.ini();
}

// The settings are read in the order the main window's creation reads them: "IniFileIsReadOnly",
// then (advanced mode) "Type Control" and "Advanced Options", "Serial Number" for the reset
// record, "COM Port". The engine only keeps references when it is made, so it follows the record
// host it reports into.
AppSession::AppSession(Options options, JobWindow& window)
    : options_(std::move(options)),
      settings_(startedIni(services_, options_)),
      iniReadOnly_(settings_.iniFileIsReadOnly()),
      virtualBar_(virtualClock_),
      portSettings_(settings_),
      advancedMode_(decideAdvancedMode()),
      host_(advancedMode_, settings_.serialNumber()),
      engine_(options_.simulate ? static_cast<SerialLines&>(virtualBar_) : *systemSerial_,
              options_.simulate ? static_cast<Clock&>(virtualClock_)
              : options_.portClock ? *options_.portClock
                                   : steadyClock_,
              portSettings_, window, host_, usbAdapters()) {
    const int fromIni = settings_.comPort();
    if (options_.comPort) comPort_ = *options_.comPort;
    else if (fromIni >= 1 && fromIni <= 4) comPort_ = fromIni;
    else if (options_.simulate) comPort_ = 1; // the virtual light bar stands behind every port
    if (comPort_ != 0) engine_.selectPort(comPort_);
    const bool fast = options_.fastLink ? *options_.fastLink : settings_.fastLink();
    engine_.setLinkMode(fast ? LinkMode::Fast : LinkMode::Specified);
    if (options_.device && comPort_ != 0) portSettings_.overrideDevice(comPort_, *options_.device);

    started_ = checkStart();

    placeDataFiles();
    engine_.setJobEndListener([this](const JobSummary& summary) { return recordJob(summary); });
}

AppSession::~AppSession() {
    engine_.setJobEndListener({});
    terminate();
    if (!temporaryFolder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(utf8Path(temporaryFolder_), ec);
    }
}

void AppSession::placeDataFiles() {
    if (!options_.simulate) {
        historyPath_ = userHistoryFile();
        backupFolder_ = settings_.backupFolder();
    } else if (!options_.simulateFile.empty()) {
        const DataPlaces places = besideStateFile(options_.simulateFile);
        backupFolder_ = places.backupFolder;
        historyPath_ = places.historyFile;
    } else {
        temporaryFolder_ = makeTemporaryFolder();
        if (!temporaryFolder_.empty()) {
            backupFolder_ = temporaryFolder_ + "/backups";
            historyPath_ = temporaryFolder_ + "/history.jsonl";
        }
    }
    engine_.setBackupFolder(backupFolder_);
}

std::string AppSession::executablePath() const {
    return options_.executablePath.empty() ? currentExecutablePath() : options_.executablePath;
}

std::string AppSession::programName() const {
    if (!options_.programName.empty()) return options_.programName;
    return programNameOf(executablePath());
}

bool AppSession::installedCopy() const {
    return CompanionFiles::forProgram(executablePath(), "").inUserFolder;
}

std::string AppSession::webSiteAddress() {
    if (std::string site = settings_.webSite(); !site.empty()) return site;
    const std::string readme = utf8Text(utf8Path(executablePath()).replace_filename("README.txt"));
    return fileExists(readme) ? readme : std::string();
}

std::string AppSession::portName(int port) {
    if (options_.simulate) return "virtual";
    if (port < 1 || port > 4) return "none";
    return "COM" + std::to_string(port) + " (" + portSettings_.devicePath(port) + ")";
}

void AppSession::noteFirmwareFile(const std::string& path, const std::string& sha256) {
    firmwarePath_ = path;
    firmwareSha256_ = sha256;
}

std::optional<std::string> AppSession::recordJob(const JobSummary& summary) {
    HistoryRecord r{.time = historyTime(std::time(nullptr)),
                    .version = services_.versionInfo().fileVersion(),
                    .port = portName(summary.port),
                    .command = commandOf(summary.title),
                    .serialBefore = summary.serialBefore,
                    .serialAfter = summary.serialAfter,
                    .firmwareFile = summary.firmwareFile,
                    .firmwareProduct = summary.firmwareProduct,
                    .firmwareVersion = summary.firmwareVersion,
                    .firmwareSha256 = {},
                    .result = summary.result,
                    .message = resultMessage(summary.result),
                    .linkFailure = summary.linkFailure,
                    .sckHz = summary.sckHz,
                    .backups = summary.backupFiles};
    if (!summary.firmwareFile.empty() && summary.firmwareFile == firmwarePath_)
        r.firmwareSha256 = firmwareSha256_;
    if (const auto problem = appendHistory(historyPath_, r))
        return "Job history not written: " + *problem;
    return std::nullopt;
}

bool AppSession::decideAdvancedMode() const {
    if (options_.advancedMode) return *options_.advancedMode;
    if (settings_.typeControl() == AppSettings::kAdvancedModeCode) return true;
    return settings_.advancedOptions() != 0;
}

void AppSession::checkComPort(int n) {
    if (n < 1 || n > 4) return;
    comPort_ = n;
    engine_.selectPort(n);
    if (!iniReadOnly_) settings_.setComPort(n);
}

Outcome AppSession::loadSimulatedState() {
    const std::string& state = options_.simulateFile;
    if (!options_.simulate || state.empty() || !fileExists(state)) return {};
    // A state file that cannot be read, or holds no saved light bar, is never overwritten.
    simulatedStateReadable_ = false;
    if (const InputFile file = readInputFile(state); !file.read)
        return {result::InputFileOpenError, "cannot read " + state + ": " + file.reason};
    if (!virtualBar_.load(state))
        return {result::BadInput, state + " is not a saved virtual light bar"};
    simulatedStateReadable_ = true;
    return {};
}

Outcome AppSession::checkStart() {
    const Outcome state = loadSimulatedState();
    // A missing settings file gives the defaults; one that is there but unreadable must not.
    const std::string& ini = services_.files().iniPath;
    if (fileExists(ini))
        if (const InputFile file = readInputFile(ini); !file.read)
            return {result::Config, cannotReadSettings(ini, file.reason)};
    return state;
}

bool AppSession::saveSimulatedState() {
    if (!options_.simulate || options_.simulateFile.empty()) return true;
    return simulatedStateReadable_ && virtualBar_.save(options_.simulateFile);
}

void AppSession::terminate() {
    if (terminated_) return;
    terminated_ = true;
    if (!iniReadOnly_) services_.terminate();
}

} // namespace tessel
