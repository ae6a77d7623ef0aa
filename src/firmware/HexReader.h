#pragma once

#include "firmware/FirmwareImage.h"
#include "support/ResultCode.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <streambuf>
#include <string_view>

namespace tessel {

// Reads an Intel HEX file into the image: data (00), end of file (01) and extended segment
// address (02) records; every other record type is ignored. The image is erased first. A bad
// digit or checksum stops the read with HexFileFormatError, keeping the bytes stored before it.
// Data that would reach into the block area or beyond is dropped without a message. A file
// without an end-of-file record is read to its end; endRecordRead (when given) tells whether the
// record came, since a file cut after a whole record reads cleanly up to the cut. The length is
// updated in every case.
ResultCode readHex(std::istream& in, FirmwareImage& image, bool* endRecordRead = nullptr);

// Splits a HEX file into lines, one character at a time, without allocating. Control
// characters other than CR before a line are skipped, so CR LF and LF-only files both work;
// a CR alone gives an empty line.
class HexLineReader {
public:
    // The longest Intel HEX record: ":", count, address, type, 255 data bytes and checksum.
    static constexpr std::size_t kMaxLine = 521;

    explicit HexLineReader(std::streambuf* source) : source_(source) {}

    // Reads the next line; false when the input has ended (an empty line at the end of the
    // file). Characters past kMaxLine are dropped.
    bool next();
    std::string_view line() const { return {buffer_.data(), length_}; }

private:
    std::streambuf* source_;
    std::array<char, kMaxLine> buffer_{};
    std::size_t length_ = 0;
};

} // namespace tessel
