// The block jobs end to end on the virtual light bar: what the log shows, what the chip was asked
// to do, and what its flash holds afterwards.
#include "JobTest.h"

#include <cstring>

namespace tessel::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr std::uint32_t kFormat1Base = 0x1F800;

std::size_t offsetOf(const BlockArea& area, const std::string& text, std::size_t from = 0) {
    const std::string_view s(reinterpret_cast<const char*>(area.data()), area.size());
    return s.find(text, from);
}

// The values a block carries (a parse leaves unnamed scale names as three blanks).
bool sameValues(const ConfigBlock& a, const ConfigBlock& b) {
    return a.format == b.format && a.serialNumber == b.serialNumber &&
           a.customerId == b.customerId && a.productName == b.productName &&
           a.options == b.options;
}

// Sets the digit of the "VCB Format" line of a rendered format 2 area.
void setFormatDigit(BlockArea& area, char digit) {
    const auto at = offsetOf(area, "VCB Format:             2");
    area[at + 24] = static_cast<std::uint8_t>(digit);
}

// --- read -------------------------------------------------------------------------------------

using ReadBlockJob = JobTest;

TEST_F(ReadBlockJob, StopsFourBytesPastTheEndMarkerAndLeavesTheRestErased) {
    BlockArea stored = JobBench::rendered(JobBench::sampleRecord());
    const auto end = offsetOf(stored, "< end >");
    std::memcpy(stored.data() + end + 12, "stale text", 10); // never read
    b.putBlockArea(stored);

    BlockArea area;
    area.fill(0x55);
    ASSERT_EQ(b.engine.readBlock(area), 0) << log();

    EXPECT_EQ(b.instructionsWith(0x20) + b.instructionsWith(0x28), end + 11);
    EXPECT_EQ(area[end + 9], '~') << "the zero byte after the block reads as withdrawn";
    EXPECT_EQ(area[end + 10], 0xFF);
    EXPECT_TRUE(std::all_of(area.begin() + static_cast<std::ptrdiff_t>(end + 11), area.end(),
                            [](std::uint8_t v) { return v == 0xFF; }));
    EXPECT_TRUE(std::equal(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(end + 9),
                           stored.begin()));

    EXPECT_EQ(b.window.titles, Lines{"--- Read Light Bar VCB ---"});
    EXPECT_EQ(b.window.blockPaneShown, std::vector<bool>{true});
    EXPECT_EQ(b.window.texts(), (Lines{" Signature Bytes: 1e 97 02", " Fuse Bytes:      e0 d9 fd",
                                       " Finished Reading Light Bar VCB"}));
    ASSERT_EQ(b.window.blocksShown.size(), 1u);
    EXPECT_EQ(b.window.blocksShown[0],
              std::string(reinterpret_cast<const char*>(stored.data()), end + 9));
    EXPECT_EQ(b.window.okWaits, 1);
    EXPECT_EQ(b.window.closes, 1);
    EXPECT_FALSE(b.lightBar.isOpen());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
}

TEST_F(ReadBlockJob, NoBlockAndUnknownFormatGiveTheirBoxes) {
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 5);
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::NoValidVcb));
    EXPECT_EQ(b.instructionsWith(0x20) + b.instructionsWith(0x28), 4096u);

    BlockArea format3 = JobBench::rendered(JobBench::sampleRecord());
    setFormatDigit(format3, '3');
    b.putBlockArea(format3);
    EXPECT_EQ(b.engine.readBlock(area), 26);
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::IncorrectVcbFormatNumber));
    EXPECT_TRUE(b.window.blocksShown.empty());
}

TEST_F(ReadBlockJob, CableFailureMidReadIsACommError) {
    b.putRecord(JobBench::sampleRecord());
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Reading Light Bar VCB") b.lightBar.failLineCallsAfter(1000);
    };
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 32);
    EXPECT_EQ(b.window.lastLine(), kPulledCable);
}

TEST_F(ReadBlockJob, CancelWhileReadingAborts) {
    b.putRecord(JobBench::sampleRecord());
    b.window.cancelAtAbortTest = 2;
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 23);
    EXPECT_EQ(b.window.lastLine(), " Operation aborted");
    EXPECT_EQ(b.window.okWaits, 1);
    EXPECT_EQ(b.instructionsWith(0x20) + b.instructionsWith(0x28), 128u);
}

// --- verify -----------------------------------------------------------------------------------

using VerifyBlockJob = JobTest;

TEST_F(VerifyBlockJob, SameValuesVerifyOkAndAChangedLineIsShown) {
    b.putRecord(JobBench::sampleRecord());
    EXPECT_EQ(b.engine.verifyBlock(JobBench::rendered(JobBench::sampleRecord())), 0) << log();
    EXPECT_EQ(b.window.lastLine(), " Light Bar VCB Verified Ok");
    EXPECT_EQ(b.window.titles.back(), "--- Verify Light Bar VCB ---");

    auto other = JobBench::sampleRecord();
    other.productName = "KD-8";
    EXPECT_EQ(b.engine.verifyBlock(JobBench::rendered(other)), 28);
    const auto t = b.window.texts();
    const Lines tail(t.end() - 3, t.end());
    EXPECT_EQ(tail, (Lines{" Light Bar VCB Verify error:", "<VCB> Product Name:        KD-8",
                           "< LB> Product Name:        KD-7"}));
    EXPECT_EQ(b.host.record().productName, "KD-8") << "the windows end showing the reference";
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
}

TEST_F(VerifyBlockJob, FormatsThatDifferAndAReferenceWithoutBlockAreRefused) {
    b.putRecord(JobBench::sampleRecord(2));
    EXPECT_EQ(b.engine.verifyBlock(JobBench::rendered(JobBench::sampleRecord(1))), 18);
    EXPECT_EQ(b.window.lastLine(), " VCB Formats do not match");

    BlockArea empty;
    empty.fill(0xFF);
    b.lightBar.clearInstructions();
    EXPECT_EQ(b.engine.verifyBlock(empty), 5);
    EXPECT_EQ(b.instructionsWith(0x20) + b.instructionsWith(0x28), 0u) << "the light bar is not read";
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::NoValidVcb));
}

// --- program ----------------------------------------------------------------------------------

using ProgramBlockJob = JobTest;

TEST_F(ProgramBlockJob, ClearingBitsOnlyNeedsNeitherEraseNorUpdate) {
    b.putRecord(JobBench::sampleRecord());
    auto changed = JobBench::sampleRecord();
    changed.productName = "KD-5"; // '5' = 0x35 keeps only bits of '7' = 0x37
    const BlockArea wanted = JobBench::rendered(changed);

    EXPECT_EQ(b.engine.programBlock(wanted), 0) << log();
    EXPECT_TRUE(b.window.hasLine(" Light Bar Erasure not required"));
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), wanted) << "written over the old text, nothing withdrawn";
    EXPECT_TRUE(b.window.hasLine(LineStyle::Success, " Light Bar VCB Verified Ok"));
    EXPECT_FALSE(b.anyPageWriteBelow(0x1F000));
}

TEST_F(ProgramBlockJob, AChangedLineIsWithdrawnAndAppendedInPlace) {
    const BlockArea old = JobBench::rendered(JobBench::sampleRecord());
    b.putBlockArea(old);
    auto changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    changed.option(SwitchOption::FastConfig) = OptionState::Yes;

    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(changed)), 0) << log();
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_EQ(b.window.yesNoQuestions, 0) << "same serial number";

    const BlockArea flash = b.flashBlockArea();
    const auto product = offsetOf(old, "Product Name:        KD-7");
    EXPECT_EQ(std::count(flash.begin() + static_cast<std::ptrdiff_t>(product),
                         flash.begin() + static_cast<std::ptrdiff_t>(product + 25), 0),
              25);
    EXPECT_EQ(flash[product + 25], '\r');
    const auto oldEnd = offsetOf(old, "< end >");
    EXPECT_EQ(std::string(flash.begin() + static_cast<std::ptrdiff_t>(oldEnd),
                          flash.begin() + static_cast<std::ptrdiff_t>(oldEnd + 7)),
              std::string(7, '\0'))
        << "the old end marker is withdrawn";
    // After the zero byte left behind the old end marker, the new lines start a line of their own.
    EXPECT_EQ(b.flashText(0x1F000 + static_cast<std::uint32_t>(oldEnd + 9), 66),
              std::string("\0\r\nProduct Name:        KD-8\r\nFast Config:          yes\r\n"
                          "< end >\r\n",
                          66));

    // Read back and compacted, the block parses to the new values.
    BlockArea area;
    ASSERT_EQ(b.engine.readBlock(area), 0);
    ConfigBlock parsed;
    parseBlock(area, parsed);
    EXPECT_TRUE(sameValues(parsed, changed));
    ASSERT_FALSE(b.window.blocksShown.empty());
    EXPECT_EQ(b.window.blocksShown.back().find('~'), std::string::npos);
    EXPECT_FALSE(b.anyPageWriteBelow(0x1F000));
}

TEST_F(ProgramBlockJob, AnUpdatePastFreePosition4085FallsBackToTheErase) {
    // A light bar whose block, after many earlier updates, ends at 4039: the two changed lines
    // (54 bytes) would still fit below 4096, but would move the free position to 4093.
    BlockArea stored = JobBench::rendered(JobBench::sampleRecord());
    const auto end = offsetOf(stored, "< end >");
    for (std::size_t k = end; k < 4028; ++k) {
        const auto column = (k - end) % 62;
        stored[k] = column == 60 ? '\r' : column == 61 ? '\n' : '~';
    }
    std::memcpy(stored.data() + 4028, "\r\n< end >\r\n", 11);
    std::fill(stored.begin() + 4039, stored.end(), 0xFF);
    b.putBlockArea(stored);

    auto changed = JobBench::sampleRecord();
    changed.productName = "KD-8";
    changed.option(SwitchOption::FastConfig) = OptionState::Yes;
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(changed)), 0) << log();
    EXPECT_EQ(b.window.okCancelQuestions, 1);
    EXPECT_TRUE(b.chipErased());
    EXPECT_TRUE(b.window.everLoggedLine(" Light Bar will be Erased"));
    EXPECT_TRUE(b.window.hasLine(LineStyle::Success, " Light Bar is Erased"));
    // Written whole after the erase (a format 2 block is written without the zero byte).
    BlockArea expected = JobBench::rendered(changed);
    expected[offsetOf(expected, "< end >") + 9] = 0xFF;
    EXPECT_EQ(b.flashBlockArea(), expected);
}

TEST_F(ProgramBlockJob, Format1AlwaysAsksForTheErase) {
    const auto f1 = JobBench::sampleRecord(1);
    b.putRecord(f1);
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(f1)), 0) << log();
    EXPECT_EQ(b.window.okCancelQuestions, 1);
    EXPECT_TRUE(b.chipErased());
    const std::string text = b.flashText(kFormat1Base, 2048);
    EXPECT_EQ(text.rfind("< Veltrane Configuration Block >", 0), 0u);
    EXPECT_EQ(text[text.find("< end >\r\n") + 9], '\0') << "a format 1 block ends in a zero byte";
    EXPECT_EQ(b.flashText(0x1F000, 2048), std::string(2048, '\xFF'));

    // A format 2 block onto a light bar holding format 1 too.
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(2))), 0) << log();
    EXPECT_EQ(b.window.okCancelQuestions, 2);
    EXPECT_TRUE(sameValues(b.flashRecord(), JobBench::sampleRecord(2)));
}

// A No after the erase would leave no block at all: the question comes first.
TEST_F(ProgramBlockJob, NoToTheSerialNumberChangeComesBeforeAnyErase) {
    b.putRecord(JobBench::sampleRecord(1, 100));
    const BlockArea before = b.flashBlockArea();
    b.window.yesNoAnswers = {false};
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1, 101))), 22);
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(ProgramBlockJob, SerialNumberQuestionIsAskedAlsoWhenTheEraseIsCancelled) {
    b.putRecord(JobBench::sampleRecord(1, 100));
    const BlockArea before = b.flashBlockArea();
    b.window.okCancelAnswers = {false};

    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1, 101))), 20);
    EXPECT_EQ(b.window.yesNoQuestions, 1);
    EXPECT_TRUE(b.window.hasLine(LineStyle::Error, " Serial Number is being changed"));
    EXPECT_TRUE(b.window.hasLine(LineStyle::Error, "   from 100 to 101."));
    EXPECT_FALSE(b.window.hasLine("   --- ARE YOU SURE? ---")) << "the question line is removed";
    EXPECT_EQ(b.window.okWaits, 0) << "a refused erase closes the window at once";
    EXPECT_EQ(b.window.closes, 1);
    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(ProgramBlockJob, NoToTheSerialNumberChangeWritesNothing) {
    b.putRecord(JobBench::sampleRecord(2, 100));
    const BlockArea before = b.flashBlockArea();
    b.window.yesNoAnswers = {false};
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(2, 101))), 22);
    const auto t = b.window.texts();
    const Lines tail(t.end() - 2, t.end());
    EXPECT_EQ(tail, (Lines{" Serial Number change is aborted", " S/N change Cancelled "}));
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(ProgramBlockJob, AWriteThatDidNotTakeGives28) {
    b.putRecord(JobBench::sampleRecord(1));
    // After the erase a bit sticks at 0 in the serial number's digits.
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        if (l.text == " Light Bar is Erased") b.lightBar.setFlashByte(kFormat1Base + 34 + 23, 0x00);
    };
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord(1))), 28) << log();
    Lines expected{" Light Bar VCB Verify error:", "<VCB> S/N:               314159",
                   "< LB> S/N:                31419", " VCB Verify Error"};
    for (const auto& line : rewriteReport(" The Light Bar holds a VCB that differs from the one written"))
        expected.push_back(line);
    EXPECT_EQ(linesFrom(" Light Bar VCB Verify error:", 99), expected);
}

TEST_F(ProgramBlockJob, ALightBarWithoutBlockOrAReferenceWithoutOneIsNeverWritten) {
    EXPECT_EQ(b.engine.programBlock(JobBench::rendered(JobBench::sampleRecord())), 5);
    EXPECT_EQ(b.window.errorTexts(), finalReportLines(result::NoValidVcb));

    b.putRecord(JobBench::sampleRecord());
    BlockArea empty;
    empty.fill(0xFF);
    EXPECT_EQ(b.engine.programBlock(empty), 5);
    BlockArea format3 = JobBench::rendered(JobBench::sampleRecord());
    setFormatDigit(format3, '3');
    EXPECT_EQ(b.engine.programBlock(format3), 26);

    // A format 1 block ending at 0x1FFFF leaves no room for its zero byte: refused before the
    // erase rather than written past the area.
    const BlockArea f1 = JobBench::rendered(JobBench::sampleRecord(1));
    const auto length = offsetOf(f1, "< end >") + 9 - kFormat1Offset;
    BlockArea atTop;
    atTop.fill(0xFF);
    std::copy_n(f1.begin() + kFormat1Offset, length, atTop.end() - static_cast<std::ptrdiff_t>(length));
    b.putRecord(JobBench::sampleRecord(1));
    EXPECT_EQ(b.engine.programBlock(atTop), 7);
    EXPECT_EQ(b.window.lastLine(), " Reference VCB is not valid");
    EXPECT_FALSE(b.chipErased());
    EXPECT_TRUE(b.lightBar.pageWrites().empty());
}

// --- convert ----------------------------------------------------------------------------------

using ConvertBlockJob = JobTest;

TEST_F(ConvertBlockJob, ToTheSameFormatIsRefusedWithoutErasing) {
    b.putRecord(JobBench::sampleRecord(2, 4321));
    b.host.resetToDefaultBlock();
    EXPECT_EQ(b.engine.convertBlock(2), 27);
    EXPECT_EQ(b.window.titles.back(), "--- Convert Light Bar VCB to Format 2 ---");
    EXPECT_TRUE(b.window.hasLine(LineStyle::Error, " VCB is already Format 2"));
    EXPECT_EQ(b.window.lastLine(), " Converting Format Number is OK");
    EXPECT_EQ(b.window.okCancelQuestions, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.host.record().serialNumber, 4321) << "the windows show the light bar's block";
}

TEST_F(ConvertBlockJob, Format2To1ErasesAndWritesAt0x1F800) {
    b.putRecord(JobBench::sampleRecord(2));
    EXPECT_EQ(b.engine.convertBlock(1), 0) << log();
    EXPECT_TRUE(b.window.everLoggedLine("  (Firmware must be programmed afterward)"));
    EXPECT_TRUE(b.chipErased());
    EXPECT_EQ(b.flashText(0x1F000, 2048), std::string(2048, '\xFF'));
    const ConfigBlock kept = b.flashRecord();
    EXPECT_EQ(kept.format, 1);
    EXPECT_EQ(kept.serialNumber, 314159);
    EXPECT_EQ(kept.productName, "KD-7");
    EXPECT_EQ(kept.option(SwitchOption::ScalesDisplay), OptionState::Yes);
    EXPECT_TRUE(b.window.hasLine(LineStyle::Success, " Light Bar VCB Verified Ok"));
}

TEST_F(ConvertBlockJob, CancelAtTheEraseShowsTheLightBarsBlockAgain) {
    b.putRecord(JobBench::sampleRecord(2, 777));
    const BlockArea before = b.flashBlockArea();
    b.window.okCancelAnswers = {false};
    EXPECT_EQ(b.engine.convertBlock(1), 20);
    EXPECT_EQ(b.window.okWaits, 0);
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), before);
    EXPECT_EQ(b.host.record().format, 2);
    EXPECT_EQ(b.host.record().serialNumber, 777);
}

// --- initialise -------------------------------------------------------------------------------

using InitBlockJob = JobTest;

TEST_F(InitBlockJob, WritesTheDefaultBlockIntoAnEmptyLightBar) {
    EXPECT_EQ(b.engine.initDefaultBlock(), 0) << log();
    EXPECT_EQ(b.window.titles.back(), "--- Initialize Default VCB ---");
    EXPECT_TRUE(b.chipErased());
    ConfigBlock expected;
    expected.setDefaultBlock();
    EXPECT_EQ(b.flashRecord(), expected);
    EXPECT_EQ(b.flashRecord().serialNumber, 1);
    EXPECT_EQ(b.window.errorTexts(), Lines{});
}

TEST_F(InitBlockJob, RefusesALightBarThatHasABlock) {
    b.putRecord(JobBench::sampleRecord());
    const BlockArea before = b.flashBlockArea();
    EXPECT_EQ(b.engine.initDefaultBlock(), 6);
    EXPECT_EQ(b.window.errorTexts(),
              (Lines{" Cannot Init. VCB already exists.", " VCB Already Exists"}));
    EXPECT_FALSE(b.chipErased());
    EXPECT_EQ(b.flashBlockArea(), before);
}

TEST_F(InitBlockJob, AWriteThatDidNotTakeGives28) {
    b.window.onLine = [&](const ScriptedJobWindow::Line& l) {
        // The digit of "S/N:                    1" sticks at 0.
        if (l.text == " Light Bar is Erased") b.lightBar.setFlashByte(0x1F000 + 34 + 27 + 24, 0x00);
    };
    EXPECT_EQ(b.engine.initDefaultBlock(), 28);
    // The light bar held no block before: there is none to put back.
    EXPECT_EQ(linesFrom(" VCB Verify Error", 9),
              (Lines{" VCB Verify Error",
                     " The Light Bar holds a VCB that differs from the one written"}));
}

} // namespace
} // namespace tessel::testing
