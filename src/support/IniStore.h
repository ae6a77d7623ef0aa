#pragma once

#include "support/AtomicFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The one store of the program's INI file, shared by everyone who reads or writes a setting.
// Callers select their section before each read or write, since the current section is shared.
// Every read and write goes straight to the file, so edits made by hand while the program runs
// are seen and kept. Writes replace the file atomically and change only their own entry.
class IniStore {
public:
    // Replaces a file's whole contents; false on failure. Tests put a failing one in.
    using FileWriter = std::function<bool(const std::string& path, std::string_view bytes)>;

    static constexpr std::size_t kMaxTextLength = 2047;

    explicit IniStore(std::string path, FileWriter writer = defaultWriter());

    // Binds the store to another file and decides the writable flag afresh.
    bool open(std::string path);

    void selectSection(std::string_view name) { section_ = std::string(name); }
    const std::string& section() const { return section_; }
    const std::string& path() const { return path_; }
    // False when the file's permission bits allow no write at all, or since a write failed.
    bool writable() const { return writable_; }

    bool hasKey(std::string_view key) const;
    std::string readText(std::string_view key, std::string_view defaultValue) const;
    std::int32_t readInteger(std::string_view key, std::int32_t defaultValue) const;
    bool readBoolean(std::string_view key, bool defaultValue) const;
    double readReal(std::string_view key, double defaultValue) const;

    // Each returns the writable flag after the attempt; a failed write clears it for good and
    // nothing further is written in this run. No message is shown either way.
    bool writeText(std::string_view key, std::string_view value);
    bool writeInteger(std::string_view key, std::int32_t value);
    bool writeBoolean(std::string_view key, bool value);
    bool writeReal(std::string_view key, double value);

    static FileWriter defaultWriter();

private:
    std::optional<std::string> entry(std::string_view key) const;
    bool write(std::string_view key, std::string_view value);

    std::string path_;
    std::string section_ = "N/A";
    bool writable_ = false;
    FileWriter writer_;
};

} // namespace tessel
