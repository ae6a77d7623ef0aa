#pragma once

#include <filesystem>
#include <sys/fsuid.h>
#include <unistd.h>

namespace tessel::testing {

// A folder no file can be added to while the scope lasts: no write bits, and for root, whom they
// do not stop, this thread acting on files as the user "nobody".
class ReadOnlyFolder {
    using P = std::filesystem::perms;
    std::filesystem::path folder_;

public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        std::filesystem::permissions(folder_, P::owner_read | P::owner_exec | P::others_read |
                                                  P::others_exec);
        if (::geteuid() == 0) ::setfsuid(65534);
    }
    ~ReadOnlyFolder() {
        if (::geteuid() == 0) ::setfsuid(0);
        std::filesystem::permissions(folder_, P::owner_all);
    }
};

} // namespace tessel::testing
