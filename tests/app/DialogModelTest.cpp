// The option dialogs, the calibration window and the instructions page without a window: key
// filters, buttons, focus conversions, the acquisition on a virtual light bar, the page layout.
#include "MainWindowBench.h"
#include "TiltRecordBytes.h"

#include "app/BlockTransfer.h"
#include "app/ControlNames.h"
#include "app/Instructions.h"
#include "app/KeyFilter.h"
#include "app/OptionDialogs.h"
#include "app/TiltCalibrationModel.h"
#include "block/RecordFields.h"

#include <gtest/gtest.h>

namespace tessel::testing {
namespace {

namespace c = controls;

// Types keys into a field as the window does, beeps counted.
struct TypedField {
    FieldText field;
    int beeps = 0;

    TypedField& type(KeyFilter filter, std::string_view keys, bool clipboard = false) {
        for (char ch : keys) {
            const KeyVerdict v = filterKey(filter, field, {ch, clipboard});
            beeps += v.beep;
            applyKey(field, v);
        }
        return *this;
    }
    TypedField& selectAll() {
        field.selectionStart = 0;
        field.selectionLength = field.text.size();
        return *this;
    }
};

TypedField fieldWith(std::string text) {
    const std::size_t end = text.size();
    return {{std::move(text), end, 0}, 0};
}

TEST(KeyFilters, NumericFieldsOfTheOptionsDialogAndTheCalibrationReadings) {
    using K = KeyFilter;
    const std::string esc(1, keys::Escape);
    for (K f : {K::DecimalNumber, K::UnsignedNumber}) {
        SCOPED_TRACE(static_cast<int>(f));
        EXPECT_EQ(fieldWith("3.048").type(f, esc).field.text, "") << "Escape empties";
        EXPECT_EQ(fieldWith("12").type(f, "a-+\r 3").field.text, "123")
            << "letters, signs, blanks and Enter are refused";
        EXPECT_EQ(fieldWith("12").type(f, "\b").field.text, "1");
        EXPECT_EQ(fieldWith("-1.5").type(f, "2").field.text, "2")
            << "a pasted negative text is emptied by the next key";
        EXPECT_EQ(fieldWith("-1.5").type(f, "x").field.text, "x")
            << "... which then goes in unfiltered";
        EXPECT_EQ(fieldWith("12").type(f, "v", true).field.text, "12") << "no paste by key";
    }
    EXPECT_EQ(fieldWith("3").type(K::DecimalNumber, "..5").field.text, "3.5") << "one point";
    EXPECT_EQ(fieldWith("3.048").selectAll().type(K::DecimalNumber, ".").field.text, "3.048")
        << "the point is refused though the selected text holding it would go";
    EXPECT_EQ(fieldWith("3.048").selectAll().type(K::DecimalNumber, "7").field.text, "7");
    EXPECT_EQ(fieldWith("3").type(K::UnsignedNumber, ".").field.text, "3");

    EXPECT_EQ(fieldWith("1").type(K::SignedNumber, "2-3x.\r").field.text, "12-3")
        << "a sign anywhere, nothing else";
    EXPECT_EQ(fieldWith("-1").type(K::SignedNumber, esc + "5").field.text, "5");
    EXPECT_EQ(fieldWith("-1").type(K::SignedNumber, "c", true).field.text, "-1");
}

TEST(KeyFilters, ScaleNamesAndValuesDeleteTheSelectionThenBeepWhenFull) {
    using K = KeyFilter;
    TypedField name;
    name.type(K::ScaleName, "fin");
    EXPECT_EQ(name.field.text, "FIN");
    name.type(K::ScaleName, "a");
    EXPECT_EQ(name.field.text, "FIN");
    EXPECT_EQ(name.beeps, 1) << "a fourth letter beeps";
    EXPECT_EQ(name.selectAll().type(K::ScaleName, "x").field.text, "X");
    EXPECT_EQ(fieldWith("AB").type(K::ScaleName, "-.\r ").field.text, "AB");
    TypedField blanks = fieldWith("   ");
    blanks.type(K::ScaleName, "a");
    EXPECT_EQ(blanks.field.text, "   ") << "three blanks of an unnamed scale refuse a letter";
    EXPECT_EQ(blanks.beeps, 1);
    EXPECT_EQ(blanks.type(K::ScaleName, std::string(1, keys::Escape) + "a").field.text, "A");
    const KeyVerdict paste = filterKey(K::ScaleName, name.field, {0, true});
    EXPECT_TRUE(paste.pass) << "clipboard keys pass in the scales dialog";

    TypedField value;
    value.type(K::ScaleValue, "1234567x");
    EXPECT_EQ(value.field.text, "12345");
    EXPECT_EQ(value.beeps, 2);
    EXPECT_EQ(value.selectAll().type(K::ScaleValue, "9").field.text, "9");
}

TEST(OptionsDialog, FormContentsSkipBoxesAndTiltTakenAtClose) {
    MainWindowBench b(kAdvancedIni);
    RecordHost& host = b.session->host();
    OptionsDialogModel options(host);
    options.setFormContents();
    const auto& radius = fields::kNumericOptions[0];
    EXPECT_EQ(b.text(radius.control), "3.048");
    EXPECT_TRUE(b.enabled(radius.control));
    EXPECT_TRUE(b.model->controls().isChecked("rbTiltNo"));
    EXPECT_TRUE(b.model->controls().isChecked("rbAdvancedTapeSkip"));

    host.loadIntoWindows(); // the first load replaces the form's contents with the record's
    EXPECT_TRUE(b.model->controls().isChecked("rbTiltSkip"));
    EXPECT_FALSE(b.enabled(radius.control)) << "a skipped option's field is disabled";
    options.skipClicked(0, false);
    EXPECT_TRUE(b.enabled(radius.control));
    EXPECT_EQ(b.text(radius.control), "3.048");

    options.switchChosen(static_cast<std::size_t>(SwitchOption::Tilt), 0);
    EXPECT_FALSE(b.enabled(c::kTiltTempCal));
    options.closed();
    EXPECT_EQ(host.record().option(SwitchOption::Tilt), OptionState::Yes);
    EXPECT_TRUE(b.enabled(c::kTiltTempCal)) << "enabled at close, before any block is programmed";
    options.switchChosen(static_cast<std::size_t>(SwitchOption::Tilt), 2);
    options.closed();
    EXPECT_FALSE(b.enabled(c::kTiltTempCal));
}

TEST(ScalesDialog, DefaultsClearAndCollectRefusingValuesThatDoNotFit) {
    MainWindowBench b(kAdvancedIni);
    RecordHost& host = b.session->host();
    ScalesDialogModel scales(host);
    ControlValues& ctl = host.controls();
    host.record().setFormat(2);
    host.loadIntoWindows();
    scales.lightBarDefaults();
    host.collectFromWindows();
    EXPECT_EQ(host.record().scaleNames[0], "FIN");
    EXPECT_EQ(host.record().metricScales[2][7], 1260);
    EXPECT_EQ(host.record().englishScales[0][0], 3);

    ctl.setText(c::scaleField(c::kMetricScalePrefix, 0, 0), "70000");
    try {
        host.collectFromWindows();
        ADD_FAILURE() << "70000 does not fit a scale value";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'70000' is not a valid integer value");
    }
    ctl.setText(c::scaleField(c::kMetricScalePrefix, 0, 0), "");
    try {
        host.collectFromWindows();
        ADD_FAILURE() << "a row typed in part is no row to drop without a word";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "Metric Offset Scale 1 needs all eight values");
        EXPECT_EQ(e.control(), c::scaleField(c::kMetricScalePrefix, 0, 0)) << "its empty field";
    }

    scales.clearAll();
    host.collectFromWindows();
    EXPECT_EQ(host.record().scaleNames[3], "");
    EXPECT_EQ(host.record().englishScales[3], ScaleRow{});
    scales.setFormContents();
    EXPECT_EQ(b.text(c::kScaleNames[0]), " ");
}

struct TiltBench : MainWindowBench {
    explicit TiltBench(std::optional<int> comPort = std::nullopt)
        : MainWindowBench(kAdvancedIni, comPort) {}
    RecordHost& host = session->host();
    TiltCalibrationModel tilt{host, engine(), [this] { return model->applyComPort(); }};
    ControlValues& ctl = host.controls();

    void leave(std::string_view field, std::string_view typed) {
        tilt.fieldEntered(field);
        ctl.setText(field, typed);
        tilt.fieldLeft(field);
    }
};

TEST(TiltCalibration, TemperaturesConvertOnLeavingAFieldOnlyWhenEdited) {
    TiltBench b;
    const auto hiC = c::kCelsiusFields[0], hiF = c::kFahrenheitFields[0];
    for (auto [celsius, fahrenheit] : {std::pair{"25", "77"}, {"1", "34"}, {"2", "36"},
                                       {"37", "99"}, {"-1", "31"}, {"", "32"}}) {
        b.leave(hiC, celsius);
        EXPECT_EQ(b.ctl.text(hiF), fahrenheit) << celsius;
    }
    for (auto [fahrenheit, celsius] : {std::pair{"100", "38"}, {"212", "100"}, {"0", "-17"}}) {
        b.leave(hiF, fahrenheit);
        EXPECT_EQ(b.ctl.text(hiC), celsius) << fahrenheit;
    }
    // -1 C shows 31 F, which converts back to 0 C: clicking through must not change it.
    b.leave(hiC, "-1");
    b.leave(hiF, "31");
    EXPECT_EQ(b.ctl.text(hiC), "-1");
}

TEST(TiltCalibration, AcquireShowsACompleteRecordAndClearsAnIncompleteOne) {
    TiltBench b;
    putTiltRecord(b.lightBar(), 100, sampleTilt());
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::Complete);
    EXPECT_EQ(b.ctl.text("memoHiAngleAtCal"), "-10") << "350 degrees is -10";
    EXPECT_EQ(b.ctl.text("memoMidAngleAtCal"), "160") << "-200 degrees is 160";
    EXPECT_EQ(b.ctl.text("memoLoTempCalC"), "-20");
    EXPECT_EQ(b.ctl.text("memoLoTempCalF"), "-4");
    EXPECT_EQ(b.ctl.text("memoHiTempSlopeQ"), "-128");
    EXPECT_EQ(b.ctl.text("memoLoTempCalQ"), "40005");
    EXPECT_EQ(b.host.record().tiltCalibration.hiTempTiltAtCal, -10);
    EXPECT_NE(::testing::PrintToString(b.window.texts()).find("Finished Reading Light Bar"),
              std::string::npos);

    TiltCalibration incomplete = sampleTilt();
    incomplete.loTempQCal = 0;
    putTiltRecord(b.lightBar(), 100, incomplete);
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::Incomplete);
    EXPECT_EQ(b.host.record().tiltCalibration, TiltCalibration{});
    for (const auto& m : fields::kTilt) EXPECT_EQ(b.ctl.text(m.control), "") << m.label;
    EXPECT_EQ(b.ctl.text("memoHiTempCalF"), "");
}

TEST(TiltCalibration, NoRecordNoPortOrAFailedReadLeaveTheWindowAsItWas) {
    TiltBench b;
    b.leave("memoZeroGTestI", "77");
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::NoRecord) << "a blank data memory";
    EXPECT_TRUE(acquisitionMessage(TiltAcquisition::Outcome::NoRecord).has_value());

    // The marker without its zero byte, and a record that would run past the 700 bytes read.
    auto bytes = tiltRecordBytes(sampleTilt());
    bytes[17] = 'X';
    for (std::size_t i = 0; i < bytes.size(); ++i) b.lightBar().setEepromByte(10 + i, bytes[i]);
    putTiltRecord(b.lightBar(), 647, sampleTilt());
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::NoRecord);
    EXPECT_EQ(b.ctl.text("memoZeroGTestI"), "77");
    putTiltRecord(b.lightBar(), 646, sampleTilt());
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::Complete) << "the last place that fits";

    b.leave("memoZeroGTestI", "77");
    b.lightBar().setNoAnswer(true);
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::JobFailed);
    EXPECT_EQ(b.ctl.text("memoZeroGTestI"), "77");
}

TEST(TiltCalibration, AcquireWithoutACheckedComPortDoesNothing) {
    TiltBench b(0);
    putTiltRecord(b.lightBar(), 0, sampleTilt());
    EXPECT_EQ(b.tilt.acquire(), TiltAcquisition::Outcome::JobFailed);
    EXPECT_EQ(b.lightBar().counts().opens, 0u);
    EXPECT_EQ(b.host.record().tiltCalibration, TiltCalibration{});
}

TEST(InstructionsPage, LayoutAt300And600DotsPerInch) {
    const auto p300 = instructionsPage(300);
    EXPECT_EQ(p300.front().left, 125);
    EXPECT_EQ(p300.front().top, 208);
    EXPECT_TRUE(p300.front().heading);
    EXPECT_EQ(p300.front().text, kInstructionsHeading);
    EXPECT_EQ(p300[1].top, 340);
    EXPECT_EQ(p300[1].text, "This utility downloads firmware updates to the Light Bar.");
    EXPECT_EQ(p300[3].top, 208 + 5 * 66) << "body line 4 after an empty step";

    const auto p600 = instructionsPage(600);
    EXPECT_EQ(p600.front().left, 250);
    EXPECT_EQ(p600.front().top, 416);
    const auto last = p600.end() - 2;
    EXPECT_EQ(last->text, "  8. Close 'Tessel' by clicking the upper right X box.");
    EXPECT_EQ(last->top, 416 + 33 * 133);
    EXPECT_EQ(p600.back().text, "") << "an empty line after the final line end";
    EXPECT_EQ(p600.back().top, 416 + 34 * 133);
    EXPECT_EQ(p600.size(), 1u + 30u + 1u) << "heading, 30 non-empty body lines, the final empty";
}

} // namespace
} // namespace tessel::testing
