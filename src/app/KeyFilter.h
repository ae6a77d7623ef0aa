#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tessel {

// The dialogs' per-field key filters without a toolkit. A view classifies every key (KeyKind)
// and hands it to fieldKey: navigation keys never reach a filter, Ctrl+A selects the text, the
// clipboard keys come by their key sequence. The filter may edit the field first (empty it,
// delete its selection) and says whether the key then goes into the field, as what character,
// and whether to beep.
enum class KeyFilter {
    DecimalNumber,   // options dialog: digits, one "." (or ","), a "-" text is emptied first
    UnsignedNumber,  // calibration readings and temperatures: digits, "-" text emptied first
    SignedNumber,    // calibration angles and slopes: digits and "-" anywhere
    ScaleName,       // scale names: three Latin-1 letters or digits, upper-cased, beep on a fourth
    ScaleValue,      // scale values: five digits, beep on a sixth
};

// The keys a filter sees: a typed character, or one of these.
namespace keys {
inline constexpr char Backspace = '\b';
inline constexpr char Enter = '\r';
inline constexpr char Escape = '\x1b';
} // namespace keys

struct TypedKey {
    char ch = 0;            // the character typed (keys::Backspace, keys::Escape, ...)
    bool clipboard = false; // Copy, Cut or Paste by its key sequence (ch unused)
};

// A one-line field as the filter sees it: the text in Latin-1 (one byte a character, as the
// block keeps it; the views give any other character as '?') and the selection (or the cursor
// when the selection is empty).
struct FieldText {
    std::string text;
    std::size_t selectionStart = 0;
    std::size_t selectionLength = 0;
};

struct KeyVerdict {
    bool pass = false; // the key goes on into the field (replacing any selection as usual)
    char ch = 0;       // what it types there (upper-cased for scale names)
    bool beep = false; // the system's default beep
};

// Applies the filter to one key; field is edited in place where the filter edits it first.
// A decimal field takes "," as "." (a keyboard whose decimal key types a comma), under the same
// rule; the text keeps ".".
KeyVerdict filterKey(KeyFilter filter, FieldText& field, TypedKey key);

// What a key is before a field's rules see it.
enum class KeyKind {
    Typed,      // a character, Backspace, Enter or Escape
    Clipboard,  // Copy, Cut or Paste by its key sequence
    SelectAll,  // Ctrl+A
    Navigation, // Tab, Shift+Tab, arrows, Home, End, Delete, ...: never a typed character
};
// A key that types ch: any control character but Backspace, Enter and Escape (Tab, a Ctrl
// combination) is no typed character but navigation, left to the toolkit.
KeyKind kindOfTyped(char ch);

// What a one-line field does with a key.
struct FieldKeyOutcome {
    enum class Action {
        Toolkit, // the toolkit handles the key as it always does (move the focus, the cursor)
        Swallow, // nothing more happens (the field's text and selection are as field says)
        Type,    // ch goes into the field in place of its selection
    };
    Action action = Action::Swallow;
    char ch = 0;
    bool beep = false;
};

// The rules of a dialog's one-line field for one key, filter or none (a field without one):
// navigation goes to the toolkit; Ctrl+A selects the whole text; Escape empties the field;
// Enter never types (the filter may empty the field first: Enter in a "-" text empties it as any
// key does); the rest goes through the filter, and without one to the toolkit. field is edited
// in place; the view shows its text and selection when they changed.
FieldKeyOutcome fieldKey(std::optional<KeyFilter> filter, FieldText& field, KeyKind kind,
                         char ch = 0);

// What a one-line field does with a key that passed: Backspace deletes the selection or the
// character before the cursor, any other character replaces the selection. The views leave
// this to the toolkit; the tests use it to type into a field.
void applyKey(FieldText& field, const KeyVerdict& verdict);

} // namespace tessel
