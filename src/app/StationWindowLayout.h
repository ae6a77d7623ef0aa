#pragma once

#include "app/WindowLayout.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// "Production Station": a header with the profile, the firmware, the serial numbers left, the
// run's counts and the buttons for all bays, over one pane per bay, four to a row. A pane holds
// the bay's port, its state in letters large enough to read from two metres on the state's
// colour, the unit's serial number or why it failed, the job's step and progress, its last log
// lines, and the bay's Start and Cancel.
WindowLayout stationWindowLayout(std::size_t bays);

// File > "Production Station…": the profiles its file dialog offers (besides all files).
// The station profile dialog's filters.
inline constexpr std::array<FileFilter, 2> kStationFileFilters = {
    {{"Station profiles", "*.station"}, kAllFiles}};

// The name of a bay's control (bays count from 0): "lBay1State" for part "State".
std::string bayControl(std::size_t bay, std::string_view part);

} // namespace tessel
