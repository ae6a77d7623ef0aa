#include "cli/Json.h"

#include <charconv>
#include <cmath>

namespace tessel {

const Json* Json::find(std::string_view key) const {
    for (const auto& [name, value] : asObject())
        if (name == key) return &value;
    return nullptr;
}

void Json::set(std::string key, Json value) {
    asObject().emplace_back(std::move(key), std::move(value));
}

namespace {

void appendEscaped(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void newline(std::string& out, bool pretty, int depth) {
    if (!pretty) return;
    out += '\n';
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

// True when every element is a scalar: such arrays print on one line, which keeps scale rows
// readable as rows.
bool allScalars(const Json::Array& a) {
    for (const auto& v : a)
        if (v.isArray() || v.isObject()) return false;
    return true;
}

} // namespace

void Json::dumpTo(std::string& out, bool pretty, int depth) const {
    if (isNull()) {
        out += "null";
    } else if (isBool()) {
        out += asBool() ? "true" : "false";
    } else if (isInteger()) {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, asInteger());
        out.append(buf, r.ptr);
    } else if (std::holds_alternative<double>(value_)) {
        const double d = std::get<double>(value_);
        if (!std::isfinite(d)) {
            out += "null"; // JSON has no infinities; never produced by a valid record
        } else {
            char buf[40];
            auto r = std::to_chars(buf, buf + sizeof buf, d);
            out.append(buf, r.ptr);
        }
    } else if (isString()) {
        appendEscaped(out, asString());
    } else if (isArray()) {
        const auto& a = asArray();
        const bool inlineRow = allScalars(a);
        out += '[';
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (i) out += inlineRow && pretty ? ", " : ",";
            if (!inlineRow) newline(out, pretty, depth + 1);
            a[i].dumpTo(out, pretty, depth + 1);
        }
        if (!inlineRow && !a.empty()) newline(out, pretty, depth);
        out += ']';
    } else {
        const auto& o = asObject();
        out += '{';
        for (std::size_t i = 0; i < o.size(); ++i) {
            if (i) out += ',';
            newline(out, pretty, depth + 1);
            appendEscaped(out, o[i].first);
            out += pretty ? ": " : ":";
            o[i].second.dumpTo(out, pretty, depth + 1);
        }
        if (!o.empty()) newline(out, pretty, depth);
        out += '}';
    }
}

std::string Json::dump(bool pretty) const {
    std::string out;
    dumpTo(out, pretty, 0);
    return out;
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Json document() {
        Json v = value(0);
        skipBlanks();
        if (pos_ != s_.size()) fail("unexpected text after the value");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw JsonError("JSON error at offset " + std::to_string(pos_) + ": " + what);
    }

    void skipBlanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    bool consume(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    Json value(int depth) {
        if (depth > 64) fail("nesting too deep");
        skipBlanks();
        if (pos_ >= s_.size()) fail("unexpected end of input");
        const char c = s_[pos_];
        if (c == '{') return object(depth);
        if (c == '[') return array(depth);
        if (c == '"') return Json(string());
        if (consume("true")) return Json(true);
        if (consume("false")) return Json(false);
        if (consume("null")) return Json();
        if (c == '-' || (c >= '0' && c <= '9')) return number();
        fail(std::string("unexpected character '") + c + "'");
    }

    Json object(int depth) {
        ++pos_;
        Json obj{Json::Object{}};
        skipBlanks();
        if (consume("}")) return obj;
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != '"') fail("expected a key in quotes");
            std::string key = string();
            skipBlanks();
            if (!consume(":")) fail("expected ':' after key \"" + key + "\"");
            obj.set(std::move(key), value(depth + 1));
            skipBlanks();
            if (consume("}")) return obj;
            if (!consume(",")) fail("expected ',' or '}'");
        }
    }

    Json array(int depth) {
        ++pos_;
        Json::Array items;
        skipBlanks();
        if (consume("]")) return Json(std::move(items));
        for (;;) {
            items.push_back(value(depth + 1));
            skipBlanks();
            if (consume("]")) return Json(std::move(items));
            if (!consume(",")) fail("expected ',' or ']'");
        }
    }

    Json number() {
        const std::size_t start = pos_;
        if (s_[pos_] == '-') ++pos_;
        bool integral = true;
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c >= '0' && c <= '9') {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') {
                integral = false;
                ++pos_;
            } else {
                break;
            }
        }
        const char* first = s_.data() + start;
        const char* last = s_.data() + pos_;
        if (integral) {
            std::int64_t i = 0;
            auto r = std::from_chars(first, last, i);
            if (r.ec == std::errc() && r.ptr == last) return Json(i);
        }
        double d = 0;
        auto r = std::from_chars(first, last, d);
        if (r.ec != std::errc() || r.ptr != last) {
            pos_ = start;
            fail("malformed number");
        }
        return Json(d);
    }

    unsigned hex4() {
        if (pos_ + 4 > s_.size()) fail("short \\u escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
            else fail("bad \\u escape");
        }
        return v;
    }

    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string string() {
        ++pos_; // opening quote
        std::string out;
        for (;;) {
            if (pos_ >= s_.size()) fail("unterminated string");
            const char c = s_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) fail("unterminated escape");
            const char e = s_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned cp = hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && consume("\\u")) {
                    const unsigned low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF) fail("bad surrogate pair");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default: fail("unknown escape");
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

} // namespace

Json Json::parse(std::string_view text) { return Parser(text).document(); }

} // namespace tessel
