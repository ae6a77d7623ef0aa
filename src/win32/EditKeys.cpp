#include "win32/EditKeys.h"

#include <commctrl.h>

#include <string>

namespace tessel::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr wchar_t kSelectAll = 0x01, kCopy = 0x03, kPaste = 0x16, kCut = 0x18;

bool editable(HWND edit) {
    return IsWindowEnabled(edit) && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0;
}

// The rules see Latin-1, one byte a UTF-16 unit (so the field's positions hold as they are);
// a character beyond Latin-1 is one no filter takes.
char latin1(wchar_t c) {
    return c <= 0xFF ? static_cast<char>(c) : '?';
}

FieldText fieldOf(HWND edit) {
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    wide.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, wide.data(), static_cast<int>(wide.size()))));
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    FieldText field;
    for (wchar_t c : wide)
        field.text += latin1(c);
    field.selectionStart = start;
    field.selectionLength = end - start;
    return field;
}

// Replaces the whole text as an edit would (so the owner hears EN_CHANGE), cursor at caret.
void replaceText(HWND edit, const std::string& text, std::size_t caret) {
    std::wstring wide;
    for (char c : text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

// One key under the field's rules; the toolkit's own handling runs as defaultHandling.
LRESULT applyRules(HWND edit, const std::optional<KeyFilter>& filter, KeyKind kind, char ch,
                   UINT message, WPARAM wParam, LPARAM lParam) {
    FieldText field = fieldOf(edit);
    const FieldText before = field;
    const FieldKeyOutcome outcome = fieldKey(filter, field, kind, ch);
    if (field.text != before.text)
        replaceText(edit, field.text, field.selectionStart);
    else if (field.selectionStart != before.selectionStart ||
             field.selectionLength != before.selectionLength)
        SendMessageW(edit, EM_SETSEL, field.selectionStart,
                     static_cast<LPARAM>(field.selectionStart + field.selectionLength));
    if (outcome.beep) MessageBeep(MB_OK);
    switch (outcome.action) {
    case FieldKeyOutcome::Action::Toolkit: return DefSubclassProc(edit, message, wParam, lParam);
    case FieldKeyOutcome::Action::Swallow: return 0;
    case FieldKeyOutcome::Action::Type:
        return DefSubclassProc(edit, WM_CHAR, static_cast<unsigned char>(outcome.ch), lParam);
    }
    return 0;
}

KeyKind kindOfChar(wchar_t c) {
    if (c == kSelectAll) return KeyKind::SelectAll;
    if (c == kCopy || c == kPaste || c == kCut) return KeyKind::Clipboard;
    return kindOfTyped(latin1(c));
}

// Shift+Insert, Ctrl+Insert and Shift+Delete are the clipboard's keys too.
bool clipboardKeyDown(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    return (key == VK_INSERT && (shift || ctrl)) || (key == VK_DELETE && shift && !ctrl);
}

LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR data) {
    auto* filter = reinterpret_cast<std::optional<KeyFilter>*>(data);
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = DefSubclassProc(edit, message, wParam, lParam);
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN &&
            (key->wParam == VK_ESCAPE || key->wParam == VK_RETURN) && editable(edit))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (editable(edit) && clipboardKeyDown(wParam))
            return applyRules(edit, *filter, KeyKind::Clipboard, 0, message, wParam, lParam);
        break;
    case WM_CHAR:
        if (editable(edit)) {
            const auto c = static_cast<wchar_t>(wParam);
            if (c == 0x7F) return 0; // Ctrl+Backspace types no character
            return applyRules(edit, *filter, kindOfChar(c), latin1(c), message, wParam, lParam);
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, editProcedure, id);
        delete filter;
        break;
    default: break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

void filterEditKeys(HWND edit, std::optional<KeyFilter> filter) {
    auto* data = new std::optional<KeyFilter>(filter);
    if (!SetWindowSubclass(edit, editProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(data)))
        delete data;
}

} // namespace tessel::win32
