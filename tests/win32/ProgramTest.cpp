// The Windows programs as files and as a whole: the version resource from the version table, the
// icon and manifest compiled in, a start-up that cannot go on, and the printed page as drawn.
#include "Win32Bench.h"

#include "app/Instructions.h"
#include "support/VersionInfo.h"
#include "win32/InstructionsBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tessel::testing {
namespace {

std::string versionString(const std::vector<char>& block, const char* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\" + wideFromUtf8(VersionInfo::kLanguageBlock) +
                              L"\\" + wideFromUtf8(key);
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
        return std::string(VersionInfo::kNotFound);
    return utf8FromWide(static_cast<const wchar_t*>(value));
}

TEST(Win32Program, BothProgramsCarryTheVersionTableTheIconAndTheManifest) {
    for (const char* program : {TESSEL_WINDOW_PROGRAM, TESSEL_CONSOLE_PROGRAM}) {
        SCOPED_TRACE(program);
        const std::wstring path = wideFromUtf8(program);
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
        ASSERT_GT(size, 0u);
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
        for (const auto& [key, text] : VersionInfo::builtIn().strings)
            EXPECT_EQ(versionString(block, key.c_str()), text) << key;

        HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
        const auto type = [](LPSTR t) { return MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(t)); };
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), type(RT_GROUP_ICON)), nullptr);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), type(RT_MANIFEST)), nullptr);
        FreeLibrary(module);
    }
}

TEST(Win32Program, AStartUpFailureIsShownAndEndsWithTheCommandLinesExitCode) {
    Win32Bench b(kPlainIni); // it answers the box
    const std::string state = b.dir / "bar.state";
    writeFile(state, "not a light bar\n");
    AppSession::Options options;
    options.executablePath = b.dir / "Other.exe";
    options.iniPath = b.iniPath;
    options.simulate = true;
    options.simulateFile = state;
    EXPECT_EQ(win32::runWin32Program(options), result::BadInput);
    EXPECT_EQ(b.boxes,
              std::vector<std::string>{"Tessel|" + state + " is not a saved virtual light bar"});
    EXPECT_EQ(readFile(state), "not a light bar\n") << "never overwritten";
}

TEST(Win32Program, ThePrintedPageIsDrawnAtThePrintersResolution) {
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    const int resolution = GetDeviceCaps(dc, LOGPIXELSY);
    win32::drawInstructionsPage(dc);
    HENHMETAFILE page = CloseEnhMetaFile(dc);
    struct Text {
        POINTL at;
        std::string text;
    };
    std::vector<Text> texts;
    EnumEnhMetaFile(
        nullptr, page,
        [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) -> int {
            if (record->iType != EMR_EXTTEXTOUTW) return 1;
            const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
            const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const char*>(t) +
                                                                 t->emrtext.offString);
            reinterpret_cast<std::vector<Text>*>(out)->push_back(
                {t->emrtext.ptlReference, utf8FromWide(std::wstring(chars, t->emrtext.nChars))});
            return 1;
        },
        &texts, nullptr);
    DeleteEnhMetaFile(page);
    // Lines with text (an empty one may leave a record or none).
    std::erase_if(texts, [](const Text& t) { return t.text.empty(); });
    // The page at the reference device's 96 pixels per inch: the margins 40 (left) and 66 (top)
    // pixels, a line every 21; the heading on the first line, the body's line k on line k + 1,
    // its empty lines leaving their steps empty.
    ASSERT_EQ(resolution, 96);
    const std::pair<int, std::string> expected[] = {
        {66, std::string(kInstructionsHeading)},
        {108, "This utility downloads firmware updates to the Light Bar."},
        {129, "A special interface cable connects the Light Bar to the Host PC COM Port."},
        {171, "Steps for installing Light Bar firmware from file 'KdV2.9.a90':"},
        {213, "  1. Connect special interface cable between Light Bar and PC COM port."},
        {759, "  8. Close 'Tessel' by clicking the upper right X box."},
    };
    ASSERT_EQ(texts.size(), 31u) << "the heading and the body's 30 lines with text";
    for (const auto& [top, text] : expected) {
        const auto drawn = std::find_if(texts.begin(), texts.end(),
                                        [&](const Text& t) { return t.text == text; });
        ASSERT_NE(drawn, texts.end()) << text;
        EXPECT_EQ(drawn->at.x, 40) << text;
        EXPECT_EQ(drawn->at.y, top) << text;
    }
}

} // namespace
} // namespace tessel::testing
