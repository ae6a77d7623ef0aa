// The command line's input files, loaded the same way by every command that takes one.
#include "block/BlockText.h"
#include "cli/BlockFile.h"
#include "cli/CliCommands.h"
#include "cli/RecordJson.h"
#include "firmware/HexReader.h"
#include "jobs/ResultCode.h"

#include <sstream>

namespace tessel {

BlockArea loadBlockFile(CliEnvironment& env, const std::string& path) {
    std::string error;
    auto area = blockAreaFromFile(readInputFile(env, path), error);
    if (!area) failWith(env, exitcode::BadInput, path + ": " + error);
    if (!locateBlock(*area).present)
        failWith(env, exitcode::BadInput, path + " holds no valid configuration block");
    return *area;
}

ConfigBlock loadRecordFile(CliEnvironment& env, const std::string& path,
                           std::int32_t serialNumberDefault) {
    const std::string text = readInputFile(env, path);
    try {
        return recordFromJson(parseJson(text), serialNumberDefault);
    } catch (const std::runtime_error& e) { // JsonError, RecordJsonError
        failWith(env, exitcode::BadInput, path + ": " + e.what());
    }
}

int loadHexFile(CliEnvironment& env, const std::string& path, FirmwareImage& image) {
    std::istringstream in(readInputFile(env, path, result::InputFileOpenError));
    return readHex(in, image);
}

} // namespace tessel
