#pragma once

#include "block/ConfigBlock.h"
#include "sim/VirtualLightBar.h"

#include <cstdint>

namespace tessel {

// Where a factory-fresh unit's tilt calibration record sits in its data memory.
inline constexpr std::uint32_t kFactoryTiltAddress = 32;

// The tilt calibration a factory measured for its unit number n (a complete record, different
// for every n).
TiltCalibration factoryTilt(std::uint32_t n);

// Makes the virtual light bar a unit as it comes to the station: blank flash, the ATmega128's
// factory fuses, and in its data memory (blank otherwise) the tilt calibration record the
// factory wrote when it calibrated the sensor.
void makeFactoryFresh(VirtualLightBar& bar, std::uint32_t n);

} // namespace tessel
