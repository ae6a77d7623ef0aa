// The command's data on its way out: standard output, or the file named by --out.
#include "block/BlockText.h"
#include "cli/CliCommands.h"
#include "cli/OutputNode.h"
#include "support/AtomicFile.h"

#include <cerrno>
#include <ostream>

namespace tessel {

void writeStandardOutput(CliEnvironment& env, std::string_view bytes) {
    errno = 0;
    env.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    env.out.flush();
    const int error = errno;
    if (!env.out)
        failWith(env, result::CannotWrite, "cannot write standard output" + errnoReason(error));
}

void writeOutput(CliEnvironment& env, const std::optional<std::string>& path,
                 std::string_view bytes) {
    if (!path) {
        writeStandardOutput(env, bytes);
        return;
    }
    errno = 0;
    const auto intoNode = writeIntoNode(*path, bytes);
    const bool written = intoNode ? *intoNode : replaceFileAtomically(*path, bytes);
    const int error = errno;
    if (!written) failWith(env, result::CannotWrite, "cannot write " + *path + errnoReason(error));
}

std::string blockData(const CommandLineRequest& req, const BlockArea& area) {
    if (req.raw) return std::string(areaBytes(area));
    BlockArea compacted = area;
    const auto location = compactBlock(compacted);
    return std::string(location ? areaBytes(compacted).substr(0, location->length) : "");
}

void writeBlockData(CliEnvironment& env, const CommandLineRequest& req, const BlockArea& area) {
    writeOutput(env, req.out, blockData(req, area));
}

} // namespace tessel
