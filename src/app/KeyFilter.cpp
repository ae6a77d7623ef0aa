#include "app/KeyFilter.h"

#include <cctype>

namespace tessel {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void empty(FieldText& field) { field = FieldText{}; }

void deleteSelection(FieldText& field) {
    field.text.erase(field.selectionStart, field.selectionLength);
    field.selectionLength = 0;
}

KeyVerdict accept(char c) { return {true, c, false}; }
KeyVerdict discard(bool beep = false) { return {false, 0, beep}; }

// Options dialog and calibration readings: a text that starts with "-" (pasted in) or Escape
// empties the field and the key then goes on unfiltered; Escape itself types nothing.
bool emptiedFirst(FieldText& field, TypedKey key, KeyVerdict& verdict) {
    const bool minusText = !field.text.empty() && field.text.front() == '-';
    if (!minusText && key.ch != keys::Escape) return false;
    empty(field);
    verdict = key.ch == keys::Escape ? discard() : KeyVerdict{true, key.ch, false};
    return true;
}

} // namespace

KeyVerdict filterKey(KeyFilter filter, FieldText& field, TypedKey key) {
    if (field.selectionStart > field.text.size()) field.selectionStart = field.text.size();
    if (field.selectionLength > field.text.size() - field.selectionStart)
        field.selectionLength = field.text.size() - field.selectionStart;

    KeyVerdict verdict;
    switch (filter) {
    case KeyFilter::DecimalNumber:
    case KeyFilter::UnsignedNumber:
        if (emptiedFirst(field, key, verdict)) return verdict;
        if (key.clipboard) return discard();
        // The whole text counts, selected characters included.
        if (filter == KeyFilter::DecimalNumber && key.ch == '.')
            return field.text.find('.') == std::string::npos ? accept('.') : discard();
        return key.ch == keys::Backspace || isDigit(key.ch) ? accept(key.ch) : discard();

    case KeyFilter::SignedNumber:
        if (key.clipboard) return discard();
        if (key.ch == keys::Escape) {
            empty(field);
            return discard();
        }
        return key.ch == keys::Backspace || key.ch == '-' || isDigit(key.ch) ? accept(key.ch)
                                                                              : discard();

    case KeyFilter::ScaleName:
    case KeyFilter::ScaleValue: {
        if (key.ch == keys::Escape && !key.clipboard) {
            empty(field);
            return discard();
        }
        if (key.clipboard) return {true, 0, false};
        if (key.ch == keys::Backspace) return accept(key.ch);
        const bool name = filter == KeyFilter::ScaleName;
        const bool typed = name ? std::isalnum(static_cast<unsigned char>(key.ch)) != 0
                                : isDigit(key.ch);
        if (!typed) return discard();
        deleteSelection(field);
        const std::size_t room = name ? 2 : 4; // three letters, five digits
        if (field.text.size() > room) return discard(true);
        return accept(name ? static_cast<char>(std::toupper(static_cast<unsigned char>(key.ch)))
                           : key.ch);
    }
    }
    return discard();
}

void applyKey(FieldText& field, const KeyVerdict& verdict) {
    // Enter, Escape and the clipboard keys type nothing into a one-line field.
    if (!verdict.pass || (verdict.ch != keys::Backspace &&
                          static_cast<unsigned char>(verdict.ch) < 0x20))
        return;
    if (verdict.ch == keys::Backspace) {
        if (field.selectionLength == 0 && field.selectionStart > 0) {
            --field.selectionStart;
            field.selectionLength = 1;
        }
        deleteSelection(field);
        return;
    }
    deleteSelection(field);
    field.text.insert(field.selectionStart, 1, verdict.ch);
    ++field.selectionStart;
}

} // namespace tessel
