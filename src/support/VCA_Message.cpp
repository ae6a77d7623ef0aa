#include "support/VCA_Message.h"

#include "support/VCA_Switchboard.h"

namespace tessel {

VCA_Message::VCA_Message(VCA_Switchboard& board, std::string group, std::string name)
    : board_(&board), group_(std::move(group)), name_(std::move(name)) {}

void VCA_Message::setGroupAndName(std::string group, std::string name) {
    group_ = std::move(group);
    name_ = std::move(name);
    index_ = -1;
}

void VCA_Message::setData(const void* data, std::string_view typeName) {
    data_ = data;
    typeName_ = std::string(typeName);
}

void VCA_Message::setValueAndData(int value, const void* data, std::string_view typeName) {
    value_ = value;
    setData(data, typeName);
}

bool VCA_Message::send() { return board_->send(*this); }

bool VCA_Message::sendValue(int value) {
    value_ = value;
    return send();
}

bool VCA_Message::sendText(std::string text) {
    text_ = std::move(text);
    setData(&text_, kTextType);
    return send();
}

bool VCA_Message::sendData(const void* data, std::string_view typeName) {
    setData(data, typeName);
    return send();
}

bool VCA_Message::sendValueAndData(int value, const void* data, std::string_view typeName) {
    setValueAndData(value, data, typeName);
    return send();
}

const void* VCA_Message::data(std::string_view typeName) const {
    return data_ && typeName_ == typeName ? data_ : nullptr;
}

} // namespace tessel
