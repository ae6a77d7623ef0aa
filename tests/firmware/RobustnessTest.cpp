// Random, truncated and mutated HEX input: the reader must neither crash nor write outside its
// image (checked under the sanitizers), and a cut file may only lose bytes, never change them.
#include "HexText.h"

#include <gtest/gtest.h>

#include <random>

namespace tessel {
namespace {

std::string sampleText() {
    std::string text = test::segmentRecord(0x0000) + "\r\n";
    for (unsigned address = 0; address < 0x800; address += 32)
        text += test::dataRecord(static_cast<std::uint16_t>(address),
                                 test::counting(32, static_cast<std::uint8_t>(address / 7))) +
                "\r\n";
    text +=
        test::segmentRecord(0x1EF0) + "\n" + test::dataRecord(0xFF00, test::counting(255)) + "\n";
    return text + test::endRecord() + "\r\n";
}

void expectSane(const test::HexRead& r) {
    EXPECT_TRUE(r.result == 0 || r.result == 3);
    EXPECT_GE(r.image->length, 256u);
    EXPECT_LE(r.image->length, FirmwareImage::kSize);
}

TEST(HexRobustnessTest, TruncatedFilesLoseBytesButNeverChangeThem) {
    const std::string text = sampleText();
    const auto full = test::read(text);
    ASSERT_EQ(full.result, 0);
    for (std::size_t cut = 0; cut <= text.size(); cut += 7) {
        const auto r = test::read(text.substr(0, cut));
        expectSane(r);
        for (std::size_t i = 0; i < FirmwareImage::kSize; ++i) {
            if (r.image->bytes[i] != 0xFF && r.image->bytes[i] != full.image->bytes[i]) {
                ADD_FAILURE() << "cut at " << cut << " changed byte " << i;
                return;
            }
        }
    }
}

TEST(HexRobustnessTest, RandomAndMutatedInputIsHandled) {
    std::mt19937 random(20261208);
    const std::string alphabet = ":0123456789ABCDEFabcdef\r\n \x01\xff";
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 4000, '\0');
        for (auto& c : text)
            c = round % 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
        expectSane(test::read(text));
    }
    const std::string original = sampleText();
    for (int round = 0; round < 300; ++round) {
        std::string text = original;
        for (int flips = 0; flips < 3; ++flips)
            text[random() % text.size()] = alphabet[random() % alphabet.size()];
        expectSane(test::read(text));
    }
}

} // namespace
} // namespace tessel
