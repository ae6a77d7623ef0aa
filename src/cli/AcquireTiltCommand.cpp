// acquire-tilt: the tilt calibration record from the light bar's data memory, as the calibration
// window acquires it. The twenty values go to standard output, the job's log where the console
// job window writes it.
#include "app/TiltAcquisition.h"
#include "block/RecordFields.h"
#include "cli/CliCommands.h"
#include "cli/RecordJson.h"

#include <optional>
#include <string>
#include <utility>

namespace tessel {

ResultCode runAcquireTilt(const CommandLineRequest& req, CliEnvironment& env,
                          ChipProgrammer& engine, std::optional<std::string>& data) {
    const TiltAcquisition a = acquireTiltCalibration(engine);
    if (a.outcome == TiltAcquisition::Outcome::JobFailed) return a.result;
    if (a.outcome != TiltAcquisition::Outcome::Complete)
        failWith(env, result::NoTiltRecord, std::string(*acquisitionMessage(a.outcome)));

    std::string text;
    if (req.json) {
        text = writeJson(tiltJson(a.values)) + "\n";
    } else {
        for (const auto& member : fields::kTilt)
            text += std::string(member.key) + ": " + std::to_string(member.get(a.values)) + "\n";
    }
    data = std::move(text); // written after the job, as every command's data
    return result::Ok;
}

} // namespace tessel
