#pragma once

#include "block/ConfigBlock.h"

#include <string>

namespace tessel {

// The record as plain "label: value" lines, one per field, under the labels of the block text.
std::string recordLines(const ConfigBlock& record);

} // namespace tessel
