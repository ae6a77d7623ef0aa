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
    frame_.endLongStep(JobFrame::percentOf(i, eeprom_.size()), " Finished Reading Light Bar EEPROM");
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
            [&] {
                frame_.eraseAndRewrite(" Light Bar will be Erased", {}, [&] {
                    blockJobs_.writeAndVerify(planWriteAfterErase(reference.area));
                });
            },
            [&] { blockJobs_.restoreDataMemory(eeprom_); },
            [&] {
                frame_.noteFirmware(LightBarState::Firmware::Incomplete);
                firmwareJobs_.programCode(*order.image);
            },
            [&] { firmwareJobs_.verifyCode(*order.image, false); },
            [&] { frame_.noteFirmware(LightBarState::Firmware::Complete); },
        });
}

bool UnitJob::chipAnswers() {
    if (frame_.busy()) return false;
    IspPort& port = frame_.port();
    if (!port.open()) return false;
    const bool answers = frame_.isp().programmingEnable() == result::Ok;
    port.close();
    return answers;
}

} // namespace tessel
