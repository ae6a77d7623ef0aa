#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace tessel {

// The command line's machine-readable input and output. Objects keep their members in the order
// they were set, so the output reads in a fixed, documented order; numbers keep whether they were
// written as integers, so serial numbers never turn into 314159.0.
using Json = nlohmann::ordered_json;

// Parses a whole document strictly as JSON: no leading zeros, no bare "1.", no trailing commas,
// no key twice in an object, only valid UTF-8 and no lone surrogates. Throws JsonError naming the
// line and column of the fault, or the key given twice.
Json parseJson(std::string_view text);

// The document as the command line writes it: two blanks a level, an array of scalars on one
// line (a scale row reads as a row), reals in their shortest round-trip form, text as valid
// UTF-8 with control characters escaped. No newline at the end.
std::string writeJson(const Json& value);

class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessel
