#include "jobs/BlockJobs.h"

#include "jobs/InPlaceUpdate.h"
#include "jobs/LineFormat.h"

namespace tessel {

namespace {
constexpr const char* kEraseLine = " Light Bar will be Erased";
constexpr const char* kFirmwareGoneLine = "  (Firmware must be programmed afterward)";
} // namespace

void BlockJobs::checkFormat(const BlockView& view) {
    if (view.format != 1 && view.format != 2) frame_.fail(result::IncorrectVcbFormatNumber);
}

bool BlockJobs::needsNoErase() const {
    const BlockArea& stored = frame_.wholeBlockArea();
    const BlockArea& wanted = blocks_.reference.area;
    for (std::size_t i = 0; i < kBlockAreaSize; ++i)
        if ((toFlashByte(wanted[i]) & ~toFlashByte(stored[i])) != 0) return false;
    return true;
}

bool BlockJobs::canRewriteWithoutErase() {
    BlockView& reference = blocks_.reference;
    if (reference.format != 2 || blocks_.before.format != 2) return false;
    frame_.readWholeBlockArea();
    if (!frame_.ok()) return false;
    if (needsNoErase()) return true;
    BlockArea work{};
    if (!inPlaceUpdate(reference.area, frame_.wholeBlockArea(), work)) return false;
    reference.locate();
    return true;
}

void BlockJobs::confirmSerialNumberChange() {
    const BlockView& before = blocks_.before;
    const BlockView& reference = blocks_.reference;
    if (before.serialNumber == reference.serialNumber) return;
    JobWindow& window = frame_.window();
    window.errorLine(" Serial Number is being changed");
    window.errorLine(
        formatLine("   from %d to %d.", before.serialNumber, reference.serialNumber));
    window.progressLine("   --- ARE YOU SURE? ---");
    const bool yes = window.askYesNo();
    window.removeLastLine();
    if (yes) return;
    frame_.fail(result::SerialNumberChangeCancelled);
    window.errorLine(" Serial Number change is aborted");
}

void BlockJobs::readAndShowBefore() {
    blocks_.readBlockArea(blocks_.before);
    if (blocks_.before.present()) blocks_.showBlock(blocks_.before.area);
}

void BlockJobs::readForProgramming(const BlockArea& referenceArea) {
    BlockView& reference = blocks_.reference;
    reference.area = referenceArea;
    reference.locate();
    blocks_.readBlockArea(blocks_.before);
    checkFormat(reference);
    if (!fitsInArea(reference)) frame_.fail(result::ReferenceVcbNotValid);
}

void BlockJobs::refuseSameFormat(int targetFormat) {
    if (blocks_.before.format != targetFormat) return;
    frame_.fail(result::ConvertingFormatNumberIsOk);
    frame_.window().errorLine(formatLine(" VCB is already Format %d", targetFormat));
}

void BlockJobs::convertToReference(int targetFormat) {
    BlockView& after = blocks_.after;
    BlockView& reference = blocks_.reference;
    frame_.steps({
        [&] {
            after.area = blocks_.before.area;
            after.locate();
            blocks_.compact(after);
        },
        [&] {
            if (!convertText(after.blockText(), targetFormat, reference.area))
                frame_.fail(result::ReferenceVcbNotValid);
            blocks_.canonicalize(reference.area);
            reference.locate();
            if (!fitsInArea(reference)) frame_.fail(result::ReferenceVcbNotValid);
        },
    });
}

void BlockJobs::refuseExistingBlock() {
    blocks_.readBlockArea(blocks_.before);
    if (!blocks_.before.present()) {
        frame_.accept(result::NoValidVcb);
        return;
    }
    blocks_.showBlock(blocks_.before.area);
    frame_.fail(result::VcbAlreadyExists);
    frame_.window().errorLine(" Cannot Init. VCB already exists.");
}

void BlockJobs::renderDefaultBlock() {
    host_.resetToDefaultBlock();
    host_.loadIntoWindows();
    if (!host_.renderBlock(blocks_.reference.area)) frame_.fail(result::ReferenceVcbNotValid);
    blocks_.reference.locate();
}

// A block that was written but reads back differently must not end as a success.
void BlockJobs::writeAndVerify() {
    BlockView& reference = blocks_.reference;
    BlockView& after = blocks_.after;
    frame_.steps({
        [&] { blocks_.writeBlock(reference); },
        [&] { blocks_.readBlockArea(after); },
        [&] {
            if (!blocks_.compareBlocks(after, reference)) frame_.fail(result::VcbVerifyError);
        },
    });
}

ResultCode BlockJobs::readBlock(BlockArea& area) {
    BlockView& after = blocks_.after;
    return frame_.run({.title = "--- Read Light Bar VCB ---", .blockPane = true},
                      {
                          [&] {
                              blocks_.readBlockArea(after);
                              area = after.area; // also what was read before a failure
                              checkFormat(after);
                          },
                          [&] { blocks_.showBlock(after.area); },
                      });
}

ResultCode BlockJobs::verifyBlock(const BlockArea& reference) {
    BlockView& after = blocks_.after;
    return frame_.run(
        {.title = "--- Verify Light Bar VCB ---", .blockPane = true},
        {
            [&] {
                blocks_.reference.area = reference;
                blocks_.reference.locate();
                blocks_.showBlock(blocks_.reference.area);
            },
            [&] {
                blocks_.readBlockArea(after);
                checkFormat(after);
            },
            [&] {
                // The log has shown the difference already: the result changes after the report.
                if (!blocks_.compareBlocks(after, blocks_.reference))
                    frame_.failAfterReport(result::VcbVerifyError);
            },
        });
}

ResultCode BlockJobs::programBlock(const BlockArea& reference) {
    BlockView& before = blocks_.before;
    bool eraseNeeded = true;
    return frame_.run(
        {.title = "--- Program Light Bar VCB ---", .blockPane = true, .writes = true},
        {
            [&] { blocks_.showBlock(reference); },
            [&] { readForProgramming(reference); },
            [&] { eraseNeeded = !canRewriteWithoutErase(); },
            [&] { frame_.backUp(before.serialNumber, eraseNeeded); },
            [&] { confirmSerialNumberChange(); },
            [&] {
                if (eraseNeeded)
                    return frame_.eraseAndRewrite(kEraseLine, {}, [&] { writeAndVerify(); });
                frame_.window().plainLine(" Light Bar Erasure not required");
                frame_.rewrite([&] { writeAndVerify(); });
            },
        });
}

ResultCode BlockJobs::convertBlock(int targetFormat) {
    BlockView& before = blocks_.before;
    BlockView& reference = blocks_.reference;
    bool writing = false;
    return frame_.run(
        {.title = formatLine("--- Convert Light Bar VCB to Format %d ---", targetFormat),
         .blockPane = true,
         .writes = true},
        {
            [&] { readAndShowBefore(); },
            [&] { refuseSameFormat(targetFormat); },
            [&] { convertToReference(targetFormat); },
            [&] { blocks_.showBlock(reference.area); },
            [&] { frame_.backUp(before.serialNumber, true); },
            [&] {
                frame_.eraseAndRewrite(kEraseLine, kFirmwareGoneLine, [&] {
                    writing = true;
                    writeAndVerify();
                });
            },
        },
        [&] {
            // Stopped before writing: the windows go back to the block the light bar holds.
            if (writing || !before.present()) return;
            reference.area = before.area;
            blocks_.canonicalize(reference.area);
        });
}

ResultCode BlockJobs::initDefaultBlock() {
    return frame_.run(
        {.title = "--- Initialize Default VCB ---", .blockPane = true, .writes = true},
        {
            [&] { refuseExistingBlock(); },
            [&] { renderDefaultBlock(); },
            [&] { blocks_.showBlock(blocks_.reference.area); },
            [&] { frame_.backUp(blocks_.before.serialNumber, true); },
            [&] { frame_.eraseAndRewrite(kEraseLine, kFirmwareGoneLine, [&] { writeAndVerify(); }); },
        });
}

} // namespace tessel
