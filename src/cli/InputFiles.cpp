// The command line's input files, loaded the same way by every command that takes one.
#include "block/BlockText.h"
#include "cli/BlockFile.h"
#include "cli/CliCommands.h"
#include "cli/RecordJson.h"

namespace tessel {

BlockArea loadBlockFile(CliEnvironment& env, const std::string& path) {
    const BlockFileArea file = blockAreaFromFile(readInputFile(env, path));
    if (!file.ok()) failWith(env, result::BadInput, path + ": " + *file.problem);
    if (!locateBlock(file.area).present)
        failWith(env, result::BadInput, path + " holds no valid configuration block");
    return file.area;
}

ConfigBlock loadRecordFile(CliEnvironment& env, const std::string& path,
                           std::int32_t serialNumberDefault) {
    const std::string text = readInputFile(env, path);
    try {
        return recordFromJson(parseJson(text), serialNumberDefault);
    } catch (const std::runtime_error& e) { // JsonError, RecordJsonError
        failWith(env, result::BadInput, path + ": " + e.what());
    }
}

std::string hexProblem(const FirmwareFile& file) {
    const auto why = file.why();
    return file.path + ": " + resultMessage(file.code()) + (why ? ": the file " + *why : "");
}

FirmwareFile loadHexFile(CliEnvironment& env, const std::string& path, FirmwareUse use) {
    FirmwareFile file = loadFirmwareFile(path, use);
    if (file.problem == FirmwareFile::Problem::CannotRead)
        failWith(env, file.code(), cannotReadMessage(path, file.reason));
    return file;
}

} // namespace tessel
