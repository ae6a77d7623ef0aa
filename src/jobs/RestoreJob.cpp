// The restore job: a saved block area back into the light bar in one job, initialising the light
// bar on the way when it holds no block, and the saved data memory after it.
#include "jobs/BlockJobs.h"

#include "jobs/LineFormat.h"

#include <algorithm>

namespace tessel {

void BlockJobs::placeSavedBlock(const BlockArea& saved) {
    BlockView compacted;
    compacted.area = saved;
    compacted.locate();
    blocks_.compact(compacted);
    if (!frame_.ok()) return;
    BlockView& reference = blocks_.reference;
    reference.area.fill(0xFF);
    const std::size_t at = compacted.format < 2 ? kFormat1Offset : 0;
    std::copy_n(compacted.area.begin(), compacted.location.length,
                reference.area.begin() + static_cast<std::ptrdiff_t>(at));
    reference.locate();
    checkFormat(reference);
    if (!fitsInArea(reference)) frame_.fail(result::ReferenceVcbNotValid);
}

void BlockJobs::restoreDataMemory(const BlockBackup::Eeprom& saved) {
    frame_.beginLongStep(" Restoring Light Bar EEPROM");
    IspInstructions& isp = frame_.isp();
    std::uint8_t chipByte = 0;
    bool written = false; // a byte write reached the chip, or may have
    // Only the bytes that differ are written (each costs tWD_EEPROM); each is read back.
    const std::size_t i = frame_.runLoop(
        {.to = saved.size(), .every = 64, .total = saved.size(), .countDone = true},
        [&](std::size_t k) {
            const auto address = static_cast<std::uint16_t>(k);
            chipByte = isp.readDataByte(address);
            if (frame_.ok() && chipByte != saved[k]) {
                isp.writeDataByte(address, saved[k]);
                written = written || isp.delivery(isp.lastChange()) != Delivery::NotSent;
                chipByte = isp.readDataByte(address);
            }
            if (!frame_.ok() || chipByte == saved[k]) return JobFrame::Next::Byte;
            frame_.fail(result::Error);
            return JobFrame::Next::Stop;
        });
    JobWindow& window = frame_.window();
    if (frame_.result() == result::Error) {
        window.removeLastLine();
        window.errorLine(formatLine(" EEPROM Verify Error @%04zx chip=%02x data=%02x", i, chipByte,
                                    saved[i]));
    } else if (frame_.result() == result::OperationAborted) {
        window.removeLastLine();
        window.errorLine(" Light Bar EEPROM restore aborted");
    }
    // Cut short: what it wrote stays, and the same restore writes the rest.
    if (written && !frame_.ok() && frame_.result() != result::Error)
        window.errorLine(" Light Bar EEPROM is partly written: the same restore finishes it");
    frame_.endLongStep(JobFrame::percentOf(i, saved.size()), " Light Bar EEPROM is Restored");
}

ResultCode BlockJobs::restore(const SavedLightBar& saved) {
    BlockView& before = blocks_.before;
    std::optional<RewritePlan> plan;
    return frame_.run(
        {.title = "--- Restore Light Bar from Backup ---", .blockPane = true, .writes = true},
        {
            [&] {
                if (saved.path) {
                    frame_.window().plainLine(" Backup was read from:");
                    frame_.window().plainLine("   " + *saved.path);
                }
                blocks_.showBlock(*saved.blockArea);
            },
            [&] { placeSavedBlock(*saved.blockArea); },
            // A light bar without a block is what a restore is for.
            [&] {
                blocks_.readBlockArea(before);
                frame_.accept(result::NoValidVcb);
            },
            [&] { confirmSerialNumberChange(saved.otherSerialNumber); },
            [&] { plan = planWithoutErase(); },
            [&] { frame_.backUp(before.serialNumber, !plan || saved.eeprom != nullptr); },
            [&] { writeReference(plan, true); },
            [&] {
                if (saved.eeprom) restoreDataMemory(*saved.eeprom);
            },
        });
}

} // namespace tessel
