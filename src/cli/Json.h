#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tessel {

// A small JSON value for the command line's machine-readable input and output. Objects keep
// their keys in insertion order so the output reads in a fixed, documented order. Numbers keep
// whether they were written as integers, so serial numbers never turn into 314159.0.
class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default; // null
    Json(bool b) : value_(b) {}
    Json(int i) : value_(std::int64_t{i}) {}
    Json(std::int64_t i) : value_(i) {}
    Json(double d) : value_(d) {}
    Json(const char* s) : value_(std::string(s)) {}
    Json(std::string s) : value_(std::move(s)) {}
    Json(Array a) : value_(std::move(a)) {}
    Json(Object o) : value_(std::move(o)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool isBool() const { return std::holds_alternative<bool>(value_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(value_); }
    bool isNumber() const { return isInteger() || std::holds_alternative<double>(value_); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isObject() const { return std::holds_alternative<Object>(value_); }

    bool asBool() const { return std::get<bool>(value_); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(value_); }
    double asNumber() const {
        return isInteger() ? static_cast<double>(asInteger()) : std::get<double>(value_);
    }
    const std::string& asString() const { return std::get<std::string>(value_); }
    const Array& asArray() const { return std::get<Array>(value_); }
    const Object& asObject() const { return std::get<Object>(value_); }
    Object& asObject() { return std::get<Object>(value_); }

    // The member of an object with this key, or nullptr.
    const Json* find(std::string_view key) const;
    // Appends a member to an object.
    void set(std::string key, Json value);

    // Indented output, two blanks a level; reals in their shortest round-trip form.
    std::string dump(bool pretty = true) const;

    // Parses a whole document; throws JsonError naming the position of the first fault.
    static Json parse(std::string_view text);

private:
    void dumpTo(std::string& out, bool pretty, int depth) const;
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Object> value_;
};

class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessel
