// tessel history: the job history the window and the light bar commands append to.
#include "app/JobHistory.h"
#include "cli/CliCommands.h"
#include "cli/Json.h"

#include <ostream>

namespace tessel {

ResultCode historyCommand(const CommandLineRequest& req, CliEnvironment& env) {
    if (req.simulate && req.simulateFile.empty())
        failWith(env, result::Usage,
                 "a virtual light bar without a state file keeps no history: give "
                 "--simulate=FILE");
    const std::string path =
        req.simulate ? besideStateFile(req.simulateFile).historyFile : userHistoryFile();
    if (path.empty())
        failWith(env, result::BadInput, "no data folder: set XDG_DATA_HOME or HOME");
    const HistoryFile file = readHistory(path);
    if (!file.readable) failWith(env, result::InputFileOpenError, cannotReadMessage(path, {}));
    if (file.unreadableLines > 0)
        env.err << "tessel: " << file.unreadableLines
                << (file.unreadableLines == 1 ? " line of " : " lines of ") << path
                << (file.unreadableLines == 1 ? " holds" : " hold")
                << " no job record, left out\n";

    const HistoryFilter filter{req.serial, req.since};
    std::string data;
    Json records = Json::array();
    for (const HistoryRecord& record : file.records) {
        if (!filter.matches(record)) continue;
        if (req.json) records.push_back(Json::parse(historyLine(record)));
        else data += describeRecord(record) + "\n";
    }
    writeOutput(env, req.out, req.json ? writeJson(records) + "\n" : data);
    return result::Ok;
}

} // namespace tessel
