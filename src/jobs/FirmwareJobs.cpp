#include "jobs/FirmwareJobs.h"

#include "jobs/LineFormat.h"

#include <algorithm>
#include <span>
#include <vector>

namespace tessel {

namespace {

// The bytes a job programs and verifies; never past the code area, whatever the caller set.
std::size_t codeLength(const FirmwareImage& image) {
    return std::min(image.length, FirmwareImage::kSize);
}

FirmwareId identifyImage(const FirmwareImage& image) {
    return identify(
        std::span<const std::uint8_t, kIdentifiedBytes>(image.bytes.data(), kIdentifiedBytes));
}

// Where the kept block goes back: a format 1 block at 0x1F800 followed by a zero byte, a format 2
// block at 0x1F000.
std::size_t keptOffset(int format) { return format < 2 ? kFormat1Offset : 0; }
std::size_t keptTrailer(int format) { return format < 2 ? 1 : 0; }

constexpr std::size_t kFlashPageBytes = atmega128::kPageBytes;

// For each flash page below length: whether the image holds nothing but 0xFF there.
std::vector<bool> blankPages(const FirmwareImage& image, std::size_t length) {
    std::vector<bool> blank((length + kFlashPageBytes - 1) / kFlashPageBytes, true);
    for (std::size_t k = 0; k < length; ++k)
        if (image.bytes[k] != 0xFF) blank[k / kFlashPageBytes] = false;
    return blank;
}

} // namespace

// A file of no records (picked under "All files") would otherwise erase the light bar and end
// in "Verified Ok".
bool FirmwareJobs::refused(const FirmwareImage& image) {
    if (frame_.busy() || image.holdsCode()) return false;
    frame_.refuse(result::HexFileFormatError);
    return true;
}

void FirmwareJobs::fileLines(const std::string* path) {
    if (!path) return;
    frame_.window().plainLine(" Firmware Code was read from:");
    frame_.window().plainLine("   " + *path);
}

void FirmwareJobs::noteFile(const FirmwareImage& image, const std::string* path) {
    fileId_ = identifyImage(image);
    frame_.noteFirmwareFile(path ? *path : std::string(), fileId_.product, fileId_.version);
}

void FirmwareJobs::introduceImage(const FirmwareImage& image, const std::string* path) {
    noteFile(image, path);
    fileLines(path);
    frame_.window().plainLine(formatLine(" Firmware Code is %s, length is %zu bytes",
                                         fileId_.version.c_str(), codeLength(image)));
    frame_.window().plainLine("");
}

void FirmwareJobs::requireBlockFormat() {
    const int required = fileId_.requiredFormat;
    if (required == blocks_.before.format) return;
    frame_.fail(required == 1   ? result::VcbFormat1Required
                : required == 2 ? result::VcbFormat2Required
                                : result::UnknownVcbFormatRequired);
}

void FirmwareJobs::verifyCode(const FirmwareImage& image, bool reportFailure) {
    frame_.steps({
        [&] { readChipCode(reportFailure); },
        [&] { compareCode(image, reportFailure); },
    });
}

void FirmwareJobs::readChipCode(bool reportFailure) {
    for (std::size_t i = 0; i < chipCode_.size() && frame_.ok(); ++i)
        chipCode_[i] = frame_.isp().readFlashByte(static_cast<std::uint32_t>(i));
    if (!frame_.ok() && reportFailure) frame_.window().errorLine(frame_.resultLine());
}

void FirmwareJobs::compareCode(const FirmwareImage& image, bool reportFailure) {
    JobWindow& window = frame_.window();
    IspInstructions& isp = frame_.isp();
    chipId_ = identify(chipCode_);
    fileId_ = identifyImage(image);
    window.plainLine(" Code ID is " + fileId_.version + ", Chip ID is " + chipId_.version);
    frame_.beginLongStep(" Verifying Firmware Code to Light Bar");

    const std::size_t length = codeLength(image);
    std::uint8_t chipByte = 0;
    const std::size_t i = frame_.runLoop(
        {.to = length, .every = 128, .total = length, .abortCode = result::VerifyAborted},
        [&](std::size_t k) {
            chipByte = isp.readFlashByte(static_cast<std::uint32_t>(k));
            // A link failure stays 32, never a verify error.
            if (!frame_.ok()) return JobFrame::Next::Stop;
            if (chipByte == image.bytes[k]) return JobFrame::Next::Byte;
            frame_.fail(result::CodeVerifyError);
            return JobFrame::Next::Stop;
        });
    const ResultCode outcome = frame_.result();
    if (outcome == result::VerifyAborted) {
        window.removeLastLine();
        window.errorLine(" Light Bar Firmware Code Verify aborted");
    }
    window.setProgress(JobFrame::percentOf(i, length));
    if (outcome == result::CodeVerifyError) {
        window.removeLastLine();
        window.errorLine(formatLine(" Verify Error @%04lx chip=%02x data=%02x",
                                    static_cast<unsigned long>(i), chipByte, image.bytes[i]));
    } else if (outcome == result::Ok) {
        window.removeLastLine();
        window.successLine(" Light Bar Firmware Code Verified Ok");
    } else if (reportFailure && outcome != result::VerifyAborted) {
        // The verify job has no final report: a link failure is named in place of the step.
        window.removeLastLine();
        window.errorLine(frame_.resultLine());
    }
}

ResultCode FirmwareJobs::verifyFirmware(const FirmwareImage& image, const std::string* path) {
    if (refused(image)) return frame_.result();
    return frame_.run({.title = "--- Verify Light Bar Firmware Code ---", .finalReport = false},
                      {
                          [&] {
                              noteFile(image, path);
                              fileLines(path);
                              frame_.window().plainLine(formatLine(
                                  " Firmware Code length is %zu bytes", codeLength(image)));
                              frame_.window().plainLine("");
                          },
                          [&] { verifyCode(image, true); },
                      });
}

void FirmwareJobs::checkKeptBlockFits() {
    const BlockView& before = blocks_.before;
    const std::size_t end =
        keptOffset(before.format) + before.location.length + keptTrailer(before.format);
    if (end <= kBlockAreaSize) return;
    frame_.window().errorLine(" Light Bar VCB does not fit its place in the VCB area");
    frame_.fail(result::ReferenceVcbNotValid);
}

void FirmwareJobs::writeKeptBlock() {
    const BlockView& before = blocks_.before;
    BlockView& reference = blocks_.reference;
    const std::size_t offset = keptOffset(before.format);
    const std::size_t length = before.location.length;
    const std::size_t n = length + keptTrailer(before.format);

    // The block area as it should now stand in the light bar.
    reference.area.fill(0xFF);
    std::copy_n(before.area.begin(), length,
                reference.area.begin() + static_cast<std::ptrdiff_t>(offset));
    if (n > length) reference.area[offset + length] = kWithdrawnChar;
    reference.locate();

    IspInstructions& isp = frame_.isp();
    for (std::size_t k = offset; k < offset + n && frame_.ok(); ++k)
        isp.writeFlashByte(kBlockAreaBase + static_cast<std::uint32_t>(k),
                           toFlashByte(reference.area[k]));
    // The pages go in address order: the block reads whole once the last one reached the chip,
    // whatever fails after it.
    if (!frame_.ok()) return;
    const InstructionTicket earlier = isp.lastChange();
    isp.finishPageWriting();
    if (isp.lastChange() != earlier)
        frame_.noteBlockWritten(LightBarState::Block::New, isp.delivery(isp.lastChange()));
    if (!frame_.ok()) return;
    frame_.window().plainLine(" Replaced Light Bar VCB area");
    verifyKeptBlock(offset, n);
}

// The code verification covers only the code area, so the kept block is read back on its own:
// a block that did not take must not end in "Verified Ok".
void FirmwareJobs::verifyKeptBlock(std::size_t offset, std::size_t n) {
    BlockView& after = blocks_.after;
    frame_.window().progressLine(" Verifying Light Bar VCB");
    after.area.fill(0xFF);
    frame_.runLoop({.from = offset, .to = offset + n, .every = 64, .total = n, .countDone = true},
                   [&](std::size_t k) {
                       after.area[k] = fromFlashByte(frame_.isp().readFlashByte(
                           kBlockAreaBase + static_cast<std::uint32_t>(k)));
                       return JobFrame::Next::Byte;
                   });
    after.locate();
    if (!frame_.ok()) return;
    frame_.noteBlockRead(after.present() ? std::optional(after.serialNumber) : std::nullopt);
    if (!blocks_.compareBytes(after.area, offset, blocks_.reference.area, offset, n)) {
        frame_.fail(result::VcbVerifyError);
        return;
    }
    frame_.window().removeLastLine();
    frame_.window().successLine(" Light Bar VCB Verified Ok");
}

void FirmwareJobs::programCode(const FirmwareImage& image) {
    frame_.beginLongStep(" Programming Light Bar Firmware Code");
    const std::size_t length = codeLength(image);
    // The chip was erased just before: a page the image leaves all 0xFF reads so already, and is
    // neither loaded nor written (the verification still reads it).
    const std::vector<bool> blank = blankPages(image, length);
    const std::size_t i =
        frame_.runLoop({.to = length, .every = 128, .total = length}, [&](std::size_t k) {
            if (!blank[k / kFlashPageBytes])
                frame_.isp().writeFlashByte(static_cast<std::uint32_t>(k), image.bytes[k]);
            return JobFrame::Next::Byte;
        });
    if (frame_.result() == result::OperationAborted) {
        frame_.window().removeLastLine();
        frame_.window().errorLine(" Light Bar Firmware Programmimg aborted");
    }
    if (frame_.ok()) frame_.isp().finishPageWriting();
    frame_.endLongStep(JobFrame::percentOf(i, length), " Light Bar Firmware Code is Programmed");
}

ResultCode FirmwareJobs::programFirmware(const FirmwareImage& image, const std::string* path) {
    if (refused(image)) return frame_.result();
    BlockView& before = blocks_.before;
    return frame_.run(
        {.title = "--- Program Light Bar Firmware Code ---", .writes = true},
        {
            [&] { introduceImage(image, path); },
            // A light bar without a block is not programmed: the operator initialises one first.
            [&] { blocks_.readBlockArea(before); },
            [&] {
                host_.parseBlock(before.area);
                host_.loadIntoWindows();
            },
            [&] { requireBlockFormat(); },
            // Compacting only moves text in memory; doing it before the erase lets a block that
            // would not fit its place be refused while the light bar is still whole.
            [&] { blocks_.compact(before); },
            [&] { checkKeptBlockFits(); },
            [&] { frame_.backUp(before.serialNumber, true); },
            [&] {
                frame_.eraseAndRewrite(" Light Bar will be Erased (VCB is preserved)", {},
                                       [&] { writeKeptBlock(); });
            },
            // Outside the rewrite stretch: the code may be cancelled, the block is back in place.
            [&] {
                frame_.noteFirmware(LightBarState::Firmware::Incomplete);
                programCode(image);
            },
            // Programmed in full: a verify cut short leaves it so, one that differs needs it again.
            [&] {
                frame_.noteFirmware(LightBarState::Firmware::Programmed);
                verifyCode(image, false);
                if (frame_.result() == result::CodeVerifyError)
                    frame_.noteFirmware(LightBarState::Firmware::Incomplete);
            },
            [&] { frame_.noteFirmware(LightBarState::Firmware::Complete); },
        });
}

ResultCode FirmwareJobs::readDataMemory(std::uint8_t* buffer, std::uint16_t count) {
    return frame_.run({.title = "--- Read Light Bar EEPROM Data ---", .finalReport = false},
                      {[&] {
                          dataMemory_.fill(0);
                          const std::size_t n = std::min<std::size_t>(count, dataMemory_.size());
                          frame_.beginLongStep(formatLine(" Reading %zu bytes from Light Bar", n));
                          const std::size_t i = frame_.runLoop(
                              {.to = n, .every = 64, .total = n}, [&](std::size_t k) {
                                  dataMemory_[k] =
                                      frame_.isp().readDataByte(static_cast<std::uint16_t>(k));
                                  return JobFrame::Next::Byte;
                              });
                          if (frame_.endLongStep(JobFrame::percentOf(i, n),
                                                 " Finished Reading Light Bar"))
                              std::copy_n(dataMemory_.begin(), n, buffer);
                      }});
}

} // namespace tessel
