#pragma once

#include <string>
#include <string_view>

namespace tessel {

class VCA_Switchboard;

// One named message of a sending module, sent through a switchboard. It carries a small value
// and a data pointer with the name of the data's type ("NULL" for none, "System::AnsiString"
// for a text, which the message keeps itself).
class VCA_Message {
public:
    static constexpr std::string_view kNoType = "NULL";
    static constexpr std::string_view kTextType = "System::AnsiString";

    VCA_Message(VCA_Switchboard& board, std::string group, std::string name);

    void setGroupAndName(std::string group, std::string name);
    void setData(const void* data, std::string_view typeName);
    void setValueAndData(int value, const void* data, std::string_view typeName);

    bool send();
    bool sendValue(int value);
    bool sendText(std::string text);
    bool sendText(const char* text) { return sendText(std::string(text ? text : "")); }
    bool sendData(const void* data, std::string_view typeName);
    bool sendValueAndData(int value, const void* data, std::string_view typeName);

    // The data when it is set and of the named type, else nullptr.
    const void* data(std::string_view typeName) const;

    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }
    const std::string& group() const { return group_; }
    const std::string& name() const { return name_; }
    int value() const { return value_; }
    const std::string& typeName() const { return typeName_; }
    // The text last sent with sendText.
    const std::string& text() const { return text_; }

private:
    VCA_Switchboard* board_;
    int index_ = -1;
    std::string group_;
    std::string name_;
    int value_ = 0;
    std::string typeName_ = std::string(kNoType);
    const void* data_ = nullptr;
    std::string text_;
};

} // namespace tessel
