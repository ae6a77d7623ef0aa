#pragma once

// Shared between the command line's offline and light bar commands.

#include "app/FirmwareFile.h"
#include "block/BlockArea.h"
#include "block/ConfigBlock.h"
#include "cli/CliApp.h"
#include "cli/CommandLine.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

class ChipProgrammer;

// A failure that ends a command with its exit code after its message went to standard error.
// Thrown by failWith and caught where the command line's commands run; it never leaves the
// command line.
class CommandFailure : public std::exception {
public:
    explicit CommandFailure(ResultCode code) : exitCode(code) {}
    const char* what() const noexcept override { return "the command failed"; }

    ResultCode exitCode;
};

// Reads a whole input file; one that cannot be read fails with 14, as every input file does.
std::string readInputFile(CliEnvironment& env, const std::string& path);
// Writes a command's data: to standard output, or with --out into FILE. A regular file (or a new
// one) is replaced atomically, so a failed write leaves nothing half-written; a device, FIFO or
// socket is written into and stays what it is. A write that fails exits 74 saying why.
void writeOutput(CliEnvironment& env, const std::optional<std::string>& path,
                 std::string_view bytes);
void writeStandardOutput(CliEnvironment& env, std::string_view bytes);
// A block area as the bytes of a file.
inline std::string_view areaBytes(const BlockArea& area) {
    return {reinterpret_cast<const char*>(area.data()), area.size()};
}
// Block data as the command line gives it: the area's compacted block text, or with --raw the
// whole area.
std::string blockData(const CommandLineRequest& req, const BlockArea& area);
void writeBlockData(CliEnvironment& env, const CommandLineRequest& req, const BlockArea& area);

// The input files, each failing with its message when it cannot be used (14 when it cannot be
// read, 65 when it is not valid):
// a block file (see BlockFile.h) as an area that holds a valid block;
BlockArea loadBlockFile(CliEnvironment& env, const std::string& path);
// a record in JSON, whose missing serial number takes the given default;
ConfigBlock loadRecordFile(CliEnvironment& env, const std::string& path,
                           std::int32_t serialNumberDefault = kDefaultSerialNumber);
// a HEX file with what was read of it (a HEX error is the caller's to report, with 3).
FirmwareFile loadHexFile(CliEnvironment& env, const std::string& path, FirmwareUse use);
// "PATH: HEX File Format Error", and why when the records alone do not say.
std::string hexProblem(const FirmwareFile& file);

// "cannot read PATH: <reason>", or without the reason when there is none.
std::string cannotReadMessage(const std::string& path, std::string_view reason);
// ": <the system's reason>" for an error number, nothing for 0.
std::string errnoReason(int error);
[[noreturn]] void failWith(CliEnvironment& env, ResultCode exitCode, const std::string& message);

// The commands' handlers, named in the command table: a light bar command runs the job its entry
// names in an application session.
ResultCode runLightBarCommand(const CommandLineRequest& req, CliEnvironment& env);
ResultCode runPortsCommand(const CommandLineRequest& req, CliEnvironment& env);
ResultCode vcbShow(const CommandLineRequest& req, CliEnvironment& env);
ResultCode vcbRender(const CommandLineRequest& req, CliEnvironment& env);
ResultCode vcbConvert(const CommandLineRequest& req, CliEnvironment& env);
ResultCode hexInfo(const CommandLineRequest& req, CliEnvironment& env);
ResultCode hexImage(const CommandLineRequest& req, CliEnvironment& env);
ResultCode historyCommand(const CommandLineRequest& req, CliEnvironment& env);
// acquire-tilt, inside a light bar command's session.
ResultCode runAcquireTilt(const CommandLineRequest& req, CliEnvironment& env,
                          ChipProgrammer& engine, std::optional<std::string>& data);

} // namespace tessel
