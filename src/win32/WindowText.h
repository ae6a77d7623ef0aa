#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessel::win32 {

// A window's or control's text as UTF-8 (the program's texts), through the wide calls. A text
// set as it already is stays untouched (no repaint, no EN_CHANGE).
std::string textOf(HWND window);
void setText(HWND window, std::string_view utf8);
// A text with every line end as CR LF, as multi-line edit controls want it.
std::string withCrLf(std::string_view text);

} // namespace tessel::win32
