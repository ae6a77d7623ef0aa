#include "support/IniStore.h"

#include "support/IniText.h"
#include "support/Utf8File.h"

namespace tessel {

IniStore::FileWriter IniStore::defaultWriter() {
    return [](const std::string& path, std::string_view bytes) { return replaceFileAtomically(path, bytes); };
}

IniStore::IniStore(std::string path, FileWriter writer) : writer_(std::move(writer)) {
    open(std::move(path));
}

bool IniStore::open(std::string path) {
    path_ = std::move(path);
    writable_ = !fileIsReadOnly(path_);
    return true;
}

std::optional<std::string> IniStore::entry(Section section, std::string_view key) const {
    const auto bytes = readWholeFile(path_);
    if (!bytes) return std::nullopt;
    return IniText(*bytes).value(section, key);
}

bool IniStore::hasKey(Section section, std::string_view key) const {
    return entry(section, key).has_value();
}

std::string IniStore::readText(Section section, std::string_view key,
                               std::string_view defaultValue) const {
    auto value = entry(section, key);
    if (!value) return std::string(defaultValue);
    if (value->size() > kMaxTextLength) value->resize(kMaxTextLength);
    return *value;
}

std::int32_t IniStore::readInteger(Section section, std::string_view key,
                                   std::int32_t defaultValue) const {
    const auto value = entry(section, key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

bool IniStore::readBoolean(Section section, std::string_view key, bool defaultValue) const {
    const auto value = entry(section, key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

double IniStore::readReal(Section section, std::string_view key, double defaultValue) const {
    const auto value = entry(section, key);
    const auto number = value ? parseIniReal(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

bool IniStore::write(Section section, std::string_view key, std::string_view value) {
    if (!writable_) return false;
    // An existing file that cannot be read is never replaced by one holding only this entry.
    const auto bytes = readWholeFile(path_);
    if (!bytes) {
        writable_ = false;
        return false;
    }
    IniText text(*bytes, systemLineEnd()); // a new file gets the system's line ends
    text.set(section, key, value);
    if (!writer_(path_, text.bytes())) writable_ = false;
    return writable_;
}

bool IniStore::writeText(Section section, std::string_view key, std::string_view value) {
    return write(section, key, value);
}

bool IniStore::writeInteger(Section section, std::string_view key, std::int32_t value) {
    return write(section, key, std::to_string(value));
}

bool IniStore::writeBoolean(Section section, std::string_view key, bool value) {
    return write(section, key, value ? "1" : "0");
}

bool IniStore::writeReal(Section section, std::string_view key, double value) {
    return write(section, key, formatIniReal(value));
}

} // namespace tessel
