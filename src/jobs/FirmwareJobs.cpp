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
    beginLongStep(" Verifying Firmware Code to Light Bar");

    const std::size_t length = codeLength(image);
    std::uint8_t chipByte = 0;
    const std::size_t i =
        runLoop({.to = length, .every = 128, .total = length, .abortCode = result::VerifyAborted},
                [&](std::size_t k) {
                    chipByte = isp_.readFlashByte(static_cast<std::uint32_t>(k));
                    if (!ok()) return Step::Stop; // a link failure stays 32, never a verify error
                    if (chipByte == image.bytes[k]) return Step::Next;
                    fail(result::CodeVerifyError);
                    return Step::Stop;
                });
    if (result() == result::VerifyAborted) {
        window_.removeLastLine();
        window_.errorLine(" Light Bar Firmware Code Verify aborted");
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
    if (!busy_ && refuseEmptyImage(image)) return result();
    return runJob("--- Verify Light Bar Firmware Code ---", false, Access::Read, Report::None, [&] {
        if (ok()) {
            fileLines(path);
            window_.plainLine(formatLine(" Firmware Code length is %zu bytes", codeLength(image)));
            window_.plainLine("");
        }
        firmwareVerification(image, true);
    });
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
        keptOffset(before_.format) + before_.location.length + keptTrailer(before_.format);
    if (end <= kBlockAreaSize) return;
    window_.errorLine(" Light Bar VCB does not fit its place in the VCB area");
    fail(result::ReferenceVcbNotValid);
}

// Writes the kept block (compacted in the before view) back to its place after the erase.
void ChipProgrammer::writeKeptBlock() {
    if (!ok()) return;
    const std::size_t offset = keptOffset(before_.format);
    const std::size_t length = before_.location.length;
    const std::size_t n = length + keptTrailer(before_.format);

    // The block area as it should now stand in the light bar.
    reference_.area.fill(0xFF);
    std::copy_n(before_.area.begin(), length,
                reference_.area.begin() + static_cast<std::ptrdiff_t>(offset));
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
    after_.area.fill(0xFF);
    runLoop({.from = offset, .to = offset + n, .every = 64, .total = n, .countDone = true},
            [&](std::size_t k) {
                after_.area[k] =
                    fromFlashByte(isp_.readFlashByte(kBlockBase + static_cast<std::uint32_t>(k)));
                return Step::Next;
            });
    after_.locate();
    if (!ok()) return;
    if (!compareBytes(after_.area, offset, reference_.area, offset, n)) {
        fail(result::VcbVerifyError);
        return;
    }
    window_.removeLastLine();
    window_.successLine(" Light Bar VCB Verified Ok");
}

int ChipProgrammer::programFirmware(const FirmwareImage& image, const std::string* path) {
    if (!busy_ && refuseEmptyImage(image)) return result();
    return runJob("--- Program Light Bar Firmware Code ---", false, Access::Write, Report::Final,
                  [&] { programFirmwareSteps(image, path); });
}

void ChipProgrammer::programFirmwareSteps(const FirmwareImage& image, const std::string* path) {
    if (ok()) {
        fileLines(path);
        fileId_ = identify(std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(),
                                                                          kIdentifiedBytes));
        window_.plainLine(formatLine(" Firmware Code is %s, length is %zu bytes",
                                     fileId_.version.c_str(), codeLength(image)));
        window_.plainLine("");
    }
    readBlockArea(before_);
    if (ok()) {
        host_.parseBlock(before_.area);
        host_.loadIntoWindows();
    }
    if (ok() && fileId_.requiredFormat != before_.format) {
        fail(fileId_.requiredFormat == 1   ? result::VcbFormat1Required
             : fileId_.requiredFormat == 2 ? result::VcbFormat2Required
                                           : result::UnknownVcbFormatRequired);
    }
    // Compacting only moves text in memory; doing it before the erase lets a block that would
    // not fit its place be refused while the light bar is still whole.
    if (ok()) compact(before_);
    checkKeptBlockFits();
    confirmedErase(" Light Bar will be Erased (VCB is preserved)");
    writeKeptBlock();

    if (ok()) {
        beginLongStep(" Programming Light Bar Firmware Code");
        const std::size_t length = codeLength(image);
        const std::size_t i =
            runLoop({.to = length, .every = 128, .total = length}, [&](std::size_t k) {
                isp_.writeFlashByte(static_cast<std::uint32_t>(k), image.bytes[k]);
                return Step::Next;
            });
        if (result() == result::OperationAborted) {
            window_.removeLastLine();
            window_.errorLine(" Light Bar Firmware Programmimg aborted");
        }
        if (ok()) isp_.finishPageWriting();
        endLongStep(percentOf(i, length), " Light Bar Firmware Code is Programmed");
    }
    firmwareVerification(image, false);
}

int ChipProgrammer::readDataMemory(std::uint8_t* buffer, std::uint16_t count) {
    return runJob("--- Read Light Bar EEPROM Data ---", false, Access::Read, Report::None, [&] {
        dataMemory_.fill(0);
        const std::size_t n = std::min<std::size_t>(count, dataMemory_.size());
        if (!ok()) return;
        beginLongStep(formatLine(" Reading %zu bytes from Light Bar", n));
        const std::size_t i = runLoop({.to = n, .every = 64, .total = n}, [&](std::size_t k) {
            dataMemory_[k] = isp_.readDataByte(static_cast<std::uint16_t>(k));
            return Step::Next;
        });
        if (endLongStep(percentOf(i, n), " Finished Reading Light Bar"))
            std::copy_n(dataMemory_.begin(), n, buffer);
    });
}

} // namespace tessel
