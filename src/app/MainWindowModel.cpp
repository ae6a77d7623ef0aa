#include "app/MainWindowModel.h"

#include "block/BlockText.h"
#include "app/AppSession.h"
#include "app/BackupFiles.h"
#include "app/ControlNames.h"
#include "app/FirmwareFile.h"
#include "app/InputFile.h"
#include "app/TiltCalibrationModel.h"
#include "block/RecordFields.h"
#include "jobs/BackupNames.h"
#include "jobs/ChipProgrammer.h"
#include "support/AppSettings.h"
#include "support/CompanionFiles.h"
#include "support/Utf8File.h"
#include "support/VersionInfo.h"

#include <filesystem>
#include <utility>

namespace tessel {

namespace {
// Byte 0 (a format 2 block) or byte 2048 (a format 1 block) holds something else than erased
// or withdrawn flash.
bool holdsData(const BlockArea& area) {
    const auto used = [](std::uint8_t b) { return b != 0x00 && b != 0xFF; };
    return used(area[0]) || used(area[2048]);
}
} // namespace

class MainWindowModel::Busy {
public:
    explicit Busy(MainWindowModel& m) : m_(m) { m_.busy_ = true; }
    ~Busy() {
        m_.busy_ = false;
        m_.changed();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    MainWindowModel& m_;
};

MainWindowModel::MainWindowModel(AppSession& session)
    : session_(session), engine_(session.engine()), host_(session.host()) {
    ControlValues& c = host_.controls();
    for (std::string_view command :
         {controls::kConvertToFormat1, controls::kConvertToFormat2, controls::kInitDefaultVcb,
          controls::kProgVcb, controls::kVerifyVcb, controls::kProgCode, controls::kVerifyCode,
          controls::kProductName})
        c.setEnabled(command, false);
    // The record was just reset: no block is known yet.
    host_.record().setFormat(0);
    c.setText(controls::kFormatNumber, "?");
    updateTitle();
    c.setText(controls::kSerialNumber, "?");
    c.setText(controls::kProductName, "?");
    const int port = session_.comPort();
    if (port >= 1 && port <= 4) comChecked_[port - 1] = true;
}

void MainWindowModel::changed() {
    if (listener_) listener_();
}

void MainWindowModel::updateTitle() {
    const VersionInfo& version = session_.services().versionInfo();
    title_ = version.productName() + " v" + version.fileVersion();
    if (session_.simulated()) title_ += " \u2013 virtual light bar";
}

void MainWindowModel::windowShown() {
    if (shown_) return;
    shown_ = true;
    host_.loadIntoWindows();
    changed();
}

// --- COM Port menu ---------------------------------------------------------------------------

bool MainWindowModel::applyComPort() {
    for (int n = 1; n <= 4; ++n) {
        if (comChecked_[n - 1]) {
            engine_.selectPort(n);
            return true;
        }
    }
    return false;
}

void MainWindowModel::comPortMenuOpened() {
    if (busy_) return; // the probe opens ports: never while a job holds one
    for (int n = 1; n <= 4; ++n) {
        comEnabled_[n - 1] = engine_.portPresent(n);
        if (!comEnabled_[n - 1]) comChecked_[n - 1] = false;
    }
    changed();
}

void MainWindowModel::comPortClicked(int n) {
    if (busy_ || n < 1 || n > 4) return;
    comPortMenuOpened();
    if (!comEnabled_[n - 1]) return;
    comChecked_.fill(false);
    comChecked_[n - 1] = true;
    session_.checkComPort(n); // the engine's port, and "COM Port" unless the INI is read-only
    changed();
}

// --- block commands ------------------------------------------------------------------------

CommandOutcome MainWindowModel::readVcb() {
    if (busy_) return {result::Error};
    Busy busy(*this);
    ResultCode r = result::Error;
    if (applyComPort()) {
        tessel::clearTiltCalibration(host_);
        area_.fill(0xFF);
        r = engine_.readBlock(area_);
        const bool noBlock = r == result::NoValidVcb;
        host_.controls().setEnabled(controls::kProgVcb, !noBlock);
        host_.controls().setEnabled(controls::kVerifyVcb, !noBlock);
        if (r == result::Ok && holdsData(area_)) {
            host_.parseBlock(area_);
            updateTitle();
        } else {
            host_.record().setFormat(0);
        }
        host_.loadIntoWindows();
    }
    host_.controls().setEnabled(controls::kInitDefaultVcb, r == result::NoValidVcb);
    return {r};
}

CommandOutcome MainWindowModel::progVcb() { return blockCommand(BlockCommand::Program); }
CommandOutcome MainWindowModel::verifyVcb() { return blockCommand(BlockCommand::Verify); }

CommandOutcome MainWindowModel::blockCommand(BlockCommand which) {
    if (busy_) return {result::Error};
    Busy busy(*this);
    if (!applyComPort()) return {result::Error};
    try {
        host_.collectFromWindows(); // no job runs
    } catch (const ConversionError& e) {
        return {result::Error, e.what(), e.control()};
    }
    if (!host_.renderBlock(area_))
        return {result::Error,
                "The configuration block does not fit in the light bar's block area."};
    const ResultCode r = which == BlockCommand::Program ? engine_.programBlock(area_)
                                                        : engine_.verifyBlock(area_);
    if (r != result::Ok) {
        for (std::string_view command : {controls::kProgVcb, controls::kVerifyVcb,
                                         controls::kProgCode, controls::kVerifyCode})
            host_.controls().setEnabled(command, false);
    }
    return {r};
}

CommandOutcome MainWindowModel::convertVcb(int format) {
    if (busy_) return {result::Error};
    Busy busy(*this);
    return {engine_.convertBlock(format)};
}

CommandOutcome MainWindowModel::initDefaultVcb() {
    ResultCode r = result::Error;
    {
        if (busy_) return {r};
        Busy busy(*this);
        r = engine_.initDefaultBlock();
    }
    return r == result::Ok ? readVcb() : CommandOutcome{r};
}

std::string MainWindowModel::backupFolder() const { return engine_.backupFolder(); }

CommandOutcome MainWindowModel::restoreFromBackup(const std::optional<std::string>& path) {
    if (busy_) return {result::Error};
    if (!path) return {result::InputFileCancel};
    BlockArea saved{};
    const InputFile file = readInputFile(*path);
    if (!file.read)
        return {result::InputFileOpenError,
                std::string(resultMessage(result::InputFileOpenError)) + "\n" + *path + "\n" +
                    file.reason};
    std::copy_n(file.bytes.begin(), std::min(file.bytes.size(), saved.size()), saved.begin());
    if (file.bytes.size() != saved.size() || !locateBlock(saved).present)
        return {result::NoValidVcb,
                std::string(resultMessage(result::NoValidVcb)) + "\n" + *path +
                    "\nThe file is no VCB area backup (4096 bytes that hold a VCB)."};
    std::optional<BlockBackup::Eeprom> eeprom;
    const auto backup = backupOfBlockFile(*path);
    std::error_code ec;
    if (backup && std::filesystem::exists(utf8Path(backup->eepromFile()), ec))
        if (const Outcome read = readEepromBackup(backup->eepromFile(), eeprom.emplace()); !read.ok())
            return {read.code, read.message};
    ResultCode r = result::Error;
    {
        Busy busy(*this);
        if (!applyComPort()) return {r};
        r = engine_.restore({&saved, eeprom ? &*eeprom : nullptr, &*path, SerialChange::Ask});
    }
    return r == result::Ok ? readVcb() : CommandOutcome{r};
}

// --- firmware commands -----------------------------------------------------------------------

std::string MainWindowModel::hexFolder() const {
    std::string folder = session_.settings().hexPath();
    // "." is the folder the program was started in: for an installed copy started from the
    // Start menu its own folder in Program Files, where no firmware is kept.
    if (folder == "." && session_.installedCopy())
        if (std::string documents = userDocumentsFolder(); !documents.empty()) return documents;
    return folder;
}

std::size_t MainWindowModel::hexFilter() const {
    const std::int32_t chosen = session_.settings().hexFilter();
    return chosen >= 1 && chosen <= static_cast<std::int32_t>(kHexFileFilters.size())
               ? static_cast<std::size_t>(chosen - 1)
               : kHexFilePreselected;
}

void MainWindowModel::hexFilterChosen(std::size_t filter) {
    if (filter >= kHexFileFilters.size() || session_.iniReadOnly()) return;
    session_.settings().setHexFilter(static_cast<std::int32_t>(filter + 1));
}

bool MainWindowModel::acceptsDrop(const std::vector<std::string>& paths) const {
    return paths.size() == 1 && !busy_ && host_.controls().isEnabled(controls::kProgCode);
}

std::optional<std::string> MainWindowModel::exitQuestion() const {
    if (busy_ || !host_.windowsEdited()) return std::nullopt;
    return std::string(kExitQuestion);
}

CommandOutcome MainWindowModel::progCode(const std::optional<std::string>& path) {
    return firmwareCommand(FirmwareCommand::Program, path);
}
CommandOutcome MainWindowModel::verifyCode(const std::optional<std::string>& path) {
    return firmwareCommand(FirmwareCommand::Verify, path);
}

CommandOutcome MainWindowModel::firmwareCommand(FirmwareCommand which,
                                                const std::optional<std::string>& path) {
    if (busy_) return {result::Error};
    if (!path) return {result::InputFileCancel};
    Busy busy(*this);
    // The whole path is kept: a shortened one could name another file.
    // The folder ends where the system's idea of the file name starts ('/' or, on Windows, '\\').
    const std::string folder = path->substr(0, path->size() - utf8Text(utf8Path(*path).filename()).size());
    if (!session_.iniReadOnly()) session_.settings().setHexPath(folder);

    const FirmwareFile file = loadFirmwareFile(*path, FirmwareUse::Job);
    session_.noteFirmwareFile(*path, file.sha256);
    // An unreadable file is reported before the COM port is looked at, a HEX error after it.
    const Outcome read = file.outcome();
    if (file.problem == FirmwareFile::Problem::CannotRead) return {read.code, read.message};
    if (!applyComPort()) return {result::Error};
    if (!read.ok()) return {read.code, read.message};
    return {which == FirmwareCommand::Program ? engine_.programFirmware(*file.image, &*path)
                                              : engine_.verifyFirmware(*file.image, &*path)};
}

} // namespace tessel
