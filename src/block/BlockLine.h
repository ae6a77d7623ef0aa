#pragma once

#include "block/ConfigBlock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The line-level reading rules shared by the parser, find value and the format conversion.
namespace tessel {

inline constexpr std::size_t kMaxLineLength = 255;
inline constexpr std::size_t kMaxValueWord = 19;
// The longest line a block carries whole: a conversion cuts a longer one, an update in place
// refuses it, a verify error shows no more of it.
inline constexpr std::size_t kMaxCarriedLineLength = 99;
// A block holds fewer lines than this; an update in place that would reach it erases instead.
inline constexpr std::size_t kMaxBlockLines = 500;

// A fixed line buffer: characters beyond its capacity are dropped.
template <std::size_t Capacity> class BasicLineBuffer {
public:
    void clear() { size_ = 0; }
    void push(char c) {
        if (size_ < Capacity) chars_[size_++] = c;
    }
    bool full() const { return size_ == Capacity; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {chars_.data(), size_}; }

private:
    std::array<char, Capacity> chars_{};
    std::size_t size_ = 0;
};
using LineBuffer = BasicLineBuffer<kMaxLineLength>;

// Reads the lines of a block text from a cursor. Control bytes other than CR and zero are
// skipped before a line; bytes 32..254 form the line; the first other byte ends it and is
// consumed. A zero byte where a line would begin ends the text; other empty lines (CR, 0xFF)
// are passed over.
class LineReader {
public:
    LineReader(std::span<const std::uint8_t> text, std::size_t start)
        : text_(text), pos_(start < text.size() ? start : text.size()) {}

    // Fills `line` (at most its capacity, the rest of a longer line dropped); false at the end.
    template <std::size_t Capacity> bool next(BasicLineBuffer<Capacity>& line) {
        for (;;) {
            line.clear();
            while (pos_ < text_.size() && isSkipped(text_[pos_]))
                ++pos_;
            if (pos_ >= text_.size() || text_[pos_] == 0) return false;
            while (pos_ < text_.size() && isLineChar(text_[pos_]))
                line.push(static_cast<char>(text_[pos_++]));
            if (pos_ < text_.size()) ++pos_; // the byte that ended the line
            if (!line.empty()) return true;
        }
    }

private:
    static bool isSkipped(std::uint8_t b) { return b >= 1 && b <= 31 && b != 13; }
    static bool isLineChar(std::uint8_t b) { return b >= 32 && b <= 254; }

    std::span<const std::uint8_t> text_;
    std::size_t pos_;
};

// The characters after the last blank or colon of a line, at most 19; the line's final
// character is never taken as that separator, so a trailing blank stays in the word.
std::string_view valueWord(std::string_view line);
// All decimal digits of the word read in order as one number (other characters passed over).
std::uint64_t digitsOf(std::string_view word);
// digitsOf, negated (modulo 2^64) when the word holds a "-" anywhere.
std::int64_t integerOf(std::string_view word);
// Yes when the word starts with "y", "Y" or "1".
OptionState switchOf(std::string_view word);
// The decimal number the word starts with, when it starts with a digit; otherwise 0. A number
// beyond the range of a double also reads as 0.
double realOf(std::string_view word);
// Up to eight runs of digits after the line's first colon, each keeping its low 16 bits.
ScaleRow rowOf(std::string_view line);

} // namespace tessel
