#pragma once

#include "support/ResultCode.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// One job as the job history keeps it: one JSON object on one line of the history file.
struct HistoryRecord {
    std::string time;    // local time with its offset, "2026-12-08T15:08:30+01:00"
    std::string version; // the program's file version
    std::string port;    // "COM2 (/dev/ttyUSB0)", or "virtual"
    std::string command; // the job's title without its dashes, "Program Light Bar Firmware Code"
    std::optional<std::int32_t> serialBefore; // the light bar's serial number before the job
    std::optional<std::int32_t> serialAfter;  // and after it, as read back
    std::string firmwareFile;                 // a firmware job's file, with
    std::string firmwareProduct, firmwareVersion, firmwareSha256; // its identity and digest
    ResultCode result = result::Ok; // as written, also a code of another version
    std::string message; // the result's message
    std::string linkFailure;            // why the port or the USB adapter failed, when it did
    std::optional<std::uint32_t> sckHz; // the SCK rate a USB adapter answered at
    std::vector<std::string> backups;

    bool operator==(const HistoryRecord&) const = default;
};

// A record as its line (JSON, without the line feed), and back; nothing for a line that holds
// no record (one cut short by a crash, or edited).
std::string historyLine(const HistoryRecord& record);
std::optional<HistoryRecord> parseHistoryLine(std::string_view line);

// Appends the record as one whole line (see appendWholeLine), making the folder when needed.
// Returns an empty text, or why it was not written.
std::optional<std::string> appendHistory(const std::string& path, const HistoryRecord& record);

struct HistoryFile {
    std::vector<HistoryRecord> records; // oldest first
    std::size_t unreadableLines = 0;    // lines that hold no record, left out
    bool readable = true;               // false: the file exists but cannot be read
};
// A missing file is an empty history.
HistoryFile readHistory(const std::string& path);

// Which records to show: one light bar's (before or after the job), from a time on ("2026-12-08"
// or "2026-12-08T15:00", compared with the local time the record was written).
struct HistoryFilter {
    std::optional<std::int32_t> serial;
    std::string since;
    bool matches(const HistoryRecord& record) const;
};
// A date or time as --since takes it ("2026-12-08", "2026-12-08 15:00", "2026-12-08T15:00:30"),
// in the form records are compared with; nothing when it is none.
std::optional<std::string> historySince(std::string_view text);

// One line for people: time, port, command, serial numbers, firmware, result (with a link
// failure's reason and an adapter's SCK rate), backups.
std::string describeRecord(const HistoryRecord& record);

// The local time of t with its offset from UTC, as records carry it.
std::string historyTime(std::time_t t);

// Where a virtual light bar's state file keeps its jobs' backups and history: beside it, named
// after it without its extension ("bench.state": "bench-backups/", "bench-history.jsonl").
struct DataPlaces {
    std::string backupFolder;
    std::string historyFile;
};
DataPlaces besideStateFile(const std::string& stateFile);
// The user's history file, in the data folder; empty when there is none.
std::string userHistoryFile();

} // namespace tessel
