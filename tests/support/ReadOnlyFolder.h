#pragma once

#include <filesystem>
#include <sys/fsuid.h>
#include <unistd.h>

namespace tessel::testing {

// A folder no file can be added to while the scope lasts: its write bits are cleared, and for
// root, whom permission bits do not stop, this thread acts on files as the user "nobody".
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::owner_exec |
                                                  std::filesystem::perms::others_read |
                                                  std::filesystem::perms::others_exec);
        if (::geteuid() == 0) ::setfsuid(65534);
    }
    ~ReadOnlyFolder() {
        if (::geteuid() == 0) ::setfsuid(0);
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    std::filesystem::path folder_;
};

} // namespace tessel::testing
