#pragma once

#include "support/AtomicFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The one store of the program's INI file, shared by everyone who reads or writes a setting.
// Every read and write names its section and key, and goes straight to the file, so edits made by
// hand while the program runs are seen and kept. Writes replace the file atomically and change only
// their own entry.
class IniStore {
public:
    // Replaces a file's whole contents; false on failure. Tests put a failing one in.
    using FileWriter = std::function<bool(const std::string& path, std::string_view bytes)>;

    static constexpr std::size_t kMaxTextLength = 2047;

    explicit IniStore(std::string path, FileWriter writer = defaultWriter());

    // Binds the store to another file and decides the writable flag afresh.
    bool open(std::string path);

    const std::string& path() const { return path_; }
    // False when the file's permission bits allow no write at all, or since a write failed.
    bool writable() const { return writable_; }

    using Section = std::string_view;
    bool hasKey(Section section, std::string_view key) const;
    std::string readText(Section section, std::string_view key,
                         std::string_view defaultValue) const;
    std::int32_t readInteger(Section section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool readBoolean(Section section, std::string_view key, bool defaultValue) const;
    double readReal(Section section, std::string_view key, double defaultValue) const;

    // Each returns the writable flag after the attempt; a failed write clears it for good and
    // nothing further is written in this run. No message is shown either way.
    bool writeText(Section section, std::string_view key, std::string_view value);
    bool writeInteger(Section section, std::string_view key, std::int32_t value);
    bool writeBoolean(Section section, std::string_view key, bool value);
    bool writeReal(Section section, std::string_view key, double value);

    static FileWriter defaultWriter();

private:
    std::optional<std::string> entry(Section section, std::string_view key) const;
    bool write(Section section, std::string_view key, std::string_view value);

    std::string path_;
    bool writable_ = false;
    FileWriter writer_;
};

} // namespace tessel
