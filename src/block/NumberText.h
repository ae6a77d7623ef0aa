#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers written as the block and its windows show them. All of them ignore the C library's
// locale: the decimal point is "." whatever the user's settings say (reading them back:
// support/StrictNumber.h).
namespace tessel::numtext {

// "%d" / "%1d": plain signed decimal.
std::string decimal(long long value);
// "%5d": right-aligned in five characters (longer numbers take the room they need).
std::string decimal5(long long value);
// "%1.3f": at least one digit before the point, exactly three after.
std::string fixed3(double value);
// Up to 15 significant digits, no trailing zeros, "." as the point (3.048, 10, 0.5, 1e+300).
std::string shortestReal(double value);

// Celsius to Fahrenheit as the calibration window shows it: integer arithmetic, rounding to the
// nearest degree for non-negative values only; the result wraps to 16 bits.
std::int16_t fahrenheitFromCelsius(std::int16_t celsius);
// The reverse conversion, with the same rounding rule.
std::int16_t celsiusFromFahrenheit(std::int16_t fahrenheit);

} // namespace tessel::numtext
