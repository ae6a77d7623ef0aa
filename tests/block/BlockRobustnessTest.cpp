// Random and adversarial areas through every reader of block text. Each area is handed over in
// a heap buffer of exactly its size, so the sanitizer build catches any read past its end.
#include "BlockTestUtil.h"

#include "block/BlockText.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tessel {
namespace {

const std::string kTitle = "< Veltrane Configuration Block >";

void checkRecord(const ConfigBlock& r) {
    EXPECT_TRUE(r.format >= 0 && r.format <= 2);
    EXPECT_TRUE(r.customerId >= 0 && r.customerId <= 5);
    EXPECT_LE(r.productName.size(), kProductNameMax);
    for (const auto& name : r.scaleNames)
        EXPECT_LE(name.size(), kScaleNameLength);
    for (auto option : r.options)
        EXPECT_NE(option, static_cast<OptionState>(3));
}

// Runs every reader over the bytes and checks what each promises.
void exercise(const std::vector<std::uint8_t>& bytes) {
    const std::span<const std::uint8_t> text(bytes);
    ConfigBlock record;
    parseBlock(text, record);
    checkRecord(record);

    const auto loc = locateBlock(text);
    if (loc.present) {
        EXPECT_LE(loc.blockEnd(), text.size());
        EXPECT_LT(loc.length, kBlockAreaSize);
    } else {
        EXPECT_FALSE(findValue(text, "S/N").has_value());
    }
    const int format = blockFormatOf(text);
    EXPECT_GE(format, 1);
    (void)blockSerialNumberOf(text);

    BlockArea area;
    for (int target : {1, 2})
        if (convertText(text, target, area)) {
            const auto converted = locateBlock(area);
            EXPECT_TRUE(converted.present);
            ConfigBlock again;
            parseBlock(area, again);
            checkRecord(again);
        }

    if (bytes.size() == kBlockAreaSize) {
        BlockArea copy;
        std::copy(bytes.begin(), bytes.end(), copy.begin());
        const auto compacted = compactBlock(copy);
        EXPECT_EQ(compacted.has_value(), loc.present);
        if (compacted) {
            EXPECT_EQ(compacted->title, 0u);
        }
    }

    if (renderBlock(record, area)) {
        EXPECT_TRUE(locateBlock(area).present);
    } else {
        for (auto byte : area)
            ASSERT_EQ(byte, 0xFF);
    }
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(BlockRobustness, AdversarialAreas) {
    std::vector<std::vector<std::uint8_t>> cases;
    cases.push_back(std::vector<std::uint8_t>(kBlockAreaSize, 0xFF));
    cases.push_back(std::vector<std::uint8_t>(kBlockAreaSize, 0x00));
    cases.push_back(std::vector<std::uint8_t>(kBlockAreaSize, '~'));
    cases.push_back(std::vector<std::uint8_t>(kBlockAreaSize, 'S')); // one line, no CR
    cases.push_back(std::vector<std::uint8_t>(kBlockAreaSize, ':'));
    cases.push_back({});
    cases.push_back(bytesOf(kTitle));
    cases.push_back(bytesOf(kTitle + "\r\nS/N: 12"));                  // no end marker
    cases.push_back(bytesOf(kTitle + "\r\nVCB Format: 1\r\n< end >")); // format 1, short text

    // Title with a 300-character line, zero bytes inside lines, and no end marker.
    std::string text = kTitle + "\r\nS/N:" + std::string(300, '9') + "\r\nProduct Name: A";
    text += '\0';
    text += "BC\r\n";
    text.resize(kBlockAreaSize, '7');
    cases.push_back(bytesOf(text));

    // Markers cut by the area's end, and labels right at its end.
    for (std::size_t at : {4064u, 4070u, 4080u, 4089u, 4090u, 4093u}) {
        std::vector<std::uint8_t> area(kBlockAreaSize, 0xFF);
        const std::string block = kTitle + "\r\nS/N: 1\r\n< end >\r\n";
        const std::string head = kTitle + "\r\nVCB Format: 2\r\n";
        std::copy(head.begin(), head.end(), area.begin());
        for (std::size_t i = 0; i < block.size() && at + i < area.size(); ++i)
            area[at + i] = static_cast<std::uint8_t>(block[i]);
        const std::string end = "< end >";
        for (std::size_t i = 0; i < end.size() && at + i < area.size(); ++i)
            area[area.size() - 1 - i] = static_cast<std::uint8_t>(end[end.size() - 1 - i]);
        cases.push_back(area);
        std::vector<std::uint8_t> labels(kBlockAreaSize, ' ');
        std::copy(kTitle.begin(), kTitle.end(), labels.begin());
        const std::string last = "VCB Format";
        std::copy(last.begin(), last.end(),
                  labels.end() - static_cast<std::ptrdiff_t>(last.size()));
        cases.push_back(labels);
    }

    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        exercise(bytes);
    }
}

TEST(BlockRobustness, RandomAreas) {
    // Bytes drawn mostly from the block's own vocabulary, so markers and labels do occur.
    const std::vector<std::string> pieces = {kTitle,
                                             "< end >",
                                             "\r\n",
                                             "\r",
                                             "\n",
                                             std::string(1, '\0'),
                                             "\xFF\xFF\xFF",
                                             "~~~",
                                             ":",
                                             " ",
                                             "-",
                                             "12345",
                                             "1e300",
                                             "VCB Format: 1",
                                             "VCB Format: 2",
                                             "S/N: ",
                                             "Customer ID: 9",
                                             "Product Name: ",
                                             "Tape Min Radius: ",
                                             "Tilt: yes",
                                             "TiltOpAmpGain: 9",
                                             "Mt Offset Scale 1: 1 2 3",
                                             "Offset Scale 2 Name: X",
                                             "ZTLoTempQCal: -7",
                                             "#",
                                             "Display-Only Mode: 4",
                                             std::string(300, 'x'),
                                             "\x80\xFE",
                                             "\x01\x1F"};
    std::mt19937 random(4096);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int round = 0; round < 1500; ++round) {
        std::vector<std::uint8_t> bytes;
        const bool fullArea = round % 5 != 0;
        const std::size_t size = fullArea ? kBlockAreaSize : static_cast<std::size_t>(round % 3000);
        if (round % 7 == 0 && size > 0) {
            // Pure noise.
            while (bytes.size() < size)
                bytes.push_back(static_cast<std::uint8_t>(anyByte(random)));
        } else {
            if (round % 2 == 0) bytes.resize(std::min<std::size_t>(size, kFormat1Offset), 0xFF);
            while (bytes.size() < size) {
                const std::string& piece = pieces[pick(random)];
                bytes.insert(bytes.end(), piece.begin(), piece.end());
            }
            bytes.resize(size);
        }
        SCOPED_TRACE(round);
        exercise(bytes);
        if (HasFailure()) break;
    }
}

} // namespace
} // namespace tessel
