#include "win32/EditKeys.h"

#include "support/Win32Text.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace tessel::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr wchar_t kCopy = 0x03, kPaste = 0x16, kCut = 0x18, kEscape = 0x1B;

bool editable(HWND edit) {
    return IsWindowEnabled(edit) && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0;
}

std::wstring wideText(HWND edit) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Replaces the whole text as an edit would (so the owner hears EN_CHANGE), cursor at caret.
void replaceText(HWND edit, const std::string& text, std::size_t caret) {
    const std::wstring wide = wideFromUtf8(text);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    const auto at = static_cast<WPARAM>(wideFromUtf8(text.substr(0, caret)).size());
    SendMessageW(edit, EM_SETSEL, at, static_cast<LPARAM>(at));
}

// The filter sees the text as UTF-8 and the selection in bytes; the field counts UTF-16 units.
FieldText fieldOf(HWND edit) {
    const std::wstring wide = wideText(edit);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto bytes = [&wide](DWORD units) {
        return utf8FromWide(wide.substr(0, std::min<std::size_t>(units, wide.size()))).size();
    };
    return {utf8FromWide(wide), bytes(start), bytes(end) - bytes(start)};
}

LRESULT typed(HWND edit, const std::optional<KeyFilter>& filter, WPARAM wParam, LPARAM lParam) {
    const auto c = static_cast<wchar_t>(wParam);
    if (c == L'\r' || c == L'\n') return 0; // one-line fields
    if (!filter) {
        if (c != kEscape) return DefSubclassProc(edit, WM_CHAR, wParam, lParam);
        replaceText(edit, {}, 0);
        return 0;
    }
    const bool clipboard = c == kCopy || c == kPaste || c == kCut;
    // Beyond ASCII no filter takes a character: it stands in as one they all refuse.
    const char ch = clipboard ? '\0' : c < 0x80 ? static_cast<char>(c) : '\x7f';
    FieldText field = fieldOf(edit);
    const std::string before = field.text;
    const KeyVerdict verdict = filterKey(*filter, field, {ch, clipboard});
    if (field.text != before) replaceText(edit, field.text, field.selectionStart);
    if (verdict.beep) MessageBeep(MB_OK);
    if (!verdict.pass || c == kEscape) return 0;
    if (clipboard || verdict.ch == ch) return DefSubclassProc(edit, WM_CHAR, wParam, lParam);
    return DefSubclassProc(edit, WM_CHAR, static_cast<unsigned char>(verdict.ch), lParam);
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
    case WM_CHAR:
        if (editable(edit)) return typed(edit, *filter, wParam, lParam);
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
