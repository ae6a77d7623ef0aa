#include "win32/FieldBinding.h"

#include "win32/EditKeys.h"
#include "win32/WindowText.h"

namespace tessel::win32 {

FieldBinding::FieldBinding(ControlValues& values) : values_(values) {
    observer_ = values_.addObserver([this](const std::vector<std::string>& changed) {
        for (const auto& control : changed)
            show(control);
    });
}

FieldBinding::~FieldBinding() {
    values_.removeObserver(observer_);
}

void FieldBinding::bindField(HWND edit, std::string control, std::optional<KeyFilter> filter) {
    filterEditKeys(edit, filter);
    fields_[control] = edit;
    show(control);
}

void FieldBinding::bindCheck(HWND button, std::string control) {
    checks_[control] = button;
    show(control);
}

bool FieldBinding::binds(std::string_view control) const {
    return fields_.contains(control) || checks_.contains(control);
}

void FieldBinding::show(std::string_view control) {
    if (const auto f = fields_.find(control); f != fields_.end()) {
        const std::string text = values_.text(control);
        if (textOf(f->second) != text) {
            showing_ = true;
            setText(f->second, text);
            showing_ = false;
        }
        EnableWindow(f->second, values_.isEnabled(control));
    } else if (const auto b = checks_.find(control); b != checks_.end()) {
        SendMessageW(b->second, BM_SETCHECK,
                     values_.isChecked(control) ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(b->second, values_.isEnabled(control));
    }
}

void FieldBinding::notified(std::string_view control, WORD code) {
    const auto field = fields_.find(control);
    switch (code) {
    case EN_CHANGE:
        if (field != fields_.end() && !showing_) values_.setText(control, textOf(field->second));
        break;
    case EN_SETFOCUS:
    case EN_KILLFOCUS:
        if (field == fields_.end()) break;
        InvalidateRect(field->second, nullptr, TRUE); // white while focused
        if (code == EN_SETFOCUS && onFocusIn) onFocusIn(field->first);
        if (code == EN_KILLFOCUS && onFocusOut) onFocusOut(field->first);
        break;
    case BN_CLICKED:
        // A radio button unchecks the others of its group without a word: take them all.
        if (checks_.contains(control)) {
            ControlValues::Batch batch(values_);
            for (const auto& [name, button] : checks_)
                values_.setChecked(name, SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED);
        }
        break;
    default: break;
    }
}

} // namespace tessel::win32
