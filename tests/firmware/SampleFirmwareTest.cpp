// The sample firmware files are built by avr-gcc/avr-objcopy and srec_cat (see
// scripts/make-sample-firmware); each comes with the tools' own binary conversion of its code
// area, which the reader's image must match byte for byte.
#include "firmware/FirmwareId.h"
#include "firmware/HexReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tessel {
namespace {

const std::string kSamples = TESSEL_SAMPLES_DIR;

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Sample {
    const char* name;
    FirmwareId id;
    bool aboveSegment; // holds code above 64 KB
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.name;
}

class SampleFirmwareTest : public testing::TestWithParam<Sample> {};

TEST_P(SampleFirmwareTest, ImageEqualsTheToolsBinaryAndIsIdentified) {
    const Sample& sample = GetParam();
    const auto image = std::make_unique<FirmwareImage>();
    std::ifstream hex(kSamples + "/" + sample.name + ".hex", std::ios::binary);
    ASSERT_TRUE(hex);
    ASSERT_EQ(readHex(hex, *image), 0);

    const auto expected = fileBytes(kSamples + "/" + sample.name + ".bin");
    ASSERT_EQ(expected.size(), FirmwareImage::kSize);
    const std::vector<std::uint8_t> actual(image->bytes.begin(), image->bytes.end());
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
    EXPECT_EQ(diff.first, actual.end())
        << "first difference at 0x" << std::hex << (diff.first - actual.begin());

    EXPECT_TRUE(image->holdsCode());
    EXPECT_EQ(image->length > 0x10000, sample.aboveSegment);
    const auto last =
        std::find_if(expected.rbegin(), expected.rend(), [](auto b) { return b != 0xFF; });
    EXPECT_EQ(image->length,
              std::min<std::size_t>(static_cast<std::size_t>(expected.rend() - last) - 1 + 256,
                                    FirmwareImage::kSize));

    EXPECT_EQ(identify(*image), sample.id);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleFirmwareTest,
    testing::Values(Sample{"demo-f2", {"Demo Light Bar", "v3.0", 2, "2026-12-08"}, false},
                    Sample{"demo-f1", {"Demo Light Bar", "v2.9", 1, "2026-06-01"}, false},
                    Sample{"demo-noid", {"", "unknown", 2, ""}, false},
                    Sample{"demo-large", {"Demo Light Bar XL", "v3.1", 2, "2026-12-08"}, true},
                    Sample{"demo-large-255", {"Demo Light Bar XL", "v3.1", 2, "2026-12-08"}, true},
                    Sample{"legacy-v20", {"", "v2.0", 1, ""}, false},
                    Sample{"legacy-v21", {"", "v2.1", 2, ""}, true}),
    [](const testing::TestParamInfo<Sample>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tessel
