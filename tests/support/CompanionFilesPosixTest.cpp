// Where the settings live: beside a portable copy, in the user's folder for an installed one
// (a folder or INI the program may not write), and wherever --ini says.
#include "support/AppSettings.h"
#include "support/ProgramServices.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::TempDir;
using testing::writeFile;
namespace fs = std::filesystem;

class SettingsPlace : public ::testing::Test {
protected:
    SettingsPlace() {
        fs::create_directory(dir / "bin");
        testing::setEnvironment("XDG_CONFIG_HOME", dir / "config");
    }
    ~SettingsPlace() override {
        fs::permissions(dir / "bin", fs::perms::owner_all);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    // One run as the command line makes it; returns the INI it used.
    std::string run(const std::string& iniOverride = {}) {
        ProgramServices services;
        services.start(dir / "bin/tessel", iniOverride);
        AppSettings(services.ini()).setComPort(3);
        services.terminate();
        return services.files().iniPath;
    }
    void lockBin() { fs::permissions(dir / "bin", fs::perms::owner_read | fs::perms::owner_exec); }

    TempDir dir;
    std::string user = dir / "config/tessel/tessel.INI";
};

TEST_F(SettingsPlace, APortableCopyKeepsItsFilesBesideItself) {
    EXPECT_EQ(run(), dir / "bin/tessel.INI");
    EXPECT_NE(readFile(dir / "bin/tessel.INI").find("COM Port=3"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "config"));
}

TEST_F(SettingsPlace, AnInstalledCopyWritesTheUsersOwnSeededOnceFromTheOneBesideIt) {
    lockBin();
    EXPECT_EQ(run(), user) << "without a seed";
    EXPECT_NE(readFile(user).find("COM Port=3"), std::string::npos);
    EXPECT_EQ(fs::directory_iterator(dir / "bin"), fs::directory_iterator());

    fs::remove(user);
    fs::permissions(dir / "bin", fs::perms::owner_all);
    writeFile(dir / "bin/tessel.INI", "[ProgramServices]\nLogMessages=1\n");
    lockBin();
    EXPECT_EQ(run(), user);
    EXPECT_EQ(readFile(dir / "bin/tessel.INI"), "[ProgramServices]\nLogMessages=1\n");
    EXPECT_NE(readFile(user).find("LogMessages=1"), std::string::npos) << readFile(user);
    EXPECT_EQ(readFile(dir / "config/tessel/tessel.LOG"), "Tessel   Version: 3.6\nProgram Terminate\n");

    // A read-only INI in a writable folder is a seed too; the user's own is not seeded again.
    fs::permissions(dir / "bin", fs::perms::owner_all);
    writeFile(dir / "bin/tessel.INI", "[Configuration]\nCOM Port=1\n");
    fs::permissions(dir / "bin/tessel.INI", fs::perms::owner_read);
    EXPECT_EQ(run(), user);
    EXPECT_EQ(readFile(user).find("COM Port=1"), std::string::npos);

    EXPECT_EQ(run(dir / "mine.ini"), dir / "mine.ini") << "--ini wins";
    EXPECT_NE(readFile(dir / "mine.ini").find("COM Port=3"), std::string::npos);
}

TEST(SettingsFolder, TheDistributionsTreeIsInstalledAndHomeIsTheFallback) {
    EXPECT_TRUE(isInstalledProgramFolder("/usr/bin"));
    EXPECT_FALSE(isInstalledProgramFolder("/usr2/bin"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(userCompanionBase(), environmentFolder("HOME") + "/.config/tessel/tessel");
}

} // namespace
} // namespace tessel
