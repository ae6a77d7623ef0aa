// The window as a technician meets it, without a toolkit: input that used to become something
// else, the keyboard's rules, the job window's questions, honest outcomes, the exit question,
// the firmware dialog's filter and drops, the job history and the instructions.
#include "MainWindowBench.h"

#include "app/BlockTransfer.h"
#include "app/ControlNames.h"
#include "app/Instructions.h"
#include "app/JobWindowModel.h"
#include "app/KeyFilter.h"
#include "block/RecordFields.h"
#include "firmware/HexReader.h"
#include "support/Latin1Text.h"
#include "support/ResultCode.h"
#include "support/SampleHex.h"
#include "support/Sha256.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace tessel::testing {
namespace {

namespace c = controls;
using Action = FieldKeyOutcome::Action;

// Types keys into a field by the field rules, the toolkit typing what they leave to it.
std::string typed(std::optional<KeyFilter> filter, std::string text, std::string_view keys) {
    FieldText field{text, text.size(), 0};
    for (const char ch : keys) {
        const FieldKeyOutcome o = fieldKey(filter, field, kindOfTyped(ch), ch);
        if (o.action != Action::Swallow)
            applyKey(field, {true, o.action == Action::Type ? o.ch : ch, false});
    }
    return field.text;
}

const std::string_view kRadius = fields::kNumericOptions[0].control;

TEST(HonestInput, ACommaIsAPointAPartRowStopsEnterEmptiesAMinusTextLatin1LettersAreLetters) {
    using K = KeyFilter;
    EXPECT_EQ(typed(K::DecimalNumber, "", "3,048"), "3.048") << "a decimal comma";
    EXPECT_EQ(typed(K::DecimalNumber, "3.0", ",5.,"), "3.05") << "one point, however typed";
    EXPECT_EQ(typed(K::DecimalNumber, "-1.5", "\r"), "") << "Enter empties a minus text";
    EXPECT_EQ(typed(K::UnsignedNumber, "-3", "\r"), "");
    EXPECT_EQ(typed(K::DecimalNumber, "2.5", "\r"), "2.5") << "and never types";
    EXPECT_EQ(typed(K::ScaleName, "", "\xe4" "b\xd7" "c"), "\xc4" "BC") << "ä is a letter, × none";

    MainWindowBench b(kAdvancedIni);
    b.putRecord(MainWindowBench::sampleRecord(2));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    ControlValues& ctl = b.model->controls();
    ctl.setText(kRadius, typed(K::DecimalNumber, "", "3,048"));
    ctl.setText(c::kScaleNames[0], latin1ToUtf8("\xc4" "BC")); // UTF-8 in the window
    for (std::size_t k = 0; k < 4; ++k)
        ctl.setText(c::scaleField(c::kMetricScalePrefix, 2, k), std::to_string(10 * (k + 1)));
    const auto opens = b.lightBar().counts().opens;
    const CommandOutcome halfARow = b.model->progVcb();
    EXPECT_EQ(halfARow.message, "Metric Offset Scale 3 needs all eight values")
        << "half a row is not dropped without a word";
    EXPECT_EQ(halfARow.field, c::scaleField(c::kMetricScalePrefix, 2, 4)) << "its first gap";
    EXPECT_EQ(b.lightBar().counts().opens, opens) << "nothing programmed";

    for (std::size_t k = 0; k < 4; ++k) ctl.setText(c::scaleField(c::kMetricScalePrefix, 2, k), "");
    ASSERT_EQ(b.model->progVcb().code, result::Ok) << "an empty row is no row";
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    EXPECT_EQ(b.session->host().record().tapeMinRadius, 3.048);
    EXPECT_EQ(b.session->host().record().scaleNames[0], "\xc4" "BC") << "Latin-1 in the block";
    EXPECT_EQ(b.text(c::kScaleNames[0]), "\xc3\x84" "BC") << "UTF-8 in the window";

    ctl.setText(c::kProductName, "KD\xe2\x82\xac"); // a euro sign: no Latin-1 character
    EXPECT_EQ(b.model->progVcb().field, c::kProductName);
}

TEST(HonestInput, TheOptionsDialogsConversionsAreRight) {
    const WindowLayout options = optionsDialogLayout();
    const auto factor = [&](const char* label) {
        return std::strtod(options.row(label).caption.c_str() + std::string("1 kph = ").size(),
                           nullptr);
    };
    EXPECT_NEAR(factor("lKphInKnots") * 1.852, 1.0, 1e-6) << "a knot is 1.852 km/h";
    EXPECT_NEAR(factor("lKphInMph") * 1.609344, 1.0, 1e-9) << "a mile is 1.609344 km";
}

TEST(Keyboard, NavigationIsNeverTypedCtrlASelectsEscapeEmptiesEnterNeverTypes) {
    EXPECT_EQ(kindOfTyped('\t'), KeyKind::Navigation) << "Tab moves on";
    EXPECT_EQ(kindOfTyped('\x01'), KeyKind::Navigation) << "a Ctrl key types nothing";
    for (const auto filter : {std::optional<KeyFilter>{}, std::optional(KeyFilter::ScaleValue)}) {
        FieldText field{"12", 1, 0};
        EXPECT_EQ(fieldKey(filter, field, KeyKind::Navigation).action, Action::Toolkit);
        EXPECT_EQ(fieldKey(filter, field, KeyKind::SelectAll).action, Action::Swallow);
        EXPECT_EQ(field.selectionLength, 2u) << "Ctrl+A selects the text";
        EXPECT_EQ(typed(filter, "12", "\r"), "12");
        EXPECT_EQ(typed(filter, "12", "\x1b"), "");
    }
}

// A job window model over the engine, its questions answered by key presses.
struct KeyedJob {
    VirtualClock clock;
    VirtualLightBar lightBar{clock};
    MemoryPortSettings settings;
    RecordHost host{true};
    std::function<void(JobWindowModel&)> onWait;
    std::function<void(JobWindowModel&)> onPump = [](JobWindowModel&) {};
    JobWindowModel window{[] { return true; }, [this] { onPump(window); },
                          [this] { onWait(window); }};
    ChipProgrammer engine{lightBar, clock, settings, window, host};
    TempDir dir;
    KeyedJob() {
        engine.setBackupFolder(dir / "backups");
        engine.selectPort(1);
    }
    void putRecord(const ConfigBlock& r) {
        BlockArea area;
        renderBlock(r, area);
        for (std::size_t i = 0; i < area.size(); ++i)
            lightBar.setFlashByte(0x1F000 + static_cast<std::uint32_t>(i), area[i]);
    }
    bool hasLine(LineStyle style, const std::string& text) const {
        for (const auto& l : window.lines())
            if (l.style == style && l.text == text) return true;
        return false;
    }
};

TEST(JobWindowKeys, EnterOnlyWhereOkIsTheAnswerEscapeForCancelOrNo) {
    using B = JobWindowModel::Button;
    KeyedJob j;
    std::vector<std::pair<std::optional<B>, std::optional<B>>> asked; // Enter's, Escape's
    j.onWait = [&](JobWindowModel& w) {
        asked.emplace_back(w.enterButton(), w.escapeButton());
        w.enterPressed(); // pressed everywhere: only "Click OK to exit" takes it
        w.escapePressed();
    };
    EXPECT_EQ(j.engine.initDefaultBlock(), result::EraseCancelled) << "Escape at the erase";
    EXPECT_EQ(j.lightBar.flashByte(0x1F000), 0xFF) << "Enter erased nothing";
    j.putRecord(MainWindowBench::sampleRecord(2, 7));
    BlockArea renumbered;
    renderBlock(MainWindowBench::sampleRecord(2, 8), renumbered);
    EXPECT_EQ(j.engine.programBlock(renumbered),
              result::SerialNumberChangeCancelled)
        << "Escape at a serial number change";
    const std::vector<std::pair<std::optional<B>, std::optional<B>>> expected = {
        {std::nullopt, B::Cancel}, {std::nullopt, B::No}, {B::Ok, std::nullopt}};
    EXPECT_EQ(asked, expected) << "erase question, serial number question, Click OK to exit";
}

TEST(JobWindowKeys, AnErasedLightBarWithoutItsFirmwareIsSaidInRed) {
    const std::string incomplete =
        " The Light Bar has no complete Firmware now: program it again with 'Prog Code'";
    FirmwareImage image;
    std::istringstream hex(sampleHex(2));
    ASSERT_EQ(readHex(hex, image), result::Ok);
    for (const bool cancel : {false, true}) {
        KeyedJob j;
        j.putRecord(MainWindowBench::sampleRecord(2));
        j.onWait = [](JobWindowModel& w) { w.setOkClicked(); };
        j.onPump = [&](JobWindowModel& w) {
            if (cancel && !w.lines().empty() &&
                w.lines().back().text == " Programming Light Bar Firmware Code")
                w.setCancelClicked();
        };
        EXPECT_EQ(j.engine.programFirmware(image, nullptr),
                  cancel ? result::OperationAborted : result::Ok);
        EXPECT_EQ(j.hasLine(LineStyle::Error, incomplete), cancel);
        EXPECT_EQ(j.hasLine(LineStyle::Error, " Operation aborted"), cancel) << "the system's line";
    }
}

TEST(ExitQuestion, OnlyForEditsNeverProgrammed) {
    MainWindowBench b(kAdvancedIni);
    EXPECT_FALSE(b.model->exitQuestion()) << "nothing read, nothing to lose";
    b.putRecord(MainWindowBench::sampleRecord(1));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    EXPECT_FALSE(b.model->exitQuestion()) << "as read";
    b.model->controls().setText(c::kProductName, "KD-9");
    EXPECT_EQ(b.model->exitQuestion(), std::string(MainWindowModel::kExitQuestion));
    ASSERT_EQ(b.model->progVcb().code, result::Ok);
    EXPECT_FALSE(b.model->exitQuestion()) << "programmed";
    b.model->controls().setText(c::scaleField(c::kEnglishScalePrefix, 0, 0), "x");
    EXPECT_TRUE(b.model->exitQuestion()) << "a field that no longer converts is an edit too";
}

TEST(FirmwareDialog, RemembersItsFilterAndTakesOneDroppedFile) {
    MainWindowBench b(kAdvancedIni);
    EXPECT_EQ(b.model->hexFilter(), 1u) << "A90 Hex files at first";
    b.model->hexFilterChosen(2);
    EXPECT_NE(b.ini().find("HexFilter=3"), std::string::npos) << b.ini();
    EXPECT_EQ(b.model->hexFilter(), 2u);

    EXPECT_FALSE(b.model->acceptsDrop({"KdV2.9.a90"})) << "Prog Code is not offered yet";
    b.putRecord(MainWindowBench::sampleRecord(2));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    EXPECT_TRUE(b.model->acceptsDrop({"KdV2.9.a90"}));
    EXPECT_FALSE(b.model->acceptsDrop({"a.hex", "b.hex"})) << "one file at a time";
    EXPECT_FALSE(b.model->acceptsDrop({}));
}

TEST(JobHistory, EveryJobIsOneRecordWithItsFirmwareAndBackups) {
    MainWindowBench b(kAdvancedIni);
    b.putRecord(MainWindowBench::sampleRecord(2, 9001));
    const std::string hexPath = b.dir / "KdV3.4.hex";
    writeFile(hexPath, sampleHex(2));
    ASSERT_EQ(b.model->readVcb().code, result::Ok);
    ASSERT_EQ(b.model->fileDropped(hexPath).code, result::Ok) << "Prog Code with the dropped file";
    EXPECT_EQ(b.model->hexFolder(), (b.dir / "")) << "as if chosen in the dialog";

    const HistoryFile file = readHistory(b.session->historyPath());
    ASSERT_EQ(file.records.size(), 2u);
    const HistoryRecord& read = file.records[0];
    EXPECT_EQ(read.command, "Read Light Bar VCB");
    EXPECT_EQ(read.port, "virtual");
    EXPECT_EQ(read.version, "3.6");
    EXPECT_EQ(read.serialBefore, 9001);
    EXPECT_EQ(read.message, "Ok");
    EXPECT_TRUE(historySince(read.time.substr(0, 19))) << read.time;
    const HistoryRecord& code = file.records[1];
    EXPECT_EQ(code.command, "Program Light Bar Firmware Code");
    EXPECT_EQ(code.firmwareFile, hexPath);
    EXPECT_EQ(code.firmwareProduct + " " + code.firmwareVersion, "KD v3.4");
    EXPECT_EQ(code.firmwareSha256, sha256Hex(readFile(hexPath)));
    EXPECT_EQ(code.serialAfter, 9001) << "the kept block read back";
    ASSERT_EQ(code.backups.size(), 2u) << "block area and EEPROM before the erase";
    EXPECT_NE(describeRecord(code).find("S/N 9001  " + hexPath + " (KD v3.4) sha256 "),
              std::string::npos)
        << describeRecord(code);


    // A virtual light bar without a state file keeps its backups and history in a folder of
    // its own, never the user's, which goes with it.
    const std::filesystem::path own = std::filesystem::path(code.backups[0]).parent_path().parent_path();
    EXPECT_EQ(own, std::filesystem::path(b.session->historyPath()).parent_path());
    b.model.reset();
    b.session.reset();
    EXPECT_FALSE(std::filesystem::exists(own));
}

TEST(Instructions, NameTheProgramAsItIsStartedHere) {
    EXPECT_EQ(programNameOf("/usr/bin/tessel"), "tessel");
    EXPECT_EQ(programNameOf("C:\\Program Files\\Tessel\\Tessel.exe"), "Tessel.exe");
    const std::string body = instructionsBody("tessel");
    EXPECT_NE(body.find("  3. Execute this program ('tessel')\r\n"), std::string::npos);
    EXPECT_EQ(body.size() + 4, kInstructionsBody.size()) << "nothing else changes";
    MainWindowBench b(kPlainIni);
    EXPECT_EQ(b.session->programName(), "tessel");
}

} // namespace
} // namespace tessel::testing
