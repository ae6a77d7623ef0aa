// What a technician meets on Windows: the firmware dialog of an installed copy starts in the
// user's Documents folder (a portable one in the folder it was started in), a firmware file
// another program holds locked is "in use", and a new settings file has CR LF line ends.
#include "jobs/ScriptedJobWindow.h"
#include "support/TempDir.h"

#include "app/AppSession.h"
#include "app/MainWindowModel.h"
#include "support/CompanionFiles.h"
#include "support/Win32Text.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tessel::testing {
namespace {

struct WindowsCopy {
    TempDir dir;
    ScriptedJobWindow window;
    std::unique_ptr<AppSession> session;
    std::unique_ptr<MainWindowModel> model;

    WindowsCopy(const std::string& executable, const std::string& ini) {
        AppSession::Options options;
        options.executablePath = executable;
        options.iniPath = ini;
        options.simulate = true;
        session = std::make_unique<AppSession>(options, window);
        model = std::make_unique<MainWindowModel>(*session);
        model->windowShown();
    }
};

TEST(WindowsCopy, DocumentsFolderLockedFirmwareAndTheSettingsFilesLineEnds) {
    TempDir dir;
    const std::string ini = dir / "Tessel.INI";
    const std::string programFiles = environmentFolder("ProgramFiles");
    ASSERT_FALSE(programFiles.empty());
    {
        WindowsCopy installed(programFiles + "\\Tessel\\Tessel.exe", ini);
        const std::string documents = installed.model->hexFolder();
        EXPECT_NE(documents, ".");
        EXPECT_EQ(documents.substr(documents.size() - 10), "\\Documents") << documents;
        EXPECT_NE(GetFileAttributesW(wideFromUtf8(documents).c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(installed.session->settings().setHexPath("D:\\Firmware\\"));
        EXPECT_EQ(installed.model->hexFolder(), "D:\\Firmware\\") << "a folder chosen stays";
    }
    // A new settings file has the system's line ends.
    const std::string written = readFile(ini);
    EXPECT_EQ(written.rfind("[FileSpecs]\r\nHexPath=D:\\Firmware\\\r\n", 0), 0u) << written;
    for (std::size_t at = 0; (at = written.find('\n', at + 1)) != std::string::npos;)
        EXPECT_EQ(written[at - 1], '\r') << "at " << at;

    std::filesystem::remove(ini);
    WindowsCopy portable(dir / "Tessel.exe", ini);
    EXPECT_EQ(portable.model->hexFolder(), ".") << "the folder it was started in";

    const std::string firmware = dir / "KdV2.9.a90";
    writeFile(firmware, ":00000001FF\n");
    const HANDLE held = CreateFileW(wideFromUtf8(firmware).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        portable.model->progCode(firmware);
        ADD_FAILURE() << "a locked file is refused";
    } catch (const CommandError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Input File Open Error\n" + firmware + "\nit is in use by another program");
    }
    CloseHandle(held);
}

} // namespace
} // namespace tessel::testing
