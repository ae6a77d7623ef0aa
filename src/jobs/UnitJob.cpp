#include "jobs/UnitJob.h"

#include "jobs/LineFormat.h"
#include "jobs/RewritePlan.h"

namespace tessel {

void UnitJob::readDataMemory() {
    frame_.beginLongStep(" Reading Light Bar EEPROM");
    const std::size_t i = frame_.runLoop(
        {.to = eeprom_.size(), .every = 64, .total = eeprom_.size(), .countDone = true},
        [&](std::size_t k) {
            eeprom_[k] = frame_.isp().readDataByte(static_cast<std::uint16_t>(k));
            return JobFrame::Next::Byte;
        });
    frame_.endLongStep(JobFrame::percentOf(i, eeprom_.size()),
                       " Finished Reading Light Bar EEPROM");
}

void UnitJob::takeNumber(const UnitOrder& order) {
    const BlockView& before = blocks_.before;
    UnitBlock unit = order.numbering(
        {before.present() ? std::optional(before.serialNumber) : std::nullopt, eeprom_});
    serialNumber_ = unit.serialNumber;
    if (unit.result != result::Ok) {
        frame_.window().errorLine(" " + unit.problem);
        frame_.fail(unit.result);
        return;
    }
    frame_.window().plainLine(formatLine(" Serial Number is %d", *unit.serialNumber));
    BlockView& reference = blocks_.reference;
    reference.area = unit.area;
    reference.locate();
    if (!fitsInArea(reference) || reference.serialNumber != *unit.serialNumber)
        frame_.fail(result::ReferenceVcbNotValid);
}

ResultCode UnitJob::run(const UnitOrder& order) {
    serialNumber_.reset();
    if (firmwareJobs_.refused(*order.image)) return frame_.result();
    BlockView& reference = blocks_.reference;
    return frame_.run(
        {.title = "--- Program Light Bar Unit ---", .blockPane = true, .writes = true},
        {
            [&] { firmwareJobs_.introduceImage(*order.image, order.path); },
            // A new light bar holds no block yet.
            [&] {
                blocks_.readBlockArea(blocks_.before);
                frame_.accept(result::NoValidVcb);
            },
            [&] { readDataMemory(); },
            [&] { takeNumber(order); },
            [&] { blocks_.showBlock(reference.area); },
            [&] { frame_.backUp(*serialNumber_, true); },
            // The erase clears the data memory too: its calibration record goes back first.
            [&] {
                frame_.eraseAndRewrite(" Light Bar will be Erased", {}, [&] {
                    frame_.steps({
                        [&] { blockJobs_.restoreDataMemory(eeprom_); },
                        [&] { blockJobs_.writeAndVerify(planWriteAfterErase(reference.area)); },
                    });
                });
            },
            [&] {
                frame_.noteFirmware(LightBarState::Firmware::Incomplete);
                firmwareJobs_.programCode(*order.image);
            },
            [&] { firmwareJobs_.verifyCode(*order.image, false); },
            [&] { frame_.noteFirmware(LightBarState::Firmware::Complete); },
        });
}

// The port takes every line operation for part of a job whose result is not 0 as failed: the
// probe starts from 0, as a job does, and leaves the last job's result as it was.
bool UnitJob::chipAnswers() {
    if (frame_.busy()) return false;
    const ResultCode lastJob = frame_.result();
    frame_.refuse(result::Ok);
    IspPort& port = frame_.port();
    const bool answers = port.open() && frame_.isp().programmingEnable() == result::Ok;
    port.close();
    frame_.refuse(lastJob);
    return answers;
}

} // namespace tessel
