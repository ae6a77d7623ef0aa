// The block jobs: read, verify, program, convert and initialise the light bar's configuration
// block. The block area mirrors flash 0x1F000..0x1FFFF; in every area the engine holds, a
// withdrawn character (a zero byte in flash) is "~".
#include "jobs/ChipProgrammer.h"

#include "jobs/InPlaceUpdate.h"
#include "jobs/LineFormat.h"
#include "jobs/ResultCode.h"

#include <algorithm>
#include <cstring>

namespace tessel {

namespace {

constexpr std::uint32_t kBlockBase = kBlockAreaBase;
constexpr std::uint8_t kWithdrawnByte = 0x00;

std::uint8_t toFlash(std::uint8_t b) { return toFlashByte(b); }
std::uint8_t fromFlash(std::uint8_t b) { return fromFlashByte(b); }

// A block is written from its title to its end, plus a zero byte after a format 1 block; all of
// it must lie inside the area, or the write would address flash past 0x1FFFF.
bool fitsInArea(const BlockView& view) {
    const std::size_t trailer = view.format < 2 ? 1 : 0;
    return view.present() && view.location.blockEnd() + trailer <= kBlockAreaSize;
}

// The text of one line from offset k up to the next CR (at most 99 characters), bounded by the area.
std::string lineAt(const BlockArea& area, std::size_t k) {
    std::string text;
    while (k < area.size() && area[k] != '\r' && text.size() < 99)
        text += static_cast<char>(area[k++]);
    return text;
}

} // namespace

void ChipProgrammer::readBlockArea(BlockView& view) {
    view.area.fill(0xFF);
    view.location = BlockLocation{};
    if (!ok()) return;
    beginLongStep(" Reading Light Bar VCB");

    static constexpr char kEnd[] = "< end >";
    std::size_t count = 0;
    runLoop({.to = kBlockAreaSize, .every = 64, .total = kBlockAreaSize, .countDone = true},
            [&](std::size_t i) {
                view.area[i] =
                    fromFlash(isp_.readFlashByte(kBlockBase + static_cast<std::uint32_t>(i)));
                count = i + 1;
                // Reading ends four bytes after the end marker: its CR LF and two more bytes.
                const bool end =
                    count >= 33 && std::memcmp(view.area.data() + count - 11, kEnd, 7) == 0;
                return end ? Step::Last : Step::Next;
            });
    if (!endLongStep(ok() ? 100 : percentOf(count, kBlockAreaSize),
                     " Finished Reading Light Bar VCB"))
        return;
    view.locate();
    if (!view.present()) fail(result::NoValidVcb);
}

void ChipProgrammer::compact(BlockView& view) {
    if (!view.present()) {
        fail(result::NoValidVcb);
        return;
    }
    compactBlock(view.area);
    view.locate();
}

void ChipProgrammer::showBlock(const BlockArea& area) {
    if (!ok()) return;
    display_.area = area;
    display_.locate();
    compact(display_);
    if (!ok()) return;
    const auto* text = reinterpret_cast<const char*>(display_.area.data());
    window_.showBlock(std::string_view(text, display_.location.length));
}

void ChipProgrammer::writeBlock(BlockView& view) {
    if (!ok()) return;
    beginLongStep(" Programming Light Bar VCB");

    view.locate();
    if (!fitsInArea(view)) {
        fail(result::ReferenceVcbNotValid);
        return;
    }
    const std::size_t offset = runLoop(
        {.from = view.location.title,
         .to = view.location.blockEnd(),
         .every = 64,
         .total = kBlockAreaSize},
        [&](std::size_t i) {
            isp_.writeFlashByte(kBlockBase + static_cast<std::uint32_t>(i), toFlash(view.area[i]));
            return Step::Next;
        });
    if (ok() && view.format < 2)
        isp_.writeFlashByte(kBlockBase + static_cast<std::uint32_t>(offset), kWithdrawnByte);
    if (ok()) isp_.finishPageWriting();
    endLongStep(percentOf(offset, kBlockAreaSize), " Light Bar VCB is Programmed");
}

void ChipProgrammer::canonicalize(BlockArea& area) {
    host_.parseBlock(area);
    host_.loadIntoWindows();
    host_.renderBlock(area); // a record whose text does not fit leaves no block: refused below
}

bool ChipProgrammer::compareBytes(const BlockArea& lightBar, std::size_t l0,
                                  const BlockArea& reference, std::size_t r0, std::size_t n) {
    std::size_t lineStart = 0; // where the current line of the reference begins
    for (std::size_t k = 0; k < n; ++k) {
        const bool inArea = l0 + k < kBlockAreaSize;
        if (inArea && lightBar[l0 + k] == reference[r0 + k]) {
            if (reference[r0 + k] == '\n') lineStart = k + 1;
            continue;
        }
        window_.removeLastLine();
        window_.errorLine(" Light Bar VCB Verify error:");
        window_.plainLine("<VCB> " + lineAt(reference, r0 + lineStart));
        window_.plainLine("< LB> " + lineAt(lightBar, l0 + lineStart));
        return false;
    }
    return true;
}

bool ChipProgrammer::compareTexts(const BlockView& lightBar, const BlockView& reference) {
    if (!compareBytes(lightBar.area, lightBar.location.title, reference.area,
                      reference.location.title, reference.location.length))
        return false;
    window_.removeLastLine();
    if (lightBar.location.length == reference.location.length) {
        window_.successLine(" Light Bar VCB Verified Ok");
        return true;
    }
    window_.errorLine(lightBar.location.length < reference.location.length
                          ? " Light Bar VCB is short"
                          : " Light Bar VCB is long");
    return false;
}

bool ChipProgrammer::compareBlocks(BlockView& lightBar, BlockView& reference) {
    if (!ok()) return false;
    window_.progressLine(" Verifying Light Bar VCB");
    // Both texts are brought to the form this program renders, so a block written by other
    // means compares by its values, not by its spacing. The windows end showing the reference.
    canonicalize(lightBar.area);
    canonicalize(reference.area);
    reference.locate();
    if (!reference.present()) fail(result::ReferenceVcbNotValid);
    lightBar.locate();
    if (!lightBar.present()) fail(result::NoValidVcb);
    if (ok() && lightBar.format != reference.format) fail(result::VcbFormatsDoNotMatch);
    if (!ok()) return false;
    return compareTexts(lightBar, reference);
}

// Whether the reference can be written over the light bar's flash as it is: programming can
// clear bits but never set them. Reads the whole block area.
bool ChipProgrammer::needsNoErase(const BlockView& reference) {
    runLoop({.to = kBlockAreaSize, .every = 64, .total = kBlockAreaSize, .countDone = true},
            [&](std::size_t i) {
                lightBarArea_[i] =
                    fromFlash(isp_.readFlashByte(kBlockBase + static_cast<std::uint32_t>(i)));
                return Step::Next;
            });
    if (!ok()) return false;
    for (std::size_t i = 0; i < kBlockAreaSize; ++i) {
        const std::uint8_t wanted = toFlash(reference.area[i]);
        const std::uint8_t stored = toFlash(lightBarArea_[i]);
        if ((wanted & ~stored) != 0) return false;
    }
    return true;
}

// A block that was written but reads back differently must not end as a success.
void ChipProgrammer::writeAndVerify() {
    writeBlock(reference_);
    readBlockArea(after_);
    if (!compareBlocks(after_, reference_)) fail(result::VcbVerifyError);
}

int ChipProgrammer::readBlock(BlockArea& area) {
    return runJob("--- Read Light Bar VCB ---", true, Access::Read, Report::Final, [&] {
        after_.area = area;
        if (ok()) {
            readBlockArea(after_);
            if (ok() && after_.format != 1 && after_.format != 2)
                fail(result::IncorrectVcbFormatNumber);
        }
        showBlock(after_.area);
        area = after_.area;
    });
}

int ChipProgrammer::verifyBlock(const BlockArea& reference) {
    bool match = true; // stays true when the engine is busy and no job runs
    const int code = runJob("--- Verify Light Bar VCB ---", true, Access::Read, Report::Final, [&] {
        reference_.area = reference;
        reference_.locate();
        showBlock(reference_.area);
        if (ok()) {
            readBlockArea(after_);
            if (ok() && after_.format != 1 && after_.format != 2)
                fail(result::IncorrectVcbFormatNumber);
        }
        match = compareBlocks(after_, reference_);
    });
    if (match) return code;
    // The log has shown the difference already: the result changes after the report.
    fail(result::VcbVerifyError);
    return result();
}

int ChipProgrammer::programBlock(const BlockArea& reference) {
    return runJob("--- Program Light Bar VCB ---", true, Access::Write, Report::Final,
                  [&] { programBlockSteps(reference); });
}

void ChipProgrammer::programBlockSteps(const BlockArea& reference) {
    showBlock(reference);

    bool lightBarRead = false;
    if (ok()) {
        reference_.area = reference;
        reference_.locate();
        readBlockArea(before_);
        lightBarRead = true;
        if (ok() && reference_.format != 1 && reference_.format != 2)
            fail(result::IncorrectVcbFormatNumber);
        if (ok() && !fitsInArea(reference_)) fail(result::ReferenceVcbNotValid);
    }

    bool eraseNeeded = true;
    if (ok() && reference_.format == 2 && before_.format == 2) {
        if (needsNoErase(reference_)) {
            eraseNeeded = false;
        } else if (ok() && inPlaceUpdate(reference_.area, lightBarArea_, work_)) {
            reference_.locate();
            eraseNeeded = false;
        }
    }
    if (eraseNeeded) {
        confirmedErase(" Light Bar will be Erased");
    } else if (ok()) {
        window_.plainLine(" Light Bar Erasure not required");
    }

    // Asked whatever the erase's outcome, so the operator sees the change even after a Cancel.
    const int r = result();
    if (lightBarRead && before_.present() && (r == result::Ok || r == result::EraseCancelled) &&
        before_.serialNumber != reference_.serialNumber) {
        window_.errorLine(" Serial Number is being changed");
        window_.errorLine(formatLine("   from %d to %d.", before_.serialNumber,
                                     reference_.serialNumber));
        window_.progressLine("   --- ARE YOU SURE? ---");
        const bool yes = window_.askYesNo();
        window_.removeLastLine();
        if (!yes) {
            fail(result::SerialNumberChangeCancelled);
            window_.errorLine(" Serial Number change is aborted");
        }
    }

    if (ok()) writeAndVerify();
}

int ChipProgrammer::convertBlock(int targetFormat) {
    const std::string title = formatLine("--- Convert Light Bar VCB to Format %d ---", targetFormat);
    return runJob(title, true, Access::Write, Report::Final,
                  [&] { convertBlockSteps(targetFormat); });
}

void ChipProgrammer::convertBlockSteps(int targetFormat) {
    bool lightBarRead = false;
    if (ok()) {
        readBlockArea(before_);
        lightBarRead = true;
        if (before_.present()) showBlock(before_.area);
        if (ok() && before_.format == targetFormat) {
            fail(result::ConvertingFormatNumberIsOk);
            window_.errorLine(formatLine(" VCB is already Format %d", targetFormat));
        }
    }
    if (ok()) {
        after_.area = before_.area;
        after_.locate();
        compact(after_);
        if (ok()) {
            if (!convertText(after_.blockText(), targetFormat, reference_.area))
                fail(result::ReferenceVcbNotValid);
            canonicalize(reference_.area);
            reference_.locate();
            if (!fitsInArea(reference_)) fail(result::ReferenceVcbNotValid);
        }
    }
    showBlock(reference_.area);
    confirmedErase(" Light Bar will be Erased", "  (Firmware must be programmed afterward)");

    if (!ok()) {
        // The windows go back to the block the light bar still holds.
        if (lightBarRead && before_.present()) {
            reference_.area = before_.area;
            canonicalize(reference_.area);
        }
    } else {
        writeAndVerify();
    }
}

int ChipProgrammer::initDefaultBlock() {
    return runJob("--- Initialize Default VCB ---", true, Access::Write, Report::Final,
                  [this] { initDefaultBlockSteps(); });
}

void ChipProgrammer::initDefaultBlockSteps() {
    if (ok()) {
        readBlockArea(before_);
        if (before_.present() && ok()) {
            showBlock(before_.area);
            fail(result::VcbAlreadyExists);
            window_.errorLine(" Cannot Init. VCB already exists.");
        } else if (result() == result::NoValidVcb) {
            port_.setResult(result::Ok); // no block is what this job needs
        }
    }
    if (ok()) {
        host_.resetToDefaultBlock();
        host_.loadIntoWindows();
        if (!host_.renderBlock(reference_.area)) fail(result::ReferenceVcbNotValid);
        reference_.locate();
    }
    showBlock(reference_.area);
    confirmedErase(" Light Bar will be Erased", "  (Firmware must be programmed afterward)");
    writeAndVerify();
}

} // namespace tessel
