#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// SHA-256 (FIPS 180-4) of a byte string: the digest a firmware file is known by in the job
// history, as `sha256sum` prints it.
std::array<std::uint8_t, 32> sha256(std::string_view bytes);
// The digest as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

} // namespace tessel
