#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Numbers read from text the same way in every locale ("." is the decimal point) and only when
// the whole text is the number: the block's fields, the INI file's values, the command line's
// arguments.
namespace tessel {

// An optional sign and decimal digits, within 32 bits; nothing else.
std::optional<std::int32_t> strictInteger(std::string_view text);
// A finite decimal real ("12", "-1.5", ".5", "5.", "1e3"); surrounding blanks are allowed,
// nothing else is ("inf", "nan", "0x1p3" are not numbers here).
std::optional<double> strictReal(std::string_view text);

} // namespace tessel
