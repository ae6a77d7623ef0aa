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

std::optional<RewritePlan> BlockJobs::planWithoutErase() {
    BlockView& reference = blocks_.reference;
    const BlockView& before = blocks_.before;
    if (before.present() && (reference.format != 2 || before.format != 2)) return std::nullopt;
    frame_.readWholeBlockArea();
    if (!frame_.ok()) return std::nullopt;
    const BlockArea& stored = frame_.wholeBlockArea();
    // Written straight over the old text when it can be, unless that would pass through a mix
    // the in-place update avoids.
    std::optional<RewritePlan> over;
    if (needsNoErase()) over = planRewrite(stored, reference.area);
    if (over && over->clean()) return over;
    if (!before.present()) return over;
    BlockArea updated = reference.area;
    BlockArea work{};
    if (!inPlaceUpdate(updated, stored, work)) return over;
    auto plan = planRewrite(stored, updated);
    if (!plan || (over && !plan->clean())) return over;
    reference.area = updated;
    reference.locate();
    return plan;
}

void BlockJobs::confirmSerialNumberChange(SerialChange change) {
    const BlockView& before = blocks_.before;
    const BlockView& reference = blocks_.reference;
    if (!before.present() || before.serialNumber == reference.serialNumber) return;
    JobWindow& window = frame_.window();
    window.errorLine(" Serial Number is being changed");
    window.errorLine(
        formatLine("   from %d to %d.", before.serialNumber, reference.serialNumber));
    if (change == SerialChange::Accept) return;
    bool yes = false;
    if (change == SerialChange::Ask) {
        window.progressLine("   --- ARE YOU SURE? ---");
        yes = window.askYesNo();
        window.removeLastLine();
    }
    if (yes) return;
    frame_.fail(result::SerialNumberChangeCancelled);
    window.errorLine(" Serial Number change is aborted");
}

void BlockJobs::writeReference(const std::optional<RewritePlan>& plan, bool sayFirmwareGoes) {
    if (!plan) {
        frame_.eraseAndRewrite(kEraseLine, sayFirmwareGoes ? kFirmwareGoneLine : "", [&] {
            writeAndVerify(planWriteAfterErase(blocks_.reference.area));
        });
        return;
    }
    frame_.window().plainLine(" Light Bar Erasure not required");
    frame_.rewrite([&] { writeAndVerify(*plan); });
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
void BlockJobs::writeAndVerify(const RewritePlan& plan) {
    BlockView& reference = blocks_.reference;
    BlockView& after = blocks_.after;
    frame_.steps({
        [&] { blocks_.writePlan(plan); },
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
    std::optional<RewritePlan> plan;
    return frame_.run(
        {.title = "--- Program Light Bar VCB ---", .blockPane = true, .writes = true},
        {
            [&] { blocks_.showBlock(reference); },
            [&] { readForProgramming(reference); },
            [&] { plan = planWithoutErase(); },
            [&] { frame_.backUp(before.serialNumber, !plan); },
            [&] { confirmSerialNumberChange(SerialChange::Ask); },
            [&] { writeReference(plan, false); },
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
                    writeAndVerify(planWriteAfterErase(reference.area));
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
            [&] { writeReference(std::nullopt, true); },
        });
}

} // namespace tessel
