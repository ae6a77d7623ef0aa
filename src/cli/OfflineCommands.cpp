// Commands that need no light bar: block files and records, HEX files.
#include "block/BlockText.h"
#include "cli/CliCommands.h"
#include "cli/RecordJson.h"
#include "cli/RecordLines.h"
#include "firmware/FirmwareId.h"

#include <ostream>
#include <sstream>

namespace tessel {

ResultCode vcbShow(const CommandLineRequest& req, CliEnvironment& env) {
    const BlockArea area = loadBlockFile(env, req.args[0]);
    ConfigBlock record;
    parseBlock(area, record);
    writeOutput(env, req.out, req.json ? writeJson(recordToJson(record)) + "\n" : recordLines(record));
    return result::Ok;
}

ResultCode vcbRender(const CommandLineRequest& req, CliEnvironment& env) {
    const ConfigBlock record = loadRecordFile(env, req.args[0]);
    BlockArea area;
    if (!renderBlock(record, area))
        failWith(env, result::BadInput, req.args[0] + ": the block text would not fit its area");
    writeBlockData(env, req, area);
    return result::Ok;
}

ResultCode vcbConvert(const CommandLineRequest& req, CliEnvironment& env) {
    BlockArea area = loadBlockFile(env, req.args[0]);
    const auto location = compactBlock(area);
    BlockArea converted;
    if (!location ||
        !convertText(std::span<const std::uint8_t>(area.data(), location->length), *req.toFormat,
                     converted))
        failWith(env, result::BadInput,
                 req.args[0] + ": the converted block text would not fit its area");
    writeBlockData(env, req, converted);
    return result::Ok;
}

namespace {

std::string hexInfoText(const CommandLineRequest& req, ResultCode r, const FirmwareImage& image) {
    const FirmwareId id = identify(image);
    if (req.json) {
        Json j = Json::object();
        j["result"] = static_cast<int>(r);
        j["length"] = image.length;
        j["product"] = id.product;
        j["version"] = id.version;
        j["requiredFormat"] = id.requiredFormat;
        j["date"] = id.date;
        return writeJson(j) + "\n";
    }
    std::ostringstream text;
    text << "result: " << static_cast<int>(r) << " (" << resultMessage(r) << ")\n"
         << "length: " << image.length << "\n"
         << "product: " << id.product << "\n"
         << "version: " << id.version << "\n"
         << "required format: " << id.requiredFormat << "\n"
         << "date: " << id.date << "\n";
    return text.str();
}

} // namespace

ResultCode hexInfo(const CommandLineRequest& req, CliEnvironment& env) {
    const FirmwareFile file = loadHexFile(env, req.args[0], FirmwareUse::Inspection);
    const ResultCode r = file.code();
    writeOutput(env, req.out, hexInfoText(req, r, *file.image));
    if (r != result::Ok) env.err << "tessel: " << hexProblem(file) << '\n';
    return r;
}

ResultCode hexImage(const CommandLineRequest& req, CliEnvironment& env) {
    const FirmwareFile file = loadHexFile(env, req.args[0], FirmwareUse::Inspection);
    const FirmwareImage& image = *file.image;
    const ResultCode r = file.code();
    if (r != result::Ok && !req.partial)
        failWith(env, r, hexProblem(file) + ": nothing written (--partial writes what was read)");
    writeOutput(env, req.out,
                std::string_view(reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size()));
    if (r != result::Ok) env.err << "tessel: " << hexProblem(file) << '\n';
    return r;
}

} // namespace tessel
