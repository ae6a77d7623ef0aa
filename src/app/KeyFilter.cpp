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

// Letters and digits as the system classifies the Latin-1 characters the names are kept in
// (0xC4, "Ä", is a letter), whatever locale the program runs in.
bool isLatin1Alphanumeric(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) return std::isalnum(u) != 0;
    if (u == 0xAA || u == 0xB5 || u == 0xBA) return true; // ª µ º
    return u >= 0xC0 && u != 0xD7 && u != 0xF7;           // À..ÿ but × and ÷
}

char latin1Upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) return static_cast<char>(std::toupper(u));
    // à..þ (but ÷) are the capitals 0x20 below; ß and ÿ have none in Latin-1.
    return u >= 0xE0 && u != 0xF7 && u != 0xFF ? static_cast<char>(u - 0x20) : c;
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
        if (filter == KeyFilter::DecimalNumber && (key.ch == '.' || key.ch == ','))
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
        const bool typed = name ? isLatin1Alphanumeric(key.ch) : isDigit(key.ch);
        if (!typed) return discard();
        deleteSelection(field);
        const std::size_t room = name ? 2 : 4; // three letters, five digits
        if (field.text.size() > room) return discard(true);
        return accept(name ? latin1Upper(key.ch) : key.ch);
    }
    }
    return discard();
}

KeyKind kindOfTyped(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    const bool control = u < 0x20 || u == 0x7F;
    return control && ch != keys::Backspace && ch != keys::Enter && ch != keys::Escape
               ? KeyKind::Navigation
               : KeyKind::Typed;
}

FieldKeyOutcome fieldKey(std::optional<KeyFilter> filter, FieldText& field, KeyKind kind,
                         char ch) {
    using Action = FieldKeyOutcome::Action;
    switch (kind) {
    case KeyKind::Navigation: return {Action::Toolkit};
    case KeyKind::SelectAll:
        field.selectionStart = 0;
        field.selectionLength = field.text.size();
        return {Action::Swallow};
    case KeyKind::Clipboard:
    case KeyKind::Typed: break;
    }
    const bool clipboard = kind == KeyKind::Clipboard;
    if (!filter) {
        if (clipboard || (ch != keys::Escape && ch != keys::Enter)) return {Action::Toolkit};
        if (ch == keys::Escape) field = FieldText{};
        return {Action::Swallow};
    }
    const KeyVerdict verdict = filterKey(*filter, field, {clipboard ? '\0' : ch, clipboard});
    if (!verdict.pass || ch == keys::Escape || ch == keys::Enter)
        return {Action::Swallow, 0, verdict.beep};
    if (clipboard || verdict.ch == ch) return {Action::Toolkit, 0, verdict.beep};
    return {Action::Type, verdict.ch, verdict.beep};
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
