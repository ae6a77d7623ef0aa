#include "jobs/BackupNames.h"

#include "support/CalendarTime.h"
#include "support/Utf8File.h"

#include <filesystem>

namespace tessel {

BackupName backupName(const std::string& folder, std::int32_t serialNumber, std::time_t now,
                      int nth) {
    const std::tm local = localCalendar(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = "SN" + std::to_string(serialNumber) + "-" + stamp;
    if (nth > 1) name += "-" + std::to_string(nth);
    return {utf8Text(utf8Path(folder) / name)};
}

std::optional<BackupName> backupOfBlockFile(const std::string& path) {
    if (!path.ends_with(kBlockBackupSuffix)) return std::nullopt;
    return BackupName{path.substr(0, path.size() - kBlockBackupSuffix.size())};
}

} // namespace tessel
