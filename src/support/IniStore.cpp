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

std::optional<std::string> IniStore::entry(std::string_view key) const {
    const auto bytes = readWholeFile(path_);
    if (!bytes) return std::nullopt;
    return IniText(*bytes).value(section_, key);
}

bool IniStore::hasKey(std::string_view key) const { return entry(key).has_value(); }

std::string IniStore::readText(std::string_view key, std::string_view defaultValue) const {
    auto value = entry(key);
    if (!value) return std::string(defaultValue);
    if (value->size() > kMaxTextLength) value->resize(kMaxTextLength);
    return *value;
}

std::int32_t IniStore::readInteger(std::string_view key, std::int32_t defaultValue) const {
    const auto value = entry(key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

bool IniStore::readBoolean(std::string_view key, bool defaultValue) const {
    const auto value = entry(key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

double IniStore::readReal(std::string_view key, double defaultValue) const {
    const auto value = entry(key);
    const auto number = value ? parseIniReal(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

bool IniStore::write(std::string_view key, std::string_view value) {
    if (!writable_) return false;
    // An existing file that cannot be read is never replaced by one holding only this entry.
    const auto bytes = readWholeFile(path_);
    if (!bytes) {
        writable_ = false;
        return false;
    }
    IniText text(*bytes, systemLineEnd()); // a new file gets the system's line ends
    text.set(section_, key, value);
    if (!writer_(path_, text.bytes())) writable_ = false;
    return writable_;
}

bool IniStore::writeText(std::string_view key, std::string_view value) { return write(key, value); }

bool IniStore::writeInteger(std::string_view key, std::int32_t value) {
    return write(key, std::to_string(value));
}

bool IniStore::writeBoolean(std::string_view key, bool value) { return write(key, value ? "1" : "0"); }

bool IniStore::writeReal(std::string_view key, double value) { return write(key, formatIniReal(value)); }

} // namespace tessel
