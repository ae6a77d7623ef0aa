#include "HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace tessel {
namespace {

using test::counting;
using test::dataRecord;
using test::endRecord;
using test::read;
using test::record;
using test::segmentRecord;

std::vector<std::uint8_t> at(const FirmwareImage& image, std::size_t address, std::size_t count) {
    return {image.bytes.begin() + static_cast<std::ptrdiff_t>(address),
            image.bytes.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

// How many bytes of the image differ from 0xFF.
std::size_t written(const FirmwareImage& image) {
    return static_cast<std::size_t>(std::count_if(image.bytes.begin(), image.bytes.end(),
                                                  [](std::uint8_t b) { return b != 0xFF; }));
}

TEST(HexReaderTest, ReadsDataRecordsWithEitherLineEnd) {
    const auto first = counting(16, 0x10);
    const auto second = counting(8, 0x80);
    for (const std::string end : {"\r\n", "\n"}) {
        const auto r = read(dataRecord(0x0100, first) + end + dataRecord(0x0110, second) + end +
                            endRecord() + end);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(at(*r.image, 0x100, 16), first);
        EXPECT_EQ(at(*r.image, 0x110, 8), second);
        EXPECT_EQ(written(*r.image), 24u);
        EXPECT_EQ(r.image->length, 0x117u + 256);
    }
}

TEST(HexReaderTest, AcceptsLowerCaseDigitsAndMissingEndRecordAndStopsAtEndRecord) {
    std::string lower = dataRecord(0x0000, {0xAB, 0xCD});
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return std::tolower(c); });
    // No end-of-file record and no final line end.
    auto r = read(lower);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(at(*r.image, 0, 2), (std::vector<std::uint8_t>{0xAB, 0xCD}));

    // Everything after the end-of-file record is left unread, even a bad line.
    r = read(dataRecord(0, {1}) + "\n" + endRecord() + "\n" + dataRecord(0x10, {2}) + "\n:zz\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0], 1);
    EXPECT_EQ(r.image->bytes[0x10], 0xFF);
}

TEST(HexReaderTest, IgnoresBlankJunkAndControlLines) {
    const std::string text = "\n\r\n\r\r" + std::string("; a comment line\r\n") + "\x01\x02\t  \n" +
                             "garbage:0100\n" + ":\n" + ":0\n" + ":0100" + "\n" + "\x7f\xff\x80\n" +
                             dataRecord(0x20, {0x42}) + "\n\n\n" + endRecord() + "\r\n";
    const auto r = read(text);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0x20], 0x42);
    EXPECT_EQ(written(*r.image), 1u);
}

TEST(HexReaderTest, EmptyOrLinelessInputGivesAnErasedImage) {
    for (const std::string text : {"", "\n", "\r\n\r\n", "no records here"}) {
        const auto r = read(text);
        EXPECT_EQ(r.result, 0) << text;
        EXPECT_EQ(written(*r.image), 0u);
        EXPECT_EQ(r.image->length, 256u);
        EXPECT_FALSE(r.image->holdsCode());
    }
}

TEST(HexReaderTest, StoresRecordsThatEndExactlyAtTheCodeAreaTopAndDropsThoseBeyond) {
    const auto bytes = counting(16, 1);
    // Last byte on 0x1EFFF: every byte lies in the code area, so the record is kept.
    auto r = read(segmentRecord(0x1000) + "\n" + dataRecord(0xEFF0, bytes) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(at(*r.image, 0x1EFF0, 16), bytes);
    EXPECT_EQ(r.image->length, FirmwareImage::kSize);

    // One byte higher, the last byte would fall on 0x1F000 in the block area: dropped whole.
    r = read(segmentRecord(0x1000) + "\n" + dataRecord(0xEFF1, bytes) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(written(*r.image), 0u);

    // Records inside the block area and past the end of flash are dropped without error.
    r = read(segmentRecord(0x1000) + "\n" + dataRecord(0xF000, bytes) + "\n" +
             segmentRecord(0xF000) + "\n" + dataRecord(0xFFF0, bytes) + "\n" +
             segmentRecord(0x0000) + "\n" + dataRecord(0x0000, {0x55}) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(written(*r.image), 1u);
    EXPECT_EQ(r.image->bytes[0], 0x55);

    // A full record of 255 bytes ending at the top.
    const auto full = counting(255, 7);
    r = read(segmentRecord(0x1000) + "\n" + dataRecord(0xF000 - 255, full) + "\n");
    EXPECT_EQ(at(*r.image, 0x1F000 - 255, 255), full);
}

TEST(HexReaderTest, SegmentRecordsMoveTheFollowingDataAndOtherAddressTypesAreIgnored) {
    // Segment value 4096 puts address 0 at 65536.
    auto r = read(segmentRecord(4096) + "\n" + dataRecord(0, {0x12, 0x34}) + "\n" + endRecord());
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(at(*r.image, 65536, 2), (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(r.image->bytes[0], 0xFF);

    // An extended linear address (04) is ignored: its data lands in the lower 64 KB. So are
    // start addresses (03, 05) and unknown types.
    r = read(record(0x04, 0, {0x00, 0x01}) + "\n" + record(0x03, 0, {0, 0, 1, 2}) + "\n" +
             record(0x05, 0, {0, 0, 1, 2}) + "\n" + record(0x07, 0, {9}) + "\n" +
             dataRecord(0x0010, {0x77}) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0x10], 0x77);
    EXPECT_EQ(written(*r.image), 1u);

    // Ignored records are not checked: a bad checksum in one does no harm.
    r = read(":020000040001FF\n" + dataRecord(0, {1}) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0], 1);

    // Segment bases do not add up; each replaces the previous one.
    r = read(segmentRecord(0x1000) + "\n" + segmentRecord(0x0800) + "\n" + dataRecord(0, {3}) +
             "\n");
    EXPECT_EQ(r.image->bytes[0x8000], 3);

    // A segment record too short to hold its value is malformed.
    r = read(record(0x02, 0, {0x10}) + "\n" + dataRecord(0, {1}) + "\n");
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(written(*r.image), 0u);
}

TEST(HexReaderTest, BadChecksumOrDigitStopsTheReadKeepingWhatWasStored) {
    const std::string good = dataRecord(0x0000, counting(16, 0x20)) + "\n" +
                             dataRecord(0x0010, counting(16, 0x30)) + "\n";
    // Checksum error in the last record: result 3, yet the records before it are stored.
    std::string last = dataRecord(0x0020, counting(16, 0x40));
    last.back() = last.back() == '0' ? '1' : '0';
    auto r = read(good + last + "\n");
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(at(*r.image, 0, 16), counting(16, 0x20));
    EXPECT_EQ(at(*r.image, 0x10, 16), counting(16, 0x30));
    EXPECT_EQ(r.image->bytes[0x20], 0xFF);
    EXPECT_EQ(r.image->length, 0x1Fu + 256);

    // A bad digit in the data, address or count stops the read at that record.
    for (const std::size_t pos : {1u, 4u, 12u, 42u}) {
        std::string bad = dataRecord(0x0040, counting(16));
        bad[pos] = 'G';
        r = read(good + bad + "\n" + dataRecord(0x0080, {9}) + "\n");
        EXPECT_EQ(r.result, 3) << pos;
        EXPECT_EQ(r.image->bytes[0x40], 0xFF);
        EXPECT_EQ(r.image->bytes[0x80], 0xFF) << "reading goes on after an error";
        EXPECT_EQ(r.image->bytes[0x1F], 0x3F);
    }

    // A record shorter than its count says.
    r = read(dataRecord(0, counting(16)).substr(0, 30) + "\n");
    EXPECT_EQ(r.result, 3);

    // A type that is not hexadecimal makes the line no record at all.
    r = read(":000000XX00\n" + dataRecord(0, {5}) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0], 5);
}

TEST(HexReaderTest, ReadsRecordsOf255BytesAndCutsLongerLines) {
    const auto full = counting(255, 1);
    const std::string longest = dataRecord(0x1000, full);
    ASSERT_EQ(longest.size(), HexLineReader::kMaxLine);
    auto r = read(longest + "\r\n" + dataRecord(0x2000, counting(255, 2)) + "\r\n" + endRecord());
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(at(*r.image, 0x1000, 255), full);
    EXPECT_EQ(at(*r.image, 0x2000, 255), counting(255, 2));

    // Characters past 521 are dropped with the rest of their line: the end record hidden there
    // neither ends the read nor becomes a line of its own.
    r = read(longest + std::string(100, ' ') + endRecord() + "\n" + dataRecord(0x3000, {0x99}) +
             "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(at(*r.image, 0x1000, 255), full);
    EXPECT_EQ(r.image->bytes[0x3000], 0x99);

    // A very long junk line is cut and ignored.
    r = read(std::string(5000, ':') + "\n" + dataRecord(0, {1}) + "\n");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image->bytes[0], 1);
}

TEST(HexReaderTest, ImageIsErasedBeforeEachReadAndLengthFollowsTheLastCodeByte) {
    const auto owner = std::make_unique<FirmwareImage>();
    FirmwareImage& image = *owner;
    std::istringstream first(dataRecord(0x5000, {1, 2, 3}) + "\n");
    ASSERT_EQ(readHex(first, image), 0);
    EXPECT_EQ(image.length, 0x5002u + 256);

    // The only byte other than 0xFF at 256 gives length 512; the first file's bytes are gone.
    std::istringstream second(dataRecord(0x0100, {0x00}) + "\n" + dataRecord(0x0200, {0xFF}) +
                              "\n");
    ASSERT_EQ(readHex(second, image), 0);
    EXPECT_EQ(image.length, 512u);
    EXPECT_EQ(image.bytes[0x5000], 0xFF);
    EXPECT_TRUE(image.holdsCode());

    // A byte other than 0xFF at address 0 still gives length 256, and the image holds code.
    std::istringstream third(dataRecord(0, {0xFE}) + "\n");
    ASSERT_EQ(readHex(third, image), 0);
    EXPECT_EQ(image.length, 256u);
    EXPECT_TRUE(image.holdsCode());

    // Bytes given as 0xFF do not count as code.
    std::istringstream fourth(dataRecord(0x100, std::vector<std::uint8_t>(16, 0xFF)) + "\n");
    ASSERT_EQ(readHex(fourth, image), 0);
    EXPECT_EQ(image.length, 256u);
    EXPECT_FALSE(image.holdsCode());
}

} // namespace
} // namespace tessel
