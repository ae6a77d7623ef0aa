// The main window's rules, one test per state it can be in, driven through its commands on a
// virtual light bar.
#include "MainWindowBench.h"

#include "app/ControlNames.h"
#include "block/RecordFields.h"
#include "support/ResultCode.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

namespace c = controls;

// The four light bar programming buttons and the two conversions, in one string for messages.
std::string commandStates(const MainWindowBench& b) {
    std::string s;
    for (std::string_view name : {c::kProgCode, c::kVerifyCode, c::kProgVcb, c::kVerifyVcb,
                                  c::kConvertToFormat1, c::kConvertToFormat2, c::kInitDefaultVcb})
        s += std::string(name) + (b.enabled(name) ? "=on " : "=off ");
    return s;
}

void expectUnknownBlockShown(const MainWindowBench& b) {
    EXPECT_EQ(b.text(c::kFormatNumber), "?");
    EXPECT_EQ(b.text(c::kSerialNumber), "?");
    EXPECT_EQ(b.text(c::kProductName), "?");
    for (std::string_view name : {c::kProgCode, c::kVerifyCode, c::kProgVcb, c::kVerifyVcb,
                                  c::kConvertToFormat1, c::kConvertToFormat2})
        EXPECT_FALSE(b.enabled(name)) << name;
}

TEST(MainWindowState, AfterStartUpNothingIsKnownAndTheIniPortIsApplied) {
    for (const char* ini : {kAdvancedIni, kPlainIni,
                            "[Configuration]\nType Control=52817364\nCOM Port=2\n"}) {
        MainWindowBench b(ini);
        SCOPED_TRACE(ini);
        EXPECT_EQ(b.model->title(), "Tessel v3.6 \u2013 virtual light bar");
        expectUnknownBlockShown(b);
        EXPECT_FALSE(b.enabled(c::kInitDefaultVcb));
        EXPECT_FALSE(b.enabled(c::kProductName)) << "read-only until a block is loaded";
        const int port = b.settings().comPort();
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(b.model->comChecked(n), n == port);
        EXPECT_EQ(b.engine().portIndex(), port);
        EXPECT_EQ(b.lightBar().counts().opens, 0u) << "start-up touches no port";
    }
    EXPECT_TRUE(MainWindowBench("[Configuration]\nType Control=52817364\n").model->advancedMode());
    EXPECT_FALSE(MainWindowBench("[Configuration]\nType Control=5\n").model->advancedMode());
}

TEST(MainWindowState, AFormat1BlockLoadedOffersFormat2AndTheProgrammingCommands) {
    for (const char* ini : {kAdvancedIni, kPlainIni}) {
        MainWindowBench b(ini);
        SCOPED_TRACE(ini);
        b.putRecord(MainWindowBench::sampleRecord(1));
        b.model->controls().setText(fields::kTilt[0].control, "123");
        ASSERT_EQ(b.model->readVcb().code, result::Ok)
            << ::testing::PrintToString(b.window.texts());
        EXPECT_EQ(b.text(c::kFormatNumber), "1");
        EXPECT_EQ(b.text(c::kSerialNumber), "4711");
        EXPECT_EQ(b.text(c::kProductName), "KD-7");
        EXPECT_EQ(b.text(fields::kTilt[0].control), "0") << "Read VCB clears the tilt calibration first";
        EXPECT_TRUE(b.enabled(c::kProgCode) && b.enabled(c::kVerifyCode)) << commandStates(b);
        EXPECT_FALSE(b.enabled(c::kConvertToFormat1));
        EXPECT_TRUE(b.enabled(c::kConvertToFormat2));
        EXPECT_FALSE(b.enabled(c::kInitDefaultVcb));
        EXPECT_EQ(b.enabled(c::kProductName), b.model->advancedMode())
            << "the product name is editable in advanced mode only";
        EXPECT_TRUE(b.enabled(c::kTiltTempCal)) << "the block's Tilt option is Yes";

        // The conversion's own load shows the new format.
        ASSERT_EQ(b.model->convertVcb(2).code, result::Ok);
        EXPECT_EQ(b.text(c::kFormatNumber), "2");
        EXPECT_TRUE(b.enabled(c::kConvertToFormat1));
        EXPECT_FALSE(b.enabled(c::kConvertToFormat2));
    }
}

TEST(MainWindowState, AFormat2BlockLoadedOffersFormat1AndBlockProgramming) {
    MainWindowBench b(kAdvancedIni);
    b.putRecord(MainWindowBench::sampleRecord(2, 815));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    EXPECT_EQ(b.text(c::kFormatNumber), "2");
    EXPECT_EQ(b.text(c::kSerialNumber), "815");
    for (std::string_view name :
         {c::kProgCode, c::kVerifyCode, c::kProgVcb, c::kVerifyVcb, c::kConvertToFormat1})
        EXPECT_TRUE(b.enabled(name)) << name;
    EXPECT_FALSE(b.enabled(c::kConvertToFormat2));

    // An edited product name goes to the light bar through collect and render.
    b.model->controls().setText(c::kProductName, "KD-9");
    ASSERT_EQ(b.model->progVcb().code, result::Ok) << ::testing::PrintToString(b.window.texts());
    ASSERT_EQ(b.model->verifyVcb().code, result::Ok);
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    EXPECT_EQ(b.text(c::kProductName), "KD-9");
}

TEST(MainWindowState, NoValidBlockOffersInitDefaultVcbWhichReadsTheNewBlockBack) {
    for (const char* ini : {kAdvancedIni, kPlainIni}) {
        MainWindowBench b(ini);
        SCOPED_TRACE(ini);
        EXPECT_EQ(b.model->readVcb().code, result::NoValidVcb) << "an erased light bar";
        expectUnknownBlockShown(b);
        EXPECT_TRUE(b.enabled(c::kInitDefaultVcb)) << "in both modes";

        ASSERT_EQ(b.model->initDefaultVcb().code, result::Ok);
        EXPECT_EQ(b.text(c::kFormatNumber), "2");
        EXPECT_EQ(b.text(c::kSerialNumber), "1");
        EXPECT_FALSE(b.enabled(c::kInitDefaultVcb));
        EXPECT_TRUE(b.enabled(c::kProgCode));
    }
}

TEST(MainWindowState, AFailedOrEmptyReadShowsNothingAndOffersNothing) {
    MainWindowBench b(kAdvancedIni);
    b.putRecord(MainWindowBench::sampleRecord(2));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);

    b.lightBar().setNoAnswer(true);
    EXPECT_EQ(b.model->readVcb().code, result::ChipNotResponding);
    expectUnknownBlockShown(b);
    EXPECT_FALSE(b.enabled(c::kInitDefaultVcb)) << commandStates(b);

    // No COM port checked (COM1 vanished at the menu's probe): no job, and "Init Default VCB"
    // is withdrawn.
    MainWindowBench none(kPlainIni);
    EXPECT_EQ(none.model->readVcb().code, result::NoValidVcb);
    ASSERT_TRUE(none.enabled(c::kInitDefaultVcb));
    writeFile(none.iniPath, "[Configuration]\nSkipComPort1=1\n");
    none.model->comPortMenuOpened();
    none.model->controls().setText(fields::kTilt[0].control, "5");
    const auto opens = none.lightBar().counts().opens;
    EXPECT_EQ(none.model->readVcb().code, result::Error);
    EXPECT_EQ(none.lightBar().counts().opens, opens);
    EXPECT_FALSE(none.enabled(c::kInitDefaultVcb));
    EXPECT_EQ(none.text(fields::kTilt[0].control), "5") << "nothing is cleared without a port";
}

TEST(MainWindowState, AFailedBlockProgramOrVerifyWithdrawsTheProgrammingButtons) {
    MainWindowBench b(kAdvancedIni);
    b.putRecord(MainWindowBench::sampleRecord(1));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    b.model->controls().setText(c::kProductName, "Other");
    EXPECT_EQ(b.model->verifyVcb().code, result::VcbVerifyError);
    for (std::string_view name : {c::kProgCode, c::kVerifyCode, c::kProgVcb, c::kVerifyVcb})
        EXPECT_FALSE(b.enabled(name)) << name;
    EXPECT_TRUE(b.enabled(c::kConvertToFormat2)) << "the conversions stay as the load left them";

    // A field that does not convert stops before any job; the states stay as they were.
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    b.model->controls().setText(c::kSerialNumber, "12a");
    const auto jobs = b.window.titles.size();
    const CommandOutcome stopped = b.model->progVcb();
    EXPECT_EQ(stopped.message, "'12a' is not a valid integer value");
    EXPECT_EQ(stopped.field, c::kSerialNumber);
    EXPECT_EQ(b.window.titles.size(), jobs);
    EXPECT_TRUE(b.enabled(c::kProgVcb));
    EXPECT_FALSE(b.model->busy());
}

TEST(MainWindowComPorts, ASkippedSavedPortIsUsedUntilTheMenuProbesIt) {
    MainWindowBench b("[Configuration]\nCOM Port=3\nSkipComPort3=1\n");
    EXPECT_TRUE(b.model->comChecked(3));
    EXPECT_EQ(b.engine().portIndex(), 3) << "the first job goes to COM3";
    b.model->comPortMenuOpened();
    EXPECT_FALSE(b.model->comChecked(3));
    EXPECT_FALSE(b.model->comEnabled(3));
    EXPECT_TRUE(b.model->comEnabled(1));
    b.model->comPortClicked(3);
    EXPECT_FALSE(b.model->comChecked(3)) << "a disabled item cannot be chosen";

    b.model->comPortClicked(2);
    EXPECT_TRUE(b.model->comChecked(2));
    EXPECT_EQ(b.engine().portIndex(), 2);
    EXPECT_NE(b.ini().find("COM Port=2"), std::string::npos) << b.ini();
}

TEST(MainWindowComPorts, AReadOnlyIniIsNeverWritten) {
    const std::string ini = "[Configuration]\nIniFileIsReadOnly=1\nCOM Port=1\n";
    MainWindowBench b(ini);
    b.model->comPortClicked(2);
    EXPECT_TRUE(b.model->comChecked(2) && !b.model->comChecked(1));
    EXPECT_EQ(b.engine().portIndex(), 2);
    writeFile(b.dir / "f.hex", ":00000001FF\n");
    EXPECT_EQ(b.model->progCode(b.dir / "f.hex").code, result::HexFileFormatError)
        << "holds no firmware";
    EXPECT_EQ(b.ini(), ini) << "neither COM Port nor HexPath written";
}

TEST(MainWindowFirmware, FileProblemsAreShownAndNoJobStarts) {
    MainWindowBench b(kAdvancedIni);
    EXPECT_EQ(b.model->progCode(std::nullopt).code, result::InputFileCancel);

    const std::string missing = b.dir / "sub/missing.a90";
    const CommandOutcome unread = b.model->progCode(missing);
    EXPECT_EQ(unread.code, result::InputFileOpenError);
    ASSERT_TRUE(unread.message);
    EXPECT_EQ(unread.message->rfind("Input File Open Error\n" + missing + "\n", 0), 0u)
        << "the whole path, then why: " << *unread.message;
    EXPECT_EQ(b.model->hexFolder(), b.dir / "sub/") << "the folder is kept even so";
    EXPECT_EQ(b.model->verifyCode(b.dir.path().string()).message,
              "Input File Open Error\n" + b.dir.path().string() + "\nit is a folder");
    writeFile(b.dir / "bad.hex", ":10000000ZZ\n");
    EXPECT_EQ(b.model->verifyCode(b.dir / "bad.hex").message,
              "HEX File Format Error\n" + (b.dir / "bad.hex"));
    EXPECT_TRUE(b.window.titles.empty()) << "no job window opened";

    // No COM port checked: silent, after the folder is stored.
    MainWindowBench none("[Configuration]\n", 0);
    writeFile(none.dir / "f.hex", ":0100000011EE\n:00000001FF\n");
    EXPECT_EQ(none.model->verifyCode(none.dir / "f.hex").code, result::Error);
    EXPECT_NE(none.ini().find("HexPath=" + (none.dir.path() / "").string()), std::string::npos);
    EXPECT_TRUE(none.window.titles.empty());
}

} // namespace
} // namespace tessel::testing
