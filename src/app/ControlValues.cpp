#include "app/ControlValues.h"

namespace tessel {

namespace {
template <typename Map, typename Value> void put(Map& map, std::string_view key, Value value) {
    if (auto it = map.find(key); it != map.end())
        it->second = value;
    else
        map.emplace(std::string(key), value);
}
} // namespace

std::string ControlValues::text(std::string_view control) const {
    const auto it = texts_.find(control);
    return it == texts_.end() ? std::string{} : it->second;
}

void ControlValues::setText(std::string_view control, std::string_view value) {
    put(texts_, control, std::string(value));
}

bool ControlValues::isChecked(std::string_view control) const {
    const auto it = checks_.find(control);
    return it != checks_.end() && it->second;
}

void ControlValues::setChecked(std::string_view control, bool checked) {
    put(checks_, control, checked);
}

bool ControlValues::isEnabled(std::string_view control) const {
    const auto it = enabled_.find(control);
    return it == enabled_.end() || it->second;
}

void ControlValues::setEnabled(std::string_view control, bool enabled) {
    put(enabled_, control, enabled);
}

} // namespace tessel
