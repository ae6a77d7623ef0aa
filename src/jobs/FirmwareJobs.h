#pragma once

#include "firmware/FirmwareId.h"
#include "firmware/FirmwareImage.h"
#include "jobs/BlockHost.h"
#include "jobs/BlockSteps.h"
#include "jobs/JobFrame.h"
#include "link/Atmega128.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessel {

// The firmware jobs (verify, program while keeping the light bar's block) and the data memory
// read. The code area is flash 0x00000..0x1EFFF; the block area above it is written only with
// the block the light bar already held.
class FirmwareJobs {
public:
    FirmwareJobs(JobFrame& frame, BlockSteps& blocks, BlockHost& host)
        : frame_(frame), blocks_(blocks), host_(host) {}

    // path may be null (no file named in the log).
    ResultCode verifyFirmware(const FirmwareImage& image, const std::string* path);
    ResultCode programFirmware(const FirmwareImage& image, const std::string* path);
    ResultCode readDataMemory(std::uint8_t* buffer, std::uint16_t count);

    // The identities the last firmware jobs found: the file's and the light bar's.
    const FirmwareId& fileId() const { return fileId_; }
    const FirmwareId& chipId() const { return chipId_; }

private:
    friend class UnitJob; // a unit is programmed with these jobs' steps
    // An image without a byte other than 0xFF is no firmware: the job is refused with 3.
    bool refused(const FirmwareImage& image);
    void fileLines(const std::string* path);
    // The file and its identity for the job's summary.
    void noteFile(const FirmwareImage& image, const std::string* path);
    // The file lines, the image's identity and length.
    void introduceImage(const FirmwareImage& image, const std::string* path);
    // Firmware that needs a block format other than the light bar's gives 29, 30 or 31.
    void requireBlockFormat();
    // Compares the code area with the image. reportFailure: name a link failure in the log
    // (the verify job has no final report to do it).
    void verifyCode(const FirmwareImage& image, bool reportFailure);
    // The light bar's first 1024 bytes, which identify its firmware.
    void readChipCode(bool reportFailure);
    void compareCode(const FirmwareImage& image, bool reportFailure);
    void programCode(const FirmwareImage& image);
    // Refuses, before the erase, a kept block that would not end inside the block area.
    void checkKeptBlockFits();
    // Writes the kept block (compacted in the before view) back to its place after the erase.
    void writeKeptBlock();
    void verifyKeptBlock(std::size_t offset, std::size_t n);

    JobFrame& frame_;
    BlockSteps& blocks_;
    BlockHost& host_;
    FirmwareId fileId_;
    FirmwareId chipId_;
    std::array<std::uint8_t, kIdentifiedBytes> chipCode_{};
    std::array<std::uint8_t, atmega128::kEepromBytes> dataMemory_{};
};

} // namespace tessel
