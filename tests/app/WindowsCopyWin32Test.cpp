// What a technician meets on Windows: the firmware dialog of an installed copy starts in the
// user's Documents folder (a portable one in the folder it was started in), a firmware file
// another program holds locked is "in use", and new settings lines end in CR LF.
#include "MainWindowBench.h"

#include "support/CompanionFiles.h"
#include "support/Win32Text.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tessel::testing {
namespace {

TEST(WindowsCopy, DocumentsFolderLockedFirmwareAndTheSettingsFilesLineEnds) {
    const std::string programFiles = environmentFolder("ProgramFiles");
    MainWindowBench installed("", std::nullopt, programFiles + "\\Tessel\\Tessel.exe");
    const std::string documents = installed.model->hexFolder();
    EXPECT_TRUE(documents.ends_with("\\Documents")) << documents;
    EXPECT_NE(GetFileAttributesW(wideFromUtf8(documents).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(installed.settings().setHexPath("D:\\Firmware\\"));
    EXPECT_EQ(installed.model->hexFolder(), "D:\\Firmware\\") << "a folder chosen stays";
    EXPECT_EQ(installed.ini(), "[FileSpecs]\r\nHexPath=D:\\Firmware\\\r\n");

    MainWindowBench portable("");
    EXPECT_EQ(portable.model->hexFolder(), ".") << "the folder it was started in";
    const std::string firmware = portable.dir / "KdV2.9.a90";
    writeFile(firmware, ":00000001FF\n");
    const HANDLE held = CreateFileW(wideFromUtf8(firmware).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const CommandOutcome refused = portable.model->progCode(firmware);
    EXPECT_EQ(refused.code, result::InputFileOpenError);
    EXPECT_EQ(refused.message.value_or(""),
              "Input File Open Error\n" + firmware + "\nit is in use by another program");
    CloseHandle(held);
}

} // namespace
} // namespace tessel::testing
