#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Whole-file reading and replacing for small files that people also edit by hand.

// The file's bytes; an empty text when the file does not exist; nothing when it exists but
// cannot be read (so a caller never mistakes an unreadable file for an empty one).
std::optional<std::string> readWholeFile(const std::string& path);

// The file a path finally names: symbolic links followed, also when the last one dangles.
std::string followSymlinks(const std::string& path);

// Whether the file exists and carries the read-only mark (no write permission bit on POSIX, the
// read-only attribute on Windows). A missing file is not read-only.
bool fileIsReadOnly(const std::string& path);

// Writes all bytes to an open descriptor; false on any failure. Tests replace it to make a disk
// fill up in the middle of a write.
using WriteAllFn = std::function<bool(int fd, std::string_view bytes)>;
bool writeAll(int fd, std::string_view bytes);

// Replaces the file's contents so that a reader, a crash or a full disk sees either the old or
// the new contents, never a mix: the bytes go to a new file beside the target, which is synced
// and renamed over it (on Windows: flushed with FlushFileBuffers and put in place with ReplaceFileW,
// or MoveFileExW when there is no old file). Paths are UTF-8 on every platform. The target keeps its permission bits (a new file gets 0666 less the
// umask); a symbolic link stays a link and its target is replaced. False when anything failed,
// and then the old file is untouched and no temporary file is left behind.
bool replaceFileAtomically(const std::string& path, std::string_view bytes,
                           const WriteAllFn& write = writeAll);

} // namespace tessel
