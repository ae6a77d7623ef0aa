#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class VCA_Message;

// A registry of named messages that handlers may subscribe to. A message's name is registered at
// its first send; its index is its position in the registry and never changes.
class VCA_Switchboard {
public:
    using Handler = std::function<bool(const VCA_Message&)>;

    // The process-wide board. Tests and embedders may also make their own.
    static VCA_Switchboard& instance();

    // The registry position of the name, appending it when it is new.
    int registerName(std::string_view name);
    const std::vector<std::string>& registry() const { return registry_; }

    // Calls every active subscriber of the message's name in subscription order; the result is
    // true when any of them returned true, false when none was called.
    bool send(VCA_Message& message);

    // Returns an id for unsubscribe and setActive.
    int subscribe(std::string displayName, std::string_view messageName, Handler handler);
    void unsubscribe(int id);
    void setActive(int id, bool active);

private:
    struct Subscriber {
        int id;
        std::string displayName;
        int index;
        bool active;
        Handler handler;
    };

    std::vector<std::string> registry_;
    std::vector<Subscriber> subscribers_;
    int nextId_ = 1;
};

} // namespace tessel
