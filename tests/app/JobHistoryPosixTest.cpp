// A history that cannot be written never holds up a job: the job ends as it would, and its log
// says why the record is missing.
#include "app/AppSession.h"
#include "app/MainWindowModel.h"
#include "jobs/ScriptedJobWindow.h"
#include "support/ReadOnlyFolder.h"
#include "support/ResultCode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

TEST(JobHistory, AFolderThatTakesNoRecordIsNamedInTheLogAndTheJobGoesOn) {
    TempDir dir;
    writeFile(dir / "tessel.INI", "[Configuration]\nCOM Port=1\n");
    ScriptedJobWindow window;
    AppSession::Options options;
    options.executablePath = dir / "tessel";
    options.iniPath = dir / "tessel.INI";
    options.simulate = true;
    options.simulateFile = dir / "bench/lightbar.state";
    AppSession session(options, window);
    EXPECT_EQ(session.historyPath(), dir / "bench/lightbar-history.jsonl") << "beside the state";
    EXPECT_EQ(session.backupFolder(), dir / "bench/lightbar-backups");
    MainWindowModel model(session);
    ResultCode result = result::Ok;
    {
        const ReadOnlyFolder locked(dir.path() / "bench");
        result = model.readVcb().code;
    }
    EXPECT_EQ(result, result::NoValidVcb) << "as without a history";
    const std::string line =
        " Job history not written: " + session.historyPath() + ": cannot open: Permission denied";
    EXPECT_TRUE(window.hasLine(line)) << ::testing::PrintToString(window.texts());
    EXPECT_EQ(window.okWaits, 1) << "the operator still closes the window";
    EXPECT_TRUE(readHistory(session.historyPath()).records.empty());
}

} // namespace
} // namespace tessel::testing
