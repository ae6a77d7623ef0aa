#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The text of an INI file as people and other tools keep it. Every line is held with its own
// line end, so a file is written back byte for byte except for the one entry that changed.
// Section and key names compare without regard to case; lines before the first section, comment
// lines (";" first) and malformed lines are kept but never read.
class IniText {
public:
    IniText() = default;
    // newFileLineEnd: what a text without any line end yet (a new file) ends its lines with.
    explicit IniText(std::string_view fileBytes, std::string_view newFileLineEnd = "\n");

    std::string bytes() const;

    // The value of the first entry of the key in the first section of that name: blanks around
    // it trimmed and one pair of enclosing quotes removed. Nothing when there is no such entry.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets the entry, or adds it at the end of its section (a new section goes to the end of the
    // file). Line breaks in the value become blanks, so a value can never add lines of its own.
    void set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string text;
        std::string end; // "\r\n", "\n", "\r", or "" for a last line without a line end
    };

    // Indexes into lines_: the section's header and one past its last line.
    struct SectionSpan {
        std::size_t header;
        std::size_t end;
    };

    std::optional<SectionSpan> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const SectionSpan& span, std::string_view key) const;
    std::string newLineEnd() const;
    void insertLine(std::size_t at, std::string text);

    std::vector<Line> lines_;
    std::string newFileLineEnd_ = "\n";
};

// Value conversions of the INI file, the same in every locale.

// The whole text as a signed 32-bit integer: decimal with an optional sign, or hexadecimal after
// "0x", "0X" or "$" (up to eight digits, taken as the 32-bit pattern).
std::optional<std::int32_t> parseIniInteger(std::string_view text);
// A real with "." as decimal point and an optional exponent; the whole text must be the number.
std::optional<double> parseIniReal(std::string_view text);
// Fifteen significant digits, as "%.15g" gives in the C locale: 5280, 0.100000001490116.
std::string formatIniReal(double value);

} // namespace tessel
