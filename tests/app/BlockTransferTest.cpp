#include "app/BlockTransfer.h"
#include "app/ControlNames.h"
#include "block/BlockText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <random>

namespace tessel {
namespace {

ConfigBlock sampleRecord() {
    ConfigBlock r;
    r.format = 2;
    r.serialNumber = -314159;
    r.customerId = 4;
    r.productName = "KD-7X";
    r.tapeMinRadius = 3.048;
    r.skipTapeMinRadius = false;
    r.minSogForCogKph = 10.0;
    r.tiltOpAmpGain = 0.5;
    r.skipTiltOpAmpGain = false;
    r.option(SwitchOption::Tilt) = OptionState::Yes;
    r.option(SwitchOption::Did20) = OptionState::No;
    r.scaleNames = {"FIN", "NRM", "", "AUT"};
    r.metricScales[0] = {10, 20, 40, 60, 80, 100, 120, 140};
    r.englishScales[3] = {5, 10, 20, 40, 100, 200, 400, 500};
    auto& t = r.tiltCalibration;
    t.zeroGTestI = 65535;
    t.hiTempC = 25;
    t.midTempC = -1;
    t.loTempC = 2;
    t.hiTempTiltAtCal = -180;
    t.hiTempICal = t.hiTempQCal = t.midTempICal = t.midTempQCal = t.loTempICal = t.loTempQCal = 7;
    t.hiTempISlope = -128;
    t.loTempQSlope = 127;
    return r;
}

// The load's own conversions; that every field reaches its control is shown by the
// load-then-collect test below.
TEST(BlockTransfer, LoadConvertsForDisplay) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    const auto availability = loadIntoWindows(record, c, true);
    EXPECT_EQ(c.text("lFormatNumber"), "2");
    EXPECT_TRUE(c.isChecked("mVcbFormat2") && !c.isChecked("mVcbFormat1"));
    EXPECT_EQ(c.text("memoCustomerId"), "DELMO");
    EXPECT_EQ(c.text("memoTapeMinRadius"), "3.048");
    EXPECT_EQ(c.text("memoMinSogForCog"), "10");
    EXPECT_FALSE(c.isEnabled("memoMinSogForCog")) << "a skipped value's field is disabled";
    EXPECT_EQ(c.text("memoHiTempCalF"), "77");
    EXPECT_EQ(c.text("memoMidTempCalF"), "31");
    EXPECT_EQ(c.text("memoLoTempCalF"), "36");
    EXPECT_TRUE(c.isChecked("rbTiltYes") && !c.isChecked("rbTiltSkip"));
    EXPECT_TRUE(c.isChecked("rbMetersOffDspOptionSkip"));
    EXPECT_EQ(c.text("memoMtScale18"), "140");
    EXPECT_EQ(c.text("memoMtScale21"), "") << "an absent row shows empty";
    EXPECT_TRUE(availability.tiltTempCal);
}

TEST(BlockTransfer, CommandAvailabilityFollowsTheFormat) {
    ControlValues c;
    for (bool advanced : {false, true}) {
        ConfigBlock record;
        record.format = 1;
        auto a = loadIntoWindows(record, c, advanced);
        EXPECT_EQ(a.convertToFormat1, false);
        EXPECT_EQ(a.convertToFormat2, true);
        EXPECT_EQ(a.initDefaultVcb, false);
        EXPECT_EQ(a.progCode, true);
        EXPECT_EQ(a.verifyCode, true);
        EXPECT_EQ(a.progVcb, advanced ? std::optional<bool>(true) : std::nullopt);
        EXPECT_EQ(a.productNameEditable, advanced ? std::optional<bool>(true) : std::nullopt);
        EXPECT_FALSE(a.tiltTempCal);

        record.format = 2;
        a = loadIntoWindows(record, c, advanced);
        EXPECT_EQ(a.convertToFormat1, true);
        EXPECT_EQ(a.convertToFormat2, false);
        EXPECT_EQ(a.verifyVcb, advanced ? std::optional<bool>(true) : std::nullopt);

        record.format = 0;
        a = loadIntoWindows(record, c, advanced);
        EXPECT_EQ(a.convertToFormat1, false);
        EXPECT_EQ(a.convertToFormat2, false);
        EXPECT_EQ(a.initDefaultVcb, std::nullopt) << "left as it was";
        EXPECT_EQ(a.progCode, false);
        EXPECT_EQ(a.progVcb, false);
        EXPECT_EQ(a.verifyVcb, false);
        EXPECT_EQ(c.text("lFormatNumber"), "?");
        EXPECT_EQ(c.text("memoSerialNumber"), "?");
        EXPECT_EQ(c.text("memoProductName"), "?");
    }

    // Applied to the controls: set entries change, empty ones leave the command alone.
    c.setEnabled("mInitDefaultVcb", true);
    ConfigBlock none;
    none.format = 0;
    loadIntoWindows(none, c, true).applyTo(c);
    EXPECT_TRUE(c.isEnabled("mInitDefaultVcb"));
    EXPECT_FALSE(c.isEnabled("bProgVcb"));
    EXPECT_FALSE(c.isEnabled("mShowTiltTempCal"));
}

TEST(BlockTransfer, LoadThenCollectGivesTheRecordBack) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    loadIntoWindows(record, c, true);
    ConfigBlock collected;
    EXPECT_TRUE(collectFromWindows(collected, c));
    EXPECT_EQ(collected, record);

    // Except: a row with a zero anywhere, a short name and a customer above 5.
    record.metricScales[1] = {1, 2, 0, 4, 5, 6, 7, 8};
    record.scaleNames[0] = "AB";
    record.customerId = 7;
    loadIntoWindows(record, c, true);
    EXPECT_EQ(record.customerId, 0) << "the load itself keeps no customer above 5";
    collectFromWindows(collected, c);
    EXPECT_EQ(collected.metricScales[1], ScaleRow{});
    EXPECT_EQ(collected.scaleNames[0], "");
    EXPECT_EQ(collected.customerId, 0);

    // Rendering the collected record gives the same block as rendering the loaded one.
    record.metricScales[1] = {};
    record.scaleNames[0] = "";
    BlockArea a;
    BlockArea b;
    ASSERT_TRUE(renderBlock(record, a));
    ASSERT_TRUE(renderBlock(collected, b));
    EXPECT_EQ(a, b);
}

TEST(BlockTransfer, LenientFieldsConvertAsTheWindowsDo) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    loadIntoWindows(record, c, true);
    c.setText("memoCustomerId", "   Veltrane");
    c.setText("memoScale1Name", "fin");
    c.setText("memoScale2Name", "ABCD");
    c.setText("memoZeroGTestQ", "");
    c.setText("memoHiTempSlopeQ", "-128");
    c.setText("memoHiTempCalF", "not collected");
    c.setText("memoProductName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    c.setChecked("rbTiltYes", false);
    c.setChecked("rbTiltNo", false);
    c.setChecked("rbTiltSkip", false);
    ConfigBlock collected;
    EXPECT_FALSE(collectFromWindows(collected, c));
    EXPECT_EQ(collected.customerId, 2);
    EXPECT_EQ(collected.scaleNames[0], "fin");
    EXPECT_EQ(collected.scaleNames[1], "");
    EXPECT_EQ(collected.tiltCalibration.zeroGTestQ, 0) << "an empty field reads 0";
    EXPECT_EQ(collected.tiltCalibration.hiTempQSlope, -128);
    EXPECT_EQ(collected.productName, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(collected.option(SwitchOption::Tilt), OptionState::Skip);

    c.setText("memoCustomerId", "VELTRANE");
    c.setText("lFormatNumber", "?");
    collectFromWindows(collected, c);
    EXPECT_EQ(collected.customerId, 0);
    EXPECT_EQ(collected.format, 0);

    // A calibration or scale value its member cannot hold is refused, never stored wrapped.
    for (auto [control, text] : {std::pair{"memoMtScale21", "70000"}, {"memoFtScale11", "65536"},
                                 {"memoFtScale12", "-3"}, {"memoZeroGTestQ", "abc"},
                                 {"memoHiTempCalC", "-40000"}, {"memoHiTempSlopeQ", "-129"},
                                 {"memoLoTempSlopeI", "200"}}) {
        const std::string before = c.text(control);
        c.setText(control, text);
        try {
            collectFromWindows(collected, c);
            ADD_FAILURE() << control << " " << text << " was collected";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
        c.setText(control, before);
    }
}

TEST(BlockTransfer, ConversionErrorsStopTheCollection) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    loadIntoWindows(record, c, true);

    c.setText("memoSerialNumber", "");
    c.setText("lFormatNumber", "1");
    ConfigBlock collected;
    try {
        collectFromWindows(collected, c);
        FAIL() << "an empty serial number must not collect";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
        EXPECT_EQ(e.kind(), ConversionError::Kind::Integer);
        EXPECT_EQ(e.control(), "memoSerialNumber");
    }
    EXPECT_EQ(collected.format, 1) << "collected before the failing field";
    EXPECT_EQ(collected.productName, "TQM.800");

    c.setText("memoSerialNumber", "12x");
    EXPECT_THROW(collectFromWindows(collected, c), ConversionError);

    // A skipped option's empty field still stops the collection, after the main window's fields.
    c.setText("memoSerialNumber", "77");
    c.setText("memoMinSogForCog", "");
    collected = ConfigBlock{};
    try {
        collectFromWindows(collected, c);
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
        EXPECT_EQ(e.kind(), ConversionError::Kind::Real);
    }
    EXPECT_EQ(collected.serialNumber, 77);
    EXPECT_EQ(collected.customerId, 4);
    EXPECT_DOUBLE_EQ(collected.tapeMinRadius, 3.048) << "the first numeric field was collected";

    for (const char* bad : {".", "12,5", "1.2.3", "--1", "abc"}) {
        c.setText("memoMinSogForCog", bad);
        try {
            collectFromWindows(collected, c);
            FAIL() << bad;
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    c.setText("memoMinSogForCog", "-1.5");
    EXPECT_NO_THROW(collectFromWindows(collected, c));
    EXPECT_DOUBLE_EQ(collected.minSogForCogKph, -1.5);
    loadIntoWindows(collected, c, true);
    EXPECT_EQ(c.text("memoMinSogForCog"), "-1.5");
}

TEST(BlockTransfer, WithdrawnCharacterNeverReachesABlock) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    loadIntoWindows(record, c, true);
    ConfigBlock collected;

    c.setText("memoProductName", "KD~7");
    try {
        collectFromWindows(collected, c);
        FAIL() << "a pasted ~ must be refused";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.kind(), ConversionError::Kind::BlockText);
        EXPECT_STREQ(e.what(), "'KD~7' cannot be stored in a light bar block: it contains "
                               "\"~\", \"< end >\" or a control character");
    }
    // An end marker inside the name would end the block early for every reader.
    c.setText("memoProductName", "A < end >");
    EXPECT_THROW(collectFromWindows(collected, c), ConversionError);
    c.setText("memoProductName", "KD\t7");
    EXPECT_THROW(collectFromWindows(collected, c), ConversionError);
    c.setText("memoProductName", "KD-7");

    c.setText("memoScale1Name", "A~B");
    EXPECT_THROW(collectFromWindows(collected, c), ConversionError);
    c.setText("memoScale1Name", "A~BC"); // not three characters: dropped as always
    EXPECT_NO_THROW(collectFromWindows(collected, c));
    EXPECT_EQ(collected.scaleNames[0], "");
}

// A light bar keeps only what follows a name's last blank or colon: such names are refused
// before any job, names that read back unchanged pass.
TEST(BlockTransfer, NamesALightBarWouldCutAreRefused) {
    ConfigBlock record = sampleRecord();
    ControlValues c;
    loadIntoWindows(record, c, true);
    ConfigBlock collected;

    c.setText("memoProductName", "LB 3000");
    try {
        collectFromWindows(collected, c);
        FAIL() << "a name with a blank inside must be refused";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.kind(), ConversionError::Kind::Name);
        EXPECT_STREQ(e.what(), "'LB 3000' cannot be stored in a light bar block: a blank or "
                               "\":\" inside a name does not read back");
    }
    for (const char* name : {" LB", "LB:3", "KD-7  "}) {
        c.setText("memoProductName", name);
        EXPECT_THROW(collectFromWindows(collected, c), ConversionError) << name;
    }
    c.setText("memoProductName", "KD-7");
    c.setText("memoScale1Name", "A B");
    EXPECT_THROW(collectFromWindows(collected, c), ConversionError);

    // A trailing blank or colon, and names of blanks only ("no name"), read back as they are.
    c.setText("memoProductName", "KD-7 ");
    c.setText("memoScale1Name", "AB:");
    c.setText("memoScale2Name", "   ");
    ASSERT_NO_THROW(collectFromWindows(collected, c));
    BlockArea area;
    ASSERT_TRUE(renderBlock(collected, area));
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_EQ(parsed.productName, "KD-7 ");
    EXPECT_EQ(parsed.scaleNames[0], "AB:");
    EXPECT_EQ(parsed.scaleNames[1], "   ");
}

// The command line normalises a record without the windows: whatever the record holds, it gets
// what a load into the windows and a collection from them give, or the collection's message.
TEST(BlockTransfer, NormalizeRecordGivesWhatTheWindowsCollect) {
    std::mt19937 random(19);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto text = [&](int longest) {
        static constexpr std::string_view kPieces[] = {"A", "b", "7", " ", ":", "~", "\t",
                                                       "\xFF", "< end >", "-"};
        std::string t;
        for (int n = pick(0, longest); n > 0; --n) t += kPieces[pick(0, 9)];
        return t;
    };
    const double reals[] = {3.048, 0.1 + 0.2, -0.0, 1e300, DBL_MAX, 123456789.123456789, 5e-324};
    for (int i = 0; i < 3000; ++i) {
        ConfigBlock r;
        r.format = pick(1, 2);
        r.customerId = pick(-2, 8);
        r.productName = text(i % 50 == 0 ? 30 : 6);
        r.minSogForCogKph = reals[pick(0, 6)];
        for (auto& option : r.options) option = static_cast<OptionState>(pick(0, 3));
        for (auto& name : r.scaleNames) name = text(i % 7 == 0 ? 4 : 2);
        for (auto& row : r.englishScales)
            for (auto& value : row) value = static_cast<std::uint16_t>(pick(0, 6));

        ConfigBlock collected = r;
        ControlValues c;
        loadIntoWindows(collected, c, true);
        std::string message;
        try {
            collectFromWindows(collected, c);
        } catch (const ConversionError& e) {
            message = e.what();
        }
        const RecordOutcome outcome = normalizeRecord(r);
        ASSERT_EQ(outcome.ok() ? "" : outcome.message(), message) << i;
        if (outcome.ok()) {
            ASSERT_EQ(r, collected) << i;
        }
    }
}

} // namespace
} // namespace tessel
