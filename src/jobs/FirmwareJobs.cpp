// The firmware jobs (verify, program while keeping the light bar's block) and the data memory
// read. The code area is flash 0x00000..0x1EFFF; the block area above it is written only with
// the block the light bar already held.
#include "jobs/ChipProgrammer.h"

#include "jobs/LineFormat.h"
#include "jobs/ResultCode.h"

#include <algorithm>

namespace tessel {

namespace {
constexpr std::uint32_t kBlockBase = kBlockAreaBase;
constexpr std::uint32_t kFormat1Base = 0x1F800;

int percentOf(std::size_t i, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(i * 100 / total);
}

// The bytes a job programs and verifies; never past the code area, whatever the caller set.
std::size_t codeLength(const FirmwareImage& image) {
    return std::min(image.length, FirmwareImage::kSize);
}
} // namespace

// A file of no records (picked under "All files") would otherwise erase the light bar and end
// in "Verified Ok".
bool ChipProgrammer::refuseEmptyImage(const FirmwareImage& image) {
    if (image.holdsCode()) return false;
    port_.setResult(result::HexFileFormatError);
    return true;
}

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

    const std::size_t length = codeLength(image);
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
    if (refuseEmptyImage(image)) return result();
    JobScope scope(*this);
    jobStart("--- Verify Light Bar Firmware Code ---", false, Access::Read);
    if (ok()) {
        fileLines(path);
        window_.plainLine(formatLine(" Firmware Code length is %zu bytes", codeLength(image)));
        window_.plainLine("");
    }
    firmwareVerification(image, true);
    jobEnd();
    return result();
}

namespace {
// Where the kept block goes back: a format 1 block at 0x1F800 followed by a zero byte, a format 2
// block at 0x1F000.
std::size_t keptOffset(int format) { return format < 2 ? kFormat1Base - kBlockBase : 0; }
std::size_t keptTrailer(int format) { return format < 2 ? 1 : 0; }
} // namespace

void ChipProgrammer::checkKeptBlockFits() {
    if (!ok()) return;
    const std::size_t end =
        keptOffset(after_.format) + after_.location.length + keptTrailer(after_.format);
    if (end <= kBlockAreaSize) return;
    window_.errorLine(" Light Bar VCB does not fit its place in the VCB area");
    fail(result::ReferenceVcbNotValid);
}

// Writes the kept block (compacted in the after view) back to its place after the erase.
void ChipProgrammer::writeKeptBlock() {
    if (!ok()) return;
    const std::size_t offset = keptOffset(after_.format);
    const std::size_t length = after_.location.length;
    const std::size_t n = length + keptTrailer(after_.format);

    // The block area as it should now stand in the light bar.
    reference_.area.fill(0xFF);
    std::copy_n(after_.area.begin(), length, reference_.area.begin() + static_cast<std::ptrdiff_t>(offset));
    if (n > length) reference_.area[offset + length] = kWithdrawnChar;
    reference_.locate();

    for (std::size_t k = offset; k < offset + n && ok(); ++k)
        isp_.writeFlashByte(kBlockBase + static_cast<std::uint32_t>(k), toFlashByte(reference_.area[k]));
    if (ok()) isp_.finishPageWriting();
    if (!ok()) return;
    window_.plainLine(" Replaced Light Bar VCB area");
    verifyKeptBlock(offset, n);
}

// The code verification covers only the code area, so the kept block is read back on its own:
// a block that did not take must not end in "Verified Ok".
void ChipProgrammer::verifyKeptBlock(std::size_t offset, std::size_t n) {
    window_.progressLine(" Verifying Light Bar VCB");
    before_.area.fill(0xFF);
    for (std::size_t k = offset; k < offset + n && ok(); ++k) {
        before_.area[k] = fromFlashByte(isp_.readFlashByte(kBlockBase + static_cast<std::uint32_t>(k)));
        if ((k - offset + 1) % 64 == 0 &&
            !progressPoint(static_cast<int>((k - offset + 1) * 100 / n), result::OperationAborted))
            break;
    }
    before_.locate();
    if (!ok()) return;
    if (!compareBytes(before_.area, offset, reference_.area, offset, n)) {
        fail(result::VcbVerifyError);
        return;
    }
    window_.removeLastLine();
    window_.successLine(" Light Bar VCB Verified Ok");
}

int ChipProgrammer::programFirmware(const FirmwareImage& image, const std::string* path) {
    if (busy_) return result::Error;
    if (refuseEmptyImage(image)) return result();
    JobScope scope(*this);
    jobStart("--- Program Light Bar Firmware Code ---", false, Access::Write);
    if (ok()) {
        fileLines(path);
        fileId_ = identify(std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(),
                                                                          kIdentifiedBytes));
        window_.plainLine(formatLine(" Firmware Code is %s, length is %zu bytes",
                                     fileId_.version.c_str(), codeLength(image)));
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
    // Compacting only moves text in memory; doing it before the erase lets a block that would
    // not fit its place be refused while the light bar is still whole.
    if (ok()) compact(after_);
    checkKeptBlockFits();
    confirmedErase(" Light Bar will be Erased (VCB is preserved)");
    writeKeptBlock();

    if (ok()) {
        window_.progressLine(" Programming Light Bar Firmware Code");
        window_.showAbortControls();
        window_.processMessages();
        const std::size_t length = codeLength(image);
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
