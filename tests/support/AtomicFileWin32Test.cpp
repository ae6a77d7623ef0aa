// The Windows ways of the file and path helpers: the atomic replace through ReplaceFileW and
// MoveFileExW on UTF-8 paths, the read-only attribute, and the program's own path.
#include "support/AtomicFile.h"
#include "support/CompanionFiles.h"
#include "support/Win32Text.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tessel {
namespace {
using testing::filesIn;
using testing::TempDir;
namespace fs = std::filesystem;

TEST(AtomicFileWin32, ReplacesAnExistingFileOnAUtf8PathAndRespectsTheReadOnlyAttribute) {
    TempDir dir;
    const std::string folder = dir.path().string() + "\\Pr\xC3\xBC" "fstand \xE2\x82\xAC"; // "Prüfstand €"
    ASSERT_TRUE(CreateDirectoryW(wideFromUtf8(folder).c_str(), nullptr));
    const std::string ini = folder + "\\Tessel.INI";

    EXPECT_TRUE(replaceFileAtomically(ini, "[A]\r\nx=1\r\n")) << "a new file";
    EXPECT_TRUE(replaceFileAtomically(ini, "[A]\r\nx=2\r\n")) << "over the old one";
    EXPECT_EQ(readWholeFile(ini), "[A]\r\nx=2\r\n");
    EXPECT_EQ(filesIn(wideFromUtf8(folder)), 1u) << "no temporary file left behind";
    EXPECT_FALSE(fileIsReadOnly(ini));
    EXPECT_EQ(readWholeFile(folder + "\\missing.INI"), std::string());

    ASSERT_TRUE(SetFileAttributesW(wideFromUtf8(ini).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(fileIsReadOnly(ini));
    EXPECT_FALSE(mayWrite(ini));
    EXPECT_TRUE(mayWrite(folder));
    EXPECT_FALSE(replaceFileAtomically(ini, "[A]\r\nx=3\r\n"));
    EXPECT_EQ(readWholeFile(ini), "[A]\r\nx=2\r\n");
    EXPECT_EQ(filesIn(wideFromUtf8(folder)), 1u);
    SetFileAttributesW(wideFromUtf8(ini).c_str(), FILE_ATTRIBUTE_NORMAL);

    // A path relative to the current folder, with either separator.
    ASSERT_TRUE(SetCurrentDirectoryW(wideFromUtf8(dir.path().string()).c_str()));
    EXPECT_TRUE(replaceFileAtomically("Pr\xC3\xBC" "fstand \xE2\x82\xAC/Tessel.INI", "[A]\r\nx=4\r\n"));
    EXPECT_TRUE(replaceFileAtomically("Pr\xC3\xBC" "fstand \xE2\x82\xAC\\Tessel.INI", "[A]\r\nx=5\r\n"));
    EXPECT_EQ(readWholeFile(ini), "[A]\r\nx=5\r\n");
    EXPECT_EQ(filesIn(wideFromUtf8(folder)), 1u);
    SetCurrentDirectoryW(wideFromUtf8(fs::temp_directory_path().string()).c_str());
}

TEST(CompanionFilesWin32, TheBasePathIsTheProgramsOwnPathLessItsExtension) {
    const std::string self = currentExecutablePath();
    ASSERT_GT(self.size(), 4u);
    EXPECT_EQ(self.substr(self.size() - 4), ".exe");
    EXPECT_EQ(self.find('/'), std::string::npos) << "the system's own form: " << self;
    const auto files = CompanionFiles::forExecutable(self);
    EXPECT_EQ(files.iniPath, self.substr(0, self.size() - 4) + ".INI");

    EXPECT_EQ(CompanionFiles::forExecutable("C:\\Bench\\Tessel.exe").logPath, "C:\\Bench\\Tessel.LOG");
    EXPECT_EQ(CompanionFiles::forExecutable("C:\\v3.6\\tessel").basePath, "C:\\v3.6\\tessel");

    // An installed copy keeps its settings in the user's roaming application data.
    const auto installed = CompanionFiles::forProgram("c:/program files/Tessel/Tessel.exe", "");
    EXPECT_TRUE(installed.inUserFolder);
    EXPECT_EQ(installed.iniPath, environmentFolder("APPDATA") + "\\Tessel\\Tessel.INI");
}

} // namespace
} // namespace tessel
