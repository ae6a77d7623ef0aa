#include "firmware/FirmwareId.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace tessel {
namespace {

using Code = std::array<std::uint8_t, kIdentifiedBytes>;

// A first kilobyte of erased flash with text placed at offset.
Code codeWith(const std::string& text, std::size_t offset = 0x8C) {
    Code code;
    code.fill(0xFF);
    std::memcpy(code.data() + offset, text.data(), text.size());
    return code;
}

// A first kilobyte whose bytes add up to sum, built from two neighbouring values.
Code codeSummingTo(unsigned sum) {
    Code code;
    const unsigned base = sum / kIdentifiedBytes;
    const unsigned extra = sum % kIdentifiedBytes;
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<std::uint8_t>(base + (i < extra ? 1 : 0));
    return code;
}

const std::string kMarker = "<Veltrane Inc. Firmware ID>";

TEST(FirmwareIdTest, ReadsTheIdentificationBlock) {
    auto id = identify(codeWith(kMarker + ":product:X:version:v2.2:VCB Format:2:date:<end>"));
    EXPECT_EQ(id, (FirmwareId{"X", "v2.2", 2, ""}));

    // Keys in any order, values up to a non-printable character, a format with text after it.
    id = identify(codeWith(kMarker + ":date:2024-03-01:VCB Format:1 (old layout)" +
                           ":version:v1.9b\x01junk:product:Light Bar 12<end>"));
    EXPECT_EQ(id, (FirmwareId{"Light Bar 12", "v1.9b", 1, "2024-03-01"}));

    // The block wins over a byte sum from the table.
    auto code = codeSummingTo(80558);
    const std::string block = kMarker + ":product:P:version:v9:VCB Format:2:date:D<end>";
    std::memcpy(code.data() + 300, block.data(), block.size());
    id = identify(code);
    EXPECT_EQ(id, (FirmwareId{"P", "v9", 2, "D"}));

    // A block that ends in the last bytes of the kilobyte.
    const std::string atTop = kMarker + ":version:v5:VCB Format:1<end>";
    id = identify(codeWith(atTop, kIdentifiedBytes - atTop.size()));
    EXPECT_EQ(id.version, "v5");
    EXPECT_EQ(id.requiredFormat, 1);
}

TEST(FirmwareIdTest, MissingOrOverlongValuesAreEmptyAndAMissingFormatIsZero) {
    auto id = identify(codeWith(kMarker + ":product:Only a product<end>"));
    EXPECT_EQ(id, (FirmwareId{"Only a product", "", 0, ""}));

    id = identify(codeWith(kMarker + ":VCB Format:two:version:v3<end>"));
    EXPECT_EQ(id.requiredFormat, 0);
    EXPECT_EQ(id.version, "v3");

    // 79 characters fit; 80 count as empty.
    const std::string fits(79, 'a');
    const std::string tooLong(80, 'b');
    id = identify(codeWith(kMarker + ":product:" + fits + ":date:" + tooLong + "<end>"));
    EXPECT_EQ(id.product, fits);
    EXPECT_EQ(id.date, "");
}

TEST(FirmwareIdTest, KeysCountOnlyBetweenMarkerAndEnd) {
    // A key after "<end>" is not part of the block.
    auto id = identify(codeWith(kMarker + ":version:v1<end>:product:Outside"));
    EXPECT_EQ(id.product, "");
    EXPECT_EQ(id.version, "v1");

    // "<end>" is searched from one character past the marker; one right after it is not seen,
    // and without an end the byte sum decides.
    id = identify(codeWith(kMarker + "<end>"));
    EXPECT_EQ(id, (FirmwareId{"", "unknown", 2, ""}));
    id = identify(codeWith(kMarker + ":version:v7 no end"));
    EXPECT_EQ(id.version, "unknown");

    // An "<end>" before the marker does not close it.
    id = identify(codeWith("<end>" + kMarker + ":version:v8<end>"));
    EXPECT_EQ(id.version, "v8");
}

TEST(FirmwareIdTest, OlderFirmwareIsKnownByItsByteSum) {
    const struct {
        unsigned sum;
        const char* version;
        int format;
    } known[] = {
        {80558, "v2.0", 1},         {81792, "v1.8", 1},     {83391, "v1.9", 1},
        {83469, "v1.7", 1},         {126868, "B2.2", 2},    {126982, "v2.1", 2},
        {127186, "A2.2", 2},        {126983, "unknown", 2}, {0, "unknown", 2},
        {1024 * 255, "unknown", 2},
    };
    for (const auto& k : known) {
        const auto id = identify(codeSummingTo(k.sum));
        EXPECT_EQ(id, (FirmwareId{"", k.version, k.format, ""})) << k.sum;
    }
}

} // namespace
} // namespace tessel
