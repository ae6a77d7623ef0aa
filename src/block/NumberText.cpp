#include "block/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace tessel::numtext {

namespace {
// Wide enough for any double in fixed notation with three decimals (about 310 digits).
using NumberBuffer = std::array<char, 400>;

} // namespace

std::string decimal(long long value) {
    NumberBuffer buf;
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), res.ptr);
}

std::string decimal5(long long value) {
    std::string digits = decimal(value);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), ' ');
    return digits;
}

std::string fixed3(double value) {
    NumberBuffer buf;
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 3);
    return std::string(buf.data(), res.ptr);
}

std::string shortestReal(double value) {
    NumberBuffer buf;
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    return std::string(buf.data(), res.ptr);
}

std::int16_t fahrenheitFromCelsius(std::int16_t celsius) {
    const int t = celsius;
    int f = t * 9 / 5 + 32;
    if (t * 90 % 50 > 25) ++f;
    return static_cast<std::int16_t>(f);
}

std::int16_t celsiusFromFahrenheit(std::int16_t fahrenheit) {
    const int d = fahrenheit - 32;
    int c = 5 * d / 9;
    if (50 * d % 90 > 45) ++c;
    return static_cast<std::int16_t>(c);
}

} // namespace tessel::numtext
