#include "cli/RecordJson.h"

#include "block/NameRules.h"
#include "block/RecordFields.h"
#include "support/Latin1Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tessel {

namespace {

[[noreturn]] void wrong(const std::string& key, const std::string& what) {
    throw RecordJsonError("record key \"" + key + "\": " + what);
}

// The JSON text as block bytes; refuses what a block line cannot carry. The text is valid UTF-8
// (the parser refuses anything else), so a two-byte sequence is one code point up to U+07FF.
std::string blockText(const Json& v, const std::string& key) {
    if (!v.is_string()) wrong(key, "must be a text");
    const auto& s = v.get_ref<const std::string&>();
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned cp = 0;
        if (c < 0x80) {
            cp = c;
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
            cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            i += 2;
        } else {
            wrong(key, "holds a character a block cannot carry (only up to U+00FE)");
        }
        if (cp < 0x20 || cp == 0x7F || cp > 0xFE)
            wrong(key, "holds a character a block cannot carry");
        if (cp == '~') wrong(key, "holds \"~\", which a light bar reads as withdrawn text");
        out += static_cast<char>(cp);
    }
    return out;
}

// A name the light bar would read back cut (it keeps what follows the last blank or colon).
void refuseChangingName(const std::string& name, const std::string& key) {
    if (!readsBackUnchanged(name))
        wrong(key, "holds a blank or \":\" inside it, which a light bar reads back changed");
}

long integer(const Json& v, const std::string& key, long min, long max) {
    if (!v.is_number_integer()) wrong(key, "must be a whole number");
    // The parser keeps a number without a sign unsigned, up to 2^64 - 1; every max here is >= 0.
    const bool inRange = v.is_number_unsigned()
                             ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(max)
                             : v.get<std::int64_t>() >= min && v.get<std::int64_t>() <= max;
    if (!inRange) wrong(key, "must lie from " + std::to_string(min) + " to " + std::to_string(max));
    return v.get<long>();
}

double real(const Json& v, const std::string& key) {
    if (!v.is_number()) wrong(key, "must be a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) wrong(key, "must be a finite number");
    return d;
}

bool boolean(const Json& v, const std::string& key) {
    if (!v.is_boolean()) wrong(key, "must be true or false");
    return v.get<bool>();
}

// The members of an object, as key and value.
auto members(const Json& v, const std::string& key) {
    if (!v.is_object()) wrong(key, "must be an object");
    return v.items();
}

const Json& array(const Json& v, const std::string& key, std::size_t size) {
    if (!v.is_array() || v.size() != size) wrong(key, "must be a list of " + std::to_string(size));
    return v;
}

// Stores a numeric option's value or skip flag when the key names one.
bool readNumericOption(const std::string& key, const Json& v, ConfigBlock& r) {
    for (const auto& option : fields::kNumericOptions) {
        if (key == option.key) {
            r.*option.value = real(v, key);
            return true;
        }
        if (key == option.skipKey) {
            r.*option.skip = boolean(v, key);
            return true;
        }
    }
    return false;
}

Json scaleRows(const std::array<ScaleRow, 4>& rows) {
    Json out = Json::array();
    for (const auto& row : rows) out.push_back(row);
    return out;
}

void readScaleRows(const Json& v, const std::string& key, std::array<ScaleRow, 4>& rows) {
    const auto& outer = array(v, key, 4);
    for (std::size_t r = 0; r < 4; ++r) {
        const std::string rowKey = key + "[" + std::to_string(r) + "]";
        const auto& inner = array(outer[r], rowKey, kScaleRowLength);
        for (std::size_t k = 0; k < kScaleRowLength; ++k)
            rows[r][k] = static_cast<std::uint16_t>(
                integer(inner[k], rowKey + "[" + std::to_string(k) + "]", 0, 65535));
    }
}

} // namespace

Json tiltJson(const TiltCalibration& tilt) {
    Json j = Json::object();
    for (const auto& member : fields::kTilt) j[std::string(member.key)] = member.get(tilt);
    return j;
}

Json recordToJson(const ConfigBlock& r) {
    Json j = Json::object();
    j["format"] = r.format;
    j["serialNumber"] = r.serialNumber;
    j["customerId"] = r.customerId;
    j["productName"] = latin1ToUtf8(r.productName);
    for (const auto& option : fields::kNumericOptions) {
        j[std::string(option.key)] = r.*option.value;
        j[std::string(option.skipKey)] = r.*option.skip;
    }
    Json options = Json::object();
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        options[std::string(fields::kSwitches[i].label)] = optionStateName(r.options[i]);
    j["options"] = std::move(options);
    Json names = Json::array();
    for (const auto& n : r.scaleNames) names.push_back(latin1ToUtf8(n));
    j["scaleNames"] = std::move(names);
    j["metricScales"] = scaleRows(r.metricScales);
    j["englishScales"] = scaleRows(r.englishScales);
    j["tilt"] = tiltJson(r.tiltCalibration);
    return j;
}

ConfigBlock recordFromJson(const Json& json, std::int32_t serialNumberDefault) {
    ConfigBlock r;
    r.fullReset(serialNumberDefault);
    r.tiltCalibration = TiltCalibration{};
    for (const auto& [key, v] : members(json, "(record)")) {
        if (readNumericOption(key, v, r)) continue;
        if (key == "format") {
            const long f = integer(v, key, 0, 2);
            r.setFormat(f);
        } else if (key == "serialNumber") {
            r.serialNumber = static_cast<std::int32_t>(integer(
                v, key, std::numeric_limits<std::int32_t>::min(),
                std::numeric_limits<std::int32_t>::max()));
        } else if (key == "customerId") {
            r.customerId = static_cast<int>(integer(v, key, 0, 5));
        } else if (key == "productName") {
            r.productName = blockText(v, key);
            if (r.productName.size() > kProductNameMax) wrong(key, "is longer than 19 characters");
            refuseChangingName(r.productName, key);
        } else if (key == "options") {
            for (const auto& [label, state] : members(v, key)) {
                const std::string optKey = "options." + label;
                std::size_t i = 0;
                while (i < kSwitchCount && fields::kSwitches[i].label != label) ++i;
                if (i == kSwitchCount) wrong(optKey, "is not a switch option");
                if (state == "Yes") r.options[i] = OptionState::Yes;
                else if (state == "No") r.options[i] = OptionState::No;
                else if (state == "Skip") r.options[i] = OptionState::Skip;
                else wrong(optKey, "must be \"Yes\", \"No\" or \"Skip\"");
            }
        } else if (key == "scaleNames") {
            const auto& names = array(v, key, 4);
            for (std::size_t i = 0; i < 4; ++i) {
                const std::string nameKey = key + "[" + std::to_string(i) + "]";
                r.scaleNames[i] = blockText(names[i], nameKey);
                if (r.scaleNames[i].size() > kScaleNameLength)
                    wrong(nameKey, "is longer than 3 characters");
                refuseChangingName(r.scaleNames[i], nameKey);
            }
        } else if (key == "metricScales") {
            readScaleRows(v, key, r.metricScales);
        } else if (key == "englishScales") {
            readScaleRows(v, key, r.englishScales);
        } else if (key == "tilt") {
            for (const auto& [name, value] : members(v, key)) {
                const auto member = std::find_if(fields::kTilt.begin(), fields::kTilt.end(),
                                                 [&](const auto& m) { return m.key == name; });
                if (member == fields::kTilt.end()) wrong("tilt." + name, "is not a tilt member");
                const auto [min, max] = fields::rangeOf(member->width);
                member->set(r.tiltCalibration, integer(value, "tilt." + name, min, max));
            }
        } else {
            wrong(key, "is not a record key");
        }
    }
    return r;
}

} // namespace tessel
