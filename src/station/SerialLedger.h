#pragma once

#include "support/ResultCode.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// How a unit came by its serial number.
enum class UnitKind {
    New,    // the next number of the range
    Retry,  // its own number, which this ledger gave it before (a unit tried again)
    Rework, // its own number, kept by the station's rule for units that hold a valid block
};

// One line of the ledger: a number taken for a unit (written down, and flushed to the disk,
// before the number is programmed), or how that unit's job ended.
struct LedgerEntry {
    enum class Event { Taken, Passed, Failed };
    Event event = Event::Taken;
    std::int32_t serialNumber = 0;
    UnitKind unit = UnitKind::New; // Taken
    int bay = 0;
    std::string port{};
    std::string time{}; // local time with its offset, as the job history writes it
    double seconds = 0; // Passed, Failed: how long the unit's job took
    ResultCode result = result::Ok; // Passed, Failed: the job's result code and message
    std::string message{};

    bool operator==(const LedgerEntry&) const = default;
};

std::string ledgerLine(const LedgerEntry& entry);
std::optional<LedgerEntry> parseLedgerLine(std::string_view line);

struct LedgerContents {
    std::vector<LedgerEntry> entries{}; // oldest first
    std::size_t unreadableLines = 0;    // lines that hold no entry (one torn by a crash), left out
    bool readable = true;               // false: the file exists but cannot be read
};
LedgerContents parseLedger(std::string_view bytes);
// A missing file is an empty ledger.
LedgerContents readLedger(const std::string& path);

// The numbers a ledger has given, and how many of first..last it has left.
std::set<std::int32_t> numbersGiven(const LedgerContents& ledger);
std::int64_t numbersLeft(const LedgerContents& ledger, std::int32_t first, std::int32_t last);

// The station's serial numbers first..last, kept in an append-only line file that several bays
// (processes) share under a lock: a number is never given to a second unit, also after a crash,
// a power cut or a kill at any moment, since it is written down and synced before anyone may
// program it. A unit keeps a number once given, whatever became of its job.
class SerialLedger {
public:
    using TimeSource = std::function<std::string()>;

    SerialLedger(std::string path, std::int32_t first, std::int32_t last, TimeSource now);

    const std::string& path() const { return path_; }

    struct Take {
        std::optional<std::int32_t> serialNumber; // none: no number was taken
        UnitKind unit = UnitKind::New;
        bool exhausted = false; // the range has no number left
        std::optional<std::string> problem; // why none was taken
    };
    // The number for a unit that holds unitSerial (none: no valid block): its own when this
    // ledger gave it (a retry) or, with keepSerial, whatever it is (a rework; a number of the
    // range is then never given to another); else the lowest number of the range never given.
    Take take(std::optional<std::int32_t> unitSerial, bool keepSerial, int bay,
              const std::string& port);
    // Appends how the unit with this number ended; why it was not written, none when it was.
    std::optional<std::string> record(LedgerEntry outcome);

    LedgerContents read() const { return readLedger(path_); }
    std::int64_t numbersLeft() const;

private:
    std::string path_{};
    std::int32_t first_, last_;
    TimeSource now_;
};

} // namespace tessel
