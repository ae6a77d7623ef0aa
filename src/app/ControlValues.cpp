#include "app/ControlValues.h"

#include "app/WindowLayout.h"

namespace tessel {

namespace {
// Stores the value; returns whether it differs from what the control held (or its default).
template <typename Map, typename Value>
bool put(Map& map, std::string_view key, Value value, const Value& unset) {
    if (auto it = map.find(key); it != map.end()) {
        if (it->second == value) return false;
        it->second = std::move(value);
        return true;
    }
    const bool differs = !(value == unset);
    map.emplace(std::string(key), std::move(value));
    return differs;
}
} // namespace

ControlValues::Batch::Batch(ControlValues& values) : values_(values) { ++values_.batchDepth_; }

ControlValues::Batch::~Batch() {
    if (--values_.batchDepth_ == 0) values_.notify();
}

std::size_t ControlValues::addObserver(Observer observer) {
    observers_.emplace(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void ControlValues::removeObserver(std::size_t id) { observers_.erase(id); }

void ControlValues::changed(std::string_view control) {
    if (observers_.empty()) return;
    pending_.emplace(control);
    if (batchDepth_ == 0) notify();
}

void ControlValues::notify() {
    if (pending_.empty()) return;
    const std::vector<std::string> names(pending_.begin(), pending_.end());
    pending_.clear();
    // By id: an observer may remove itself or another while it is told.
    std::vector<std::size_t> ids;
    for (const auto& entry : observers_)
        ids.push_back(entry.first);
    for (const std::size_t id : ids)
        if (const auto it = observers_.find(id); it != observers_.end()) {
            const Observer observer = it->second; // survives its own removal
            observer(names);
        }
}

std::string ControlValues::text(std::string_view control) const {
    requireDeclared(control);
    const auto it = texts_.find(control);
    return it == texts_.end() ? std::string{} : it->second;
}

void ControlValues::setText(std::string_view control, std::string_view value) {
    requireDeclared(control);
    if (put(texts_, control, std::string(value), std::string{})) changed(control);
}

bool ControlValues::isChecked(std::string_view control) const {
    requireDeclared(control);
    const auto it = checks_.find(control);
    return it != checks_.end() && it->second;
}

void ControlValues::setChecked(std::string_view control, bool checked) {
    requireDeclared(control);
    if (put(checks_, control, checked, false)) changed(control);
}

bool ControlValues::isEnabled(std::string_view control) const {
    requireDeclared(control);
    const auto it = enabled_.find(control);
    return it == enabled_.end() || it->second;
}

void ControlValues::setEnabled(std::string_view control, bool enabled) {
    requireDeclared(control);
    if (put(enabled_, control, enabled, true)) changed(control);
}

} // namespace tessel
