#include "support/StrictNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tessel {

namespace {

// from_chars takes a "-" but no "+": one leading "+" is allowed, and no sign after it.
std::optional<std::string_view> withoutPlus(std::string_view text) {
    if (text.empty() || text.front() != '+') return text;
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::optional<std::int32_t> strictInteger(std::string_view text) {
    const auto digits = withoutPlus(text);
    if (!digits || digits->empty()) return std::nullopt;
    std::int32_t value = 0;
    const char* end = digits->data() + digits->size();
    const auto res = std::from_chars(digits->data(), end, value);
    if (res.ec != std::errc{} || res.ptr != end) return std::nullopt;
    return value;
}

std::optional<double> strictReal(std::string_view text) {
    const auto number = withoutPlus(trimBlanks(text));
    if (!number || number->empty()) return std::nullopt;
    double value = 0;
    const char* end = number->data() + number->size();
    const auto res = std::from_chars(number->data(), end, value, std::chars_format::general);
    if (res.ec != std::errc{} || res.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace tessel
