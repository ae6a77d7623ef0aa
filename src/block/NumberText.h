#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number <-> text conversions of the block and its windows. All of them ignore the C library's
// locale: the decimal point is "." whatever the user's settings say.
namespace tessel::numtext {

// "%d" / "%1d": plain signed decimal.
std::string decimal(long long value);
// "%5d": right-aligned in five characters (longer numbers take the room they need).
std::string decimal5(long long value);
// "%1.3f": at least one digit before the point, exactly three after.
std::string fixed3(double value);
// Up to 15 significant digits, no trailing zeros, "." as the point (3.048, 10, 0.5, 1e+300).
std::string shortestReal(double value);

// A whole text that is an optional sign and decimal digits, within 32 bits; nothing else.
std::optional<std::int32_t> strictInteger(std::string_view text);
// A whole text that is a finite decimal real ("12", "-1.5", ".5", "5.", "1e3"); surrounding
// blanks are allowed, nothing else is.
std::optional<double> strictReal(std::string_view text);

// Celsius to Fahrenheit as the calibration window shows it: integer arithmetic, rounding to the
// nearest degree for non-negative values only; the result wraps to 16 bits.
std::int16_t fahrenheitFromCelsius(std::int16_t celsius);
// The reverse conversion, with the same rounding rule.
std::int16_t celsiusFromFahrenheit(std::int16_t fahrenheit);

} // namespace tessel::numtext
