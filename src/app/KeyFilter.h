#pragma once

#include <cstddef>
#include <string>

namespace tessel {

// The dialogs' per-field key filters without a toolkit. A view hands over every key that carries
// text (Delete, arrows, Tab, Home and End never reach a filter) and the clipboard keys by their
// key sequence; the filter may edit the field first (empty it, delete its selection) and says
// whether the key then goes into the field, as what character, and whether to beep.
enum class KeyFilter {
    DecimalNumber,   // options dialog: digits, one ".", a text starting with "-" is emptied first
    UnsignedNumber,  // calibration readings and temperatures: digits, "-" text emptied first
    SignedNumber,    // calibration angles and slopes: digits and "-" anywhere
    ScaleName,       // scale names: three letters or digits, upper-cased, beep on a fourth
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

// A one-line field as the filter sees it: the text and the selection (or the cursor when the
// selection is empty).
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
KeyVerdict filterKey(KeyFilter filter, FieldText& field, TypedKey key);

// What a one-line field does with a key that passed: Backspace deletes the selection or the
// character before the cursor, any other character replaces the selection. The views leave
// this to the toolkit; the tests use it to type into a field.
void applyKey(FieldText& field, const KeyVerdict& verdict);

} // namespace tessel
