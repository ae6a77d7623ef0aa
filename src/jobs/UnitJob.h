#pragma once

#include "block/BlockArea.h"
#include "firmware/FirmwareImage.h"
#include "jobs/BlockBackup.h"
#include "jobs/BlockJobs.h"
#include "jobs/BlockSteps.h"
#include "jobs/FirmwareJobs.h"
#include "jobs/JobFrame.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tessel {

// What a unit holds before anything of it is written: the serial number of its block when it
// holds a valid one, and its data memory as read.
struct UnitFound {
    std::optional<std::int32_t> serialNumber{};
    const BlockBackup::Eeprom& eeprom;
};

// The block a unit is to get and the serial number it carries, or why the unit gets none. A
// number given (serialNumber) stays the unit's even when the block could not be made.
struct UnitBlock {
    std::optional<std::int32_t> serialNumber{};
    ResultCode result = result::Ok;
    std::string problem{}; // the log's line when result is not Ok
    BlockArea area{};      // the rendered block
};

// Gives the unit its number and block from what it holds. Whoever runs the unit job supplies it
// (the station keeps the numbers), so the job knows nothing of where numbers come from.
using UnitNumbering = std::function<UnitBlock(const UnitFound&)>;

struct UnitOrder {
    const FirmwareImage* image = nullptr;
    const std::string* path = nullptr; // the firmware file, named in the log (may be null)
    UnitNumbering numbering;
};

// A light bar made ready in one job, from the steps of the block and firmware jobs: read its
// signature, fuses, block and data memory; take its serial number; back it up; erase it; write
// its data memory back, so its tilt calibration record survives the erase; write and verify the
// block; program and verify the firmware. The data memory and the block go back inside the
// erase's rewrite stretch (as the firmware job puts a kept block back), so a unit stopped
// later already holds its calibration and its number.
class UnitJob {
public:
    UnitJob(JobFrame& frame, BlockSteps& blocks, BlockJobs& blockJobs, FirmwareJobs& firmwareJobs)
        : frame_(frame), blocks_(blocks), blockJobs_(blockJobs), firmwareJobs_(firmwareJobs) {}

    ResultCode run(const UnitOrder& order);
    // The serial number the last unit was given; none when its job stopped before.
    std::optional<std::int32_t> serialNumber() const { return serialNumber_; }
    // Whether a chip answers on the port: opened, programming enabled (holding the chip in
    // reset) and closed again, with no job around it. False while a job runs.
    bool chipAnswers();

private:
    void readDataMemory();
    void takeNumber(const UnitOrder& order);

    JobFrame& frame_;
    BlockSteps& blocks_;
    BlockJobs& blockJobs_;
    FirmwareJobs& firmwareJobs_;
    BlockBackup::Eeprom eeprom_{};
    std::optional<std::int32_t> serialNumber_{};
};

} // namespace tessel
