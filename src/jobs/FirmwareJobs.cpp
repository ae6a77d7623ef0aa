// The firmware jobs (verify, program while keeping the light bar's block) and the data memory
// read. The code area is flash 0x00000..0x1EFFF; the block area above it is written only with
// the block the light bar already held.
#include "jobs/ChipProgrammer.h"

#include "jobs/LineFormat.h"
#include "jobs/ResultCode.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr std::uint32_t kBlockBase = 0x1F000;
constexpr std::uint32_t kFormat1Base = 0x1F800;

int percentOf(std::size_t i, std::size_t total) { return static_cast<int>(i * 100 / total); }
} // namespace

void ChipProgrammer::fileLines(const std::string* path) {
    if (!path) return;
    window_.plainLine(" Firmware Code was read from:");
    window_.plainLine("   " + *path);
}

void ChipProgrammer::firmwareVerification(const FirmwareImage& image, bool reportFailure) {
    if (!ok()) return;
    for (std::size_t i = 0; i < chipCode_.size() && ok(); ++i)
        chipCode_[i] = isp_.readFlashByte(static_cast<std::uint32_t>(i));
    if (!ok()) {
        if (reportFailure) window_.errorLine(std::string(" ") + resultMessage(result()));
        return;
    }
    chipId_ = identify(chipCode_);
    fileId_ = identify(std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(),
                                                                      kIdentifiedBytes));
    window_.plainLine(" Code ID is " + fileId_.version + ", Chip ID is " + chipId_.version);
    window_.progressLine(" Verifying Firmware Code to Light Bar");
    window_.showAbortControls();
    window_.processMessages();

    const std::size_t length = image.length;
    std::size_t i = 0;
    std::uint8_t chipByte = 0;
    for (; i < length && ok(); ++i) {
        chipByte = isp_.readFlashByte(static_cast<std::uint32_t>(i));
        if (!ok()) break; // a link failure stays 32, never a verify error with chip=00
        if (chipByte != image.bytes[i]) {
            fail(result::CodeVerifyError);
            break;
        }
        if (i % 128 == 0 && !progressPoint(percentOf(i, length), result::VerifyAborted)) {
            window_.removeLastLine();
            window_.errorLine(" Light Bar Firmware Code Verify aborted");
            break;
        }
    }
    window_.setProgress(percentOf(i, length));
    if (result() == result::CodeVerifyError) {
        window_.removeLastLine();
        window_.errorLine(formatLine(" Verify Error @%04lx chip=%02x data=%02x",
                                     static_cast<unsigned long>(i), chipByte, image.bytes[i]));
    } else if (ok()) {
        window_.removeLastLine();
        window_.successLine(" Light Bar Firmware Code Verified Ok");
    } else if (reportFailure && result() != result::VerifyAborted) {
        // The verify job has no final report: a link failure is named in place of the step.
        window_.removeLastLine();
        window_.errorLine(std::string(" ") + resultMessage(result()));
    }
}

int ChipProgrammer::verifyFirmware(const FirmwareImage& image, const std::string* path) {
    if (busy_) return result::Error;
    if (!image.holdsCode()) { // a file without records is no firmware
        port_.setResult(result::HexFileFormatError);
        return result();
    }
    JobScope scope(*this);
    jobStart("--- Verify Light Bar Firmware Code ---", false, Access::Read);
    if (ok()) {
        fileLines(path);
        window_.plainLine(formatLine(" Firmware Code length is %zu bytes", image.length));
        window_.plainLine("");
    }
    firmwareVerification(image, true);
    jobEnd();
    return result();
}

// Writes the kept block (compacted in the after view) back to its place after the erase, and
// reads it back: the code verification does not cover the block area.
void ChipProgrammer::writeKeptBlock() {
    if (!ok()) return;
    const bool format1 = after_.format < 2;
    const std::uint32_t base = format1 ? kFormat1Base : kBlockBase;
    const std::size_t length = after_.location.length;
    std::uint32_t address = base;
    for (std::size_t k = 0; k < length && ok(); ++k, ++address) {
        const std::uint8_t b = after_.area[k];
        isp_.writeFlashByte(address, b == kWithdrawnChar ? 0x00 : b);
    }
    if (ok() && format1) isp_.writeFlashByte(address, 0x00);
    if (ok()) isp_.finishPageWriting();
    if (!ok()) return;
    window_.plainLine(" Replaced Light Bar VCB area");

    // The kept block as it should now stand in the area, against what the light bar holds.
    reference_.area.fill(0xFF);
    std::copy_n(after_.area.begin(), length, reference_.area.begin() + (base - kBlockBase));
    reference_.locate();
    readBlockArea(before_);
    if (ok() && !compareTexts(before_, reference_)) fail(result::VcbVerifyError);
}

int ChipProgrammer::programFirmware(const FirmwareImage& image, const std::string* path) {
    if (busy_) return result::Error;
    if (!image.holdsCode()) { // erasing for an image without code would only destroy
        port_.setResult(result::HexFileFormatError);
        return result();
    }
    JobScope scope(*this);
    jobStart("--- Program Light Bar Firmware Code ---", false, Access::Write);
    if (ok()) {
        fileLines(path);
        fileId_ = identify(std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(),
                                                                          kIdentifiedBytes));
        window_.plainLine(formatLine(" Firmware Code is %s, length is %zu bytes",
                                     fileId_.version.c_str(), image.length));
        window_.plainLine("");
    }
    readBlockArea(after_);
    if (ok()) {
        host_.parseBlock(after_.area);
        host_.loadIntoWindows();
    }
    if (ok() && fileId_.requiredFormat != after_.format) {
        fail(fileId_.requiredFormat == 1   ? result::VcbFormat1Required
             : fileId_.requiredFormat == 2 ? result::VcbFormat2Required
                                           : result::UnknownVcbFormatRequired);
    }
    if (ok()) {
        // Compacting only moves text in memory; doing it before the erase lets a block that
        // would not fit its place be refused while the light bar is still whole.
        compact(after_);
        const std::size_t place = after_.format < 2 ? kBlockAreaSize / 2 : kBlockAreaSize;
        const std::size_t trailer = after_.format < 2 ? 1 : 0;
        if (ok() && after_.location.length + trailer > place) fail(result::InvalidExtantVcb);
    }
    confirmedErase(" Light Bar will be Erased (VCB is preserved)");
    writeKeptBlock();

    if (ok()) {
        window_.progressLine(" Programming Light Bar Firmware Code");
        window_.showAbortControls();
        window_.processMessages();
        const std::size_t length = image.length;
        std::size_t i = 0;
        for (; i < length && ok(); ++i) {
            isp_.writeFlashByte(static_cast<std::uint32_t>(i), image.bytes[i]);
            if (i % 128 == 0 && !progressPoint(percentOf(i, length), result::OperationAborted)) {
                window_.removeLastLine();
                window_.errorLine(" Light Bar Firmware Programmimg aborted");
                break;
            }
        }
        if (ok()) isp_.finishPageWriting();
        window_.setProgress(percentOf(i, length));
        if (ok()) {
            window_.removeLastLine();
            window_.successLine(" Light Bar Firmware Code is Programmed");
        }
    }
    firmwareVerification(image, false);
    finalReport();
    jobEnd();
    return result();
}

int ChipProgrammer::readDataMemory(std::uint8_t* buffer, std::uint16_t count) {
    if (busy_) return result::Error;
    JobScope scope(*this);
    jobStart("--- Read Light Bar EEPROM Data ---", false, Access::Read);
    dataMemory_.fill(0);
    const std::size_t n = std::min<std::size_t>(count, dataMemory_.size());
    if (ok()) {
        window_.progressLine(formatLine(" Reading %zu bytes from Light Bar", n));
        window_.showAbortControls();
        window_.processMessages();
        std::size_t i = 0;
        for (; i < n && ok(); ++i) {
            dataMemory_[i] = isp_.readDataByte(static_cast<std::uint16_t>(i));
            if (i % 64 == 0 && !progressPoint(percentOf(i, n), result::OperationAborted)) break;
        }
        window_.setProgress(n == 0 ? 100 : percentOf(i, n));
        if (ok()) {
            window_.removeLastLine();
            window_.successLine(" Finished Reading Light Bar");
            std::copy_n(dataMemory_.begin(), n, buffer);
        }
    }
    jobEnd();
    return result();
}

} // namespace tessel
