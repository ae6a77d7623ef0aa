#include "win32/WindowText.h"

#include "support/Win32Text.h"

namespace tessel::win32 {

std::string textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return utf8FromWide(text);
}

void setText(HWND window, std::string_view utf8) {
    if (textOf(window) == utf8) return; // no repaint, no change notice
    const std::wstring text = wideFromUtf8(utf8);
    SetWindowTextW(window, text.c_str());
}

std::string withCrLf(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

} // namespace tessel::win32
