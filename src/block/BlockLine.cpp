#include "block/BlockLine.h"

#include <charconv>
#include <system_error>

namespace tessel {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string_view valueWord(std::string_view line) {
    std::string_view word = line;
    if (line.size() >= 2) {
        const auto sep = line.find_last_of(" :", line.size() - 2);
        if (sep != std::string_view::npos) word = line.substr(sep + 1);
    }
    return word.substr(0, kMaxValueWord);
}

std::uint64_t digitsOf(std::string_view word) {
    std::uint64_t value = 0;
    for (char c : word)
        if (isDigit(c)) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return value;
}

std::int64_t integerOf(std::string_view word) {
    std::uint64_t value = digitsOf(word);
    if (word.find('-') != std::string_view::npos) value = 0 - value;
    return static_cast<std::int64_t>(value);
}

OptionState switchOf(std::string_view word) {
    if (!word.empty() && (word[0] == 'y' || word[0] == 'Y' || word[0] == '1'))
        return OptionState::Yes;
    return OptionState::No;
}

double realOf(std::string_view word) {
    if (word.empty() || !isDigit(word[0])) return 0.0;
    double value = 0.0;
    const auto res =
        std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::general);
    return res.ec == std::errc{} ? value : 0.0;
}

ScaleRow rowOf(std::string_view line) {
    ScaleRow row{};
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return row;
    std::size_t pos = colon + 1;
    for (auto& value : row) {
        while (pos < line.size() && !isDigit(line[pos]))
            ++pos;
        if (pos >= line.size()) break;
        std::uint16_t number = 0;
        while (pos < line.size() && isDigit(line[pos]))
            number = static_cast<std::uint16_t>(number * 10 + (line[pos++] - '0'));
        value = number;
    }
    return row;
}

} // namespace tessel
