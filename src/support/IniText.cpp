#include "support/IniText.h"

#include "support/StrictNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessel {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string_view unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::string_view value; // trimmed, quotes still on
};

std::optional<Entry> entryOf(std::string_view line) {
    const auto trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
    const auto eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const auto key = trim(trimmed.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return Entry{key, trim(trimmed.substr(eq + 1))};
}

bool isKeyOrOther(std::string_view line) {
    const auto trimmed = trim(line);
    return !trimmed.empty() && trimmed.front() != ';';
}

// A value that would read back differently when written bare is put in quotes.
std::string valueText(std::string_view value) {
    std::string text(value);
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (text != trim(text) || unquote(text).size() != text.size()) return '"' + text + '"';
    return text;
}

} // namespace

// A line ends in CR LF, LF or a CR alone, as the platform's profile functions read it.
IniText::IniText(std::string_view fileBytes, std::string_view newFileLineEnd)
    : newFileLineEnd_(newFileLineEnd) {
    while (!fileBytes.empty()) {
        const auto end = fileBytes.find_first_of("\r\n");
        Line line;
        line.text = std::string(fileBytes.substr(0, end));
        if (end == std::string_view::npos) {
            fileBytes = {};
        } else {
            const bool crLf = fileBytes.substr(end, 2) == "\r\n";
            line.end = std::string(fileBytes.substr(end, crLf ? 2 : 1));
            fileBytes.remove_prefix(end + line.end.size());
        }
        lines_.push_back(std::move(line));
    }
}

std::string IniText::bytes() const {
    std::string out;
    for (const auto& line : lines_) out += line.text + line.end;
    return out;
}

std::optional<IniText::SectionSpan> IniText::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = headerName(lines_[i].text);
        if (!name || !equalNoCase(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !headerName(lines_[end].text)) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniText::findKey(const SectionSpan& span, std::string_view key) const {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const auto entry = entryOf(lines_[i].text);
        if (entry && equalNoCase(entry->key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const auto span = findSection(section);
    if (!span) return std::nullopt;
    const auto at = findKey(*span, key);
    if (!at) return std::nullopt;
    return std::string(unquote(entryOf(lines_[*at].text)->value));
}

// New lines take the file's first line end; a file without any takes the one it was given.
std::string IniText::newLineEnd() const {
    for (const auto& line : lines_)
        if (!line.end.empty()) return line.end;
    return newFileLineEnd_;
}

void IniText::insertLine(std::size_t at, std::string text) {
    const auto end = newLineEnd();
    // The line before the new one may be the file's last line, without a line end yet.
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), end});
}

void IniText::set(std::string_view section, std::string_view key, std::string_view value) {
    const auto text = valueText(value);
    const auto span = findSection(section);
    if (!span) {
        if (!lines_.empty() && !trim(lines_.back().text).empty()) insertLine(lines_.size(), "");
        insertLine(lines_.size(), "[" + std::string(section) + "]");
        insertLine(lines_.size(), std::string(key) + "=" + text);
        return;
    }
    if (const auto at = findKey(*span, key)) {
        // Keep the line's own spelling and spacing up to the value; replace only the value.
        auto& line = lines_[*at].text;
        const auto eq = line.find('=');
        auto valueStart = eq + 1;
        while (valueStart < line.size() && isBlank(line[valueStart])) ++valueStart;
        line = line.substr(0, valueStart) + text;
        return;
    }
    // After the section's last entry, before trailing blank lines and comments.
    std::size_t at = span->header + 1;
    for (std::size_t i = span->header + 1; i < span->end; ++i)
        if (isKeyOrOther(lines_[i].text)) at = i + 1;
    insertLine(at, std::string(key) + "=" + text);
}

std::optional<std::int32_t> parseIniInteger(std::string_view text) {
    text = trim(text);
    std::string_view hex;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        hex = text.substr(2);
    else if (text.size() > 1 && text[0] == '$')
        hex = text.substr(1);
    if (!hex.empty()) {
        std::uint32_t bits = 0;
        const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), bits, 16);
        if (ec != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
        return static_cast<std::int32_t>(bits);
    }
    return strictInteger(text);
}

std::optional<double> parseIniReal(std::string_view text) { return strictReal(trim(text)); }

std::string formatIniReal(double value) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

} // namespace tessel
