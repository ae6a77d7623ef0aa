#pragma once

#include "block/BlockArea.h"
#include "firmware/FirmwareId.h"
#include "firmware/FirmwareImage.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockJobs.h"
#include "jobs/BlockSteps.h"
#include "jobs/BlockView.h"
#include "jobs/FirmwareJobs.h"
#include "jobs/JobFrame.h"
#include "jobs/JobWindow.h"
#include "jobs/UnitJob.h"
#include "link/IspPort.h"
#include "support/ResultCode.h"

#include <cstdint>
#include <string>

namespace tessel {

// The device engine: every job an operator runs on a light bar, over the job frame that owns the
// port. Each job entry point runs to its end and returns its result code (0 success); it reports
// to the operator through the job window and asks the main window (the block host) to parse,
// show and render block texts.
class ChipProgrammer {
public:
    // The window's message pump runs from the port's line operations and waits (see IspPort).
    // adapters: where a COM port mapped to a USB adapter ("ftdi:...") finds it; none: such a
    // port cannot be opened.
    ChipProgrammer(SerialLines& lines, Clock& clock, PortSettings& settings, JobWindow& window,
                   BlockHost& host, UsbAdapters* adapters = nullptr)
        : frame_(lines, clock, settings, window, adapters), blocks_(frame_, host),
          blockJobs_(frame_, blocks_, host), firmwareJobs_(frame_, blocks_, host),
          unitJob_(frame_, blocks_, blockJobs_, firmwareJobs_) {}

    // Port selection (1..4, anything else selects none) and the COM menu's availability probe.
    void selectPort(int index) { frame_.port().selectPort(index); }
    int portIndex() const { return frame_.port().portIndex(); }
    bool portPresent(int n) { return frame_.port().portPresent(n); }
    // Why the port did not open, or why its link failed in the last job.
    const LinkError& linkFailure() const { return frame_.port().failure(); }
    // The link mode of the jobs to come; the fast link's jobs say so in their first line.
    void setLinkMode(LinkMode mode) { frame_.port().setLinkMode(mode); }
    LinkMode linkMode() const { return frame_.port().linkMode(); }

    // Where the erasing and writing jobs save the light bar's block area (and EEPROM before an
    // erase) first. Without a folder they refuse to write anything.
    void setBackupFolder(std::string folder) { frame_.backup().setFolder(std::move(folder)); }
    const std::string& backupFolder() const { return frame_.backup().folder(); }
    // Told of every job once its report is written (the job history); see JobEndListener.
    void setJobEndListener(JobEndListener listener) {
        frame_.setJobEndListener(std::move(listener));
    }

    // Result of the current or last job.
    ResultCode result() const { return frame_.result(); }
    // True while a job runs. Every entry point called meanwhile returns at once with result
    // code 1 and touches neither the port, the views nor the window.
    bool isBusy() const { return frame_.busy(); }

    // Block jobs.
    ResultCode readBlock(BlockArea& area) { return blockJobs_.readBlock(area); }
    ResultCode verifyBlock(const BlockArea& reference) { return blockJobs_.verifyBlock(reference); }
    ResultCode programBlock(const BlockArea& reference) {
        return blockJobs_.programBlock(reference);
    }
    ResultCode convertBlock(int targetFormat) { return blockJobs_.convertBlock(targetFormat); }
    ResultCode initDefaultBlock() { return blockJobs_.initDefaultBlock(); }
    // A backup back into the light bar: its block area, then its data memory when given.
    ResultCode restore(const SavedLightBar& saved) { return blockJobs_.restore(saved); }

    // Firmware and data memory jobs. path may be null (no file named in the log).
    ResultCode verifyFirmware(const FirmwareImage& image, const std::string* path) {
        return firmwareJobs_.verifyFirmware(image, path);
    }
    ResultCode programFirmware(const FirmwareImage& image, const std::string* path) {
        return firmwareJobs_.programFirmware(image, path);
    }
    ResultCode readDataMemory(std::uint8_t* buffer, std::uint16_t count) {
        return firmwareJobs_.readDataMemory(buffer, count);
    }

    // A light bar made ready for the field in one job (see UnitJob), and whether a chip answers
    // on the port between jobs.
    ResultCode programUnit(const UnitOrder& order) { return unitJob_.run(order); }
    std::optional<std::int32_t> unitSerialNumber() const { return unitJob_.serialNumber(); }
    bool chipAnswers() { return unitJob_.chipAnswers(); }

    // What the last jobs saw: the light bar's block as read before anything was written, the
    // block written or compared with, and the light bar's block read back (the read and verify
    // jobs read into this one).
    const BlockView& beforeView() const { return blocks_.before; }
    const BlockView& referenceView() const { return blocks_.reference; }
    const BlockView& afterView() const { return blocks_.after; }
    const DeviceIdentity& identity() const { return frame_.isp().identity(); }
    // What the light bar held when the last job ended, as far as its instructions tell.
    const LightBarState& lightBarState() const { return frame_.lightBarState(); }
    const FirmwareId& fileId() const { return firmwareJobs_.fileId(); }
    const FirmwareId& chipId() const { return firmwareJobs_.chipId(); }

private:
    JobFrame frame_;
    BlockSteps blocks_;
    BlockJobs blockJobs_;
    FirmwareJobs firmwareJobs_;
    UnitJob unitJob_;
};

} // namespace tessel
