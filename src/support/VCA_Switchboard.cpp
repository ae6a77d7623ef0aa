#include "support/VCA_Switchboard.h"

#include "support/VCA_Message.h"

#include <algorithm>

namespace tessel {

VCA_Switchboard& VCA_Switchboard::instance() {
    static VCA_Switchboard board;
    return board;
}

int VCA_Switchboard::registerName(std::string_view name) {
    const auto found = std::find(registry_.begin(), registry_.end(), name);
    if (found != registry_.end()) return static_cast<int>(found - registry_.begin());
    registry_.emplace_back(name);
    return static_cast<int>(registry_.size()) - 1;
}

bool VCA_Switchboard::send(VCA_Message& message) {
    if (message.index() == -1) message.setIndex(registerName(message.name()));
    bool handled = false;
    // A copy, so a handler may subscribe or unsubscribe while it runs.
    const auto subscribers = subscribers_;
    for (const auto& s : subscribers)
        if (s.active && s.index == message.index() && s.handler) handled = s.handler(message) || handled;
    return handled;
}

int VCA_Switchboard::subscribe(std::string displayName, std::string_view messageName, Handler handler) {
    const int id = nextId_++;
    subscribers_.push_back({id, std::move(displayName), registerName(messageName), true, std::move(handler)});
    return id;
}

void VCA_Switchboard::unsubscribe(int id) {
    std::erase_if(subscribers_, [id](const Subscriber& s) { return s.id == id; });
}

void VCA_Switchboard::setActive(int id, bool active) {
    for (auto& s : subscribers_)
        if (s.id == id) s.active = active;
}

} // namespace tessel
