#include "cli/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <vector>

namespace tessel {

namespace {

// Refuses a key given twice in one object, which the library would take as its last value. The
// parser reports an object's keys one depth below the object itself.
class DuplicateKeyCheck {
public:
    void see(int depth, Json::parse_event_t event, const Json& parsed) {
        const auto level = static_cast<std::size_t>(depth);
        if (event == Json::parse_event_t::object_start) {
            keys_.resize(level + 2);
            keys_[level + 1].clear();
        } else if (event == Json::parse_event_t::key) {
            const auto& key = parsed.get_ref<const std::string&>();
            path_.resize(level - 1);
            path_.push_back(key);
            if (!keys_[level].insert(key).second)
                throw JsonError("JSON error: key \"" + dottedPath() + "\" is given twice");
        }
    }

private:
    std::string dottedPath() const {
        std::string out;
        for (const auto& name : path_)
            if (!name.empty()) out += (out.empty() ? "" : ".") + name;
        return out;
    }

    std::vector<std::set<std::string>> keys_; // by depth: the keys of the open objects
    std::vector<std::string> path_;           // the keys down to the current one (arrays: "")
};

// "[json.exception.parse_error.101] parse error at line 1, column 2: ..." as "JSON error at
// line 1, column 2: ...", with bytes outside ASCII shown by value.
std::string errorMessage(const nlohmann::json::exception& e) {
    std::string what = e.what();
    what.erase(0, what.find("] ") + 2);
    if (what.starts_with("parse error"))
        what.erase(0, 11);
    else
        what.insert(0, ": ");
    std::string out = "JSON error";
    for (const unsigned char c : what) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += {'\\', 'x', hex[c >> 4], hex[c & 15]};
        }
    }
    return out;
}

bool isScalar(const Json& v) {
    return !v.is_array() && !v.is_object();
}

void newline(std::string& out, int depth) {
    out += '\n';
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

void writeScalar(const Json& v, std::string& out) {
    if (!v.is_number_float()) {
        out += v.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
        return;
    }
    const double d = v.get<double>();
    if (!std::isfinite(d)) {
        out += "null"; // JSON has no infinities; never produced by a valid record
        return;
    }
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    out.append(buf, r.ptr);
}

void write(const Json& v, std::string& out, int depth) {
    if (v.is_object()) {
        out += '{';
        const char* separator = "";
        for (const auto& [key, member] : v.items()) {
            out += separator;
            separator = ",";
            newline(out, depth + 1);
            writeScalar(Json(key), out);
            out += ": ";
            write(member, out, depth + 1);
        }
        if (!v.empty()) newline(out, depth);
        out += '}';
    } else if (v.is_array()) {
        const bool row = std::all_of(v.begin(), v.end(), isScalar);
        out += '[';
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i) out += row ? ", " : ",";
            if (!row) newline(out, depth + 1);
            write(v[i], out, depth + 1);
        }
        if (!row) newline(out, depth);
        out += ']';
    } else {
        writeScalar(v, out);
    }
}

} // namespace

Json parseJson(std::string_view text) {
    try {
        DuplicateKeyCheck duplicates;
        return Json::parse(text, [&](int depth, Json::parse_event_t event, Json& parsed) {
            duplicates.see(depth, event, parsed);
            return true;
        });
    } catch (const nlohmann::json::exception& e) {
        throw JsonError(errorMessage(e));
    }
}

std::string writeJson(const Json& value) {
    std::string out;
    write(value, out, 0);
    return out;
}

} // namespace tessel
