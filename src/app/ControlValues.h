#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The contents of the windows' controls, keyed by control name ("memoSerialNumber",
// "cbSkipTapeMinRadius", "rbTiltYes", ...): texts of text fields and labels, check marks of
// check boxes, radio buttons and menu items, and enabled states. The Qt windows bind their
// widgets to these names and refresh them when told of a change; tests use the set directly.
// Every name is one a window's layout declares (WindowLayout.h): any other is a programming error,
// which stops a debug build.
class ControlValues {
public:
    // Told the names of the controls whose text, check mark or enabled state changed (sorted,
    // each once): after every set that changes a value, or once when a batch of sets ends.
    using Observer = std::function<void(const std::vector<std::string>& changed)>;

    // Holds the notices of a series of sets (a load into the windows) until the outermost batch
    // on the same values ends, then reports everything they changed at once.
    class Batch {
    public:
        explicit Batch(ControlValues& values);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ControlValues& values_;
    };

    ControlValues() = default;
    // Observers belong to the views of one set of values.
    ControlValues(const ControlValues&) = delete;
    ControlValues& operator=(const ControlValues&) = delete;

    // Returns an id for removeObserver. Observers must not throw (a batch reports as it ends).
    std::size_t addObserver(Observer observer);
    void removeObserver(std::size_t id);

    // Empty text for a control never set.
    std::string text(std::string_view control) const;
    void setText(std::string_view control, std::string_view value);

    // Unchecked for a control never set.
    bool isChecked(std::string_view control) const;
    void setChecked(std::string_view control, bool checked);

    // Enabled for a control never set.
    bool isEnabled(std::string_view control) const;
    void setEnabled(std::string_view control, bool enabled);

private:
    void changed(std::string_view control);
    void notify();

    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, bool, std::less<>> checks_;
    std::map<std::string, bool, std::less<>> enabled_;

    std::map<std::size_t, Observer> observers_;
    std::size_t nextObserverId_ = 0;
    int batchDepth_ = 0;
    std::set<std::string, std::less<>> pending_;
};

} // namespace tessel
