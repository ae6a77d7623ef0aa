#include "cli/RecordJson.h"

#include "block/RecordFields.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tessel {

namespace {

std::pair<long, long> rangeOf(fields::Width width) {
    switch (width) {
    case fields::Width::U16: return {0, 65535};
    case fields::Width::S16: return {-32768, 32767};
    case fields::Width::S8: break;
    }
    return {-128, 127};
}

// Block text bytes 0x80..0xFE are the code points of the same value (Latin-1) in JSON.
std::string latin1ToUtf8(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

[[noreturn]] void wrong(const std::string& key, const std::string& what) {
    throw RecordJsonError("record key \"" + key + "\": " + what);
}

// The JSON text as block bytes; refuses what a block line cannot carry.
std::string blockText(const Json& v, const std::string& key) {
    if (!v.isString()) wrong(key, "must be a text");
    const std::string& s = v.asString();
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

long integer(const Json& v, const std::string& key, long min, long max) {
    if (!v.isInteger()) wrong(key, "must be a whole number");
    const auto i = v.asInteger();
    if (i < min || i > max)
        wrong(key, "must lie from " + std::to_string(min) + " to " + std::to_string(max));
    return static_cast<long>(i);
}

double real(const Json& v, const std::string& key) {
    if (!v.isNumber()) wrong(key, "must be a number");
    const double d = v.asNumber();
    if (!std::isfinite(d)) wrong(key, "must be a finite number");
    return d;
}

bool boolean(const Json& v, const std::string& key) {
    if (!v.isBool()) wrong(key, "must be true or false");
    return v.asBool();
}

const Json::Object& object(const Json& v, const std::string& key) {
    if (!v.isObject()) wrong(key, "must be an object");
    return v.asObject();
}

const Json::Array& array(const Json& v, const std::string& key, std::size_t size) {
    if (!v.isArray() || v.asArray().size() != size)
        wrong(key, "must be a list of " + std::to_string(size));
    return v.asArray();
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
    Json::Array out;
    for (const auto& row : rows) {
        Json::Array r;
        for (auto v : row) r.emplace_back(static_cast<std::int64_t>(v));
        out.emplace_back(std::move(r));
    }
    return Json(std::move(out));
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

Json recordToJson(const ConfigBlock& r) {
    Json j{Json::Object{}};
    j.set("format", r.format);
    j.set("serialNumber", static_cast<std::int64_t>(r.serialNumber));
    j.set("customerId", r.customerId);
    j.set("productName", latin1ToUtf8(r.productName));
    for (const auto& option : fields::kNumericOptions) {
        j.set(std::string(option.key), r.*option.value);
        j.set(std::string(option.skipKey), r.*option.skip);
    }
    Json options{Json::Object{}};
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        options.set(std::string(fields::kSwitches[i].label), optionStateName(r.options[i]));
    j.set("options", std::move(options));
    Json::Array names;
    for (const auto& n : r.scaleNames) names.emplace_back(latin1ToUtf8(n));
    j.set("scaleNames", Json(std::move(names)));
    j.set("metricScales", scaleRows(r.metricScales));
    j.set("englishScales", scaleRows(r.englishScales));
    Json tilt{Json::Object{}};
    for (const auto& member : fields::kTilt)
        tilt.set(std::string(member.key), static_cast<std::int64_t>(member.get(r.tiltCalibration)));
    j.set("tilt", std::move(tilt));
    return j;
}

ConfigBlock recordFromJson(const Json& json, std::int32_t serialNumberDefault) {
    ConfigBlock r;
    r.fullReset(serialNumberDefault);
    r.tiltCalibration = TiltCalibration{};
    for (const auto& [key, v] : object(json, "(record)")) {
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
        } else if (key == "options") {
            for (const auto& [label, state] : object(v, key)) {
                const std::string optKey = "options." + label;
                std::size_t i = 0;
                while (i < kSwitchCount && fields::kSwitches[i].label != label) ++i;
                if (i == kSwitchCount) wrong(optKey, "is not a switch option");
                if (!state.isString()) wrong(optKey, "must be \"Yes\", \"No\" or \"Skip\"");
                const std::string& s = state.asString();
                if (s == "Yes") r.options[i] = OptionState::Yes;
                else if (s == "No") r.options[i] = OptionState::No;
                else if (s == "Skip") r.options[i] = OptionState::Skip;
                else wrong(optKey, "must be \"Yes\", \"No\" or \"Skip\"");
            }
        } else if (key == "scaleNames") {
            const auto& names = array(v, key, 4);
            for (std::size_t i = 0; i < 4; ++i) {
                const std::string nameKey = key + "[" + std::to_string(i) + "]";
                r.scaleNames[i] = blockText(names[i], nameKey);
                if (r.scaleNames[i].size() > kScaleNameLength)
                    wrong(nameKey, "is longer than 3 characters");
            }
        } else if (key == "metricScales") {
            readScaleRows(v, key, r.metricScales);
        } else if (key == "englishScales") {
            readScaleRows(v, key, r.englishScales);
        } else if (key == "tilt") {
            for (const auto& [name, value] : object(v, key)) {
                const auto member = std::find_if(fields::kTilt.begin(), fields::kTilt.end(),
                                                 [&](const auto& m) { return m.key == name; });
                if (member == fields::kTilt.end()) wrong("tilt." + name, "is not a tilt member");
                const auto [min, max] = rangeOf(member->width);
                member->set(r.tiltCalibration, integer(value, "tilt." + name, min, max));
            }
        } else {
            wrong(key, "is not a record key");
        }
    }
    return r;
}

} // namespace tessel
