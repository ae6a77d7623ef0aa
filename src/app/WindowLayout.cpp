#include "app/WindowLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace tessel {

namespace {

template <typename Rows>
auto findRow(Rows& rows, std::string_view control) {
    return std::find_if(rows.begin(), rows.end(),
                        [&](const ControlRow& r) { return r.name == control; });
}

// A name the window does not declare: a programming error, which stops the program with it.
[[noreturn]] void undeclared(std::string_view window, std::string_view control) {
    std::fprintf(stderr, "tessel: %.*s declares no control named '%.*s'\n",
                 static_cast<int>(window.size()), window.data(), static_cast<int>(control.size()),
                 control.data());
    std::abort();
}

const std::set<std::string, std::less<>>& declaredControls() {
    static const std::set<std::string, std::less<>> names = [] {
        std::set<std::string, std::less<>> all;
        for (const WindowLayout& layout :
             {mainWindowLayout(true), jobWindowLayout(JobLayoutMode::Design), optionsDialogLayout(),
              scalesDialogLayout(), tiltCalibrationLayout(), aboutWindowLayout(),
              instructionsBoxLayout(), historyWindowLayout()})
            for (const ControlRow& row : layout.rows) all.insert(row.name);
        return all;
    }();
    return names;
}

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(const Rgb& rgb) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb.red) + 0.7152 * linear(rgb.green) + 0.0722 * linear(rgb.blue);
}

} // namespace

bool WindowLayout::declares(std::string_view control) const {
    return findRow(rows, control) != rows.end();
}

const ControlRow& WindowLayout::row(std::string_view control) const {
    const auto it = findRow(rows, control);
    if (it == rows.end()) undeclared(name, control);
    return *it;
}

ControlRow& WindowLayout::row(std::string_view control) {
    return const_cast<ControlRow&>(static_cast<const WindowLayout&>(*this).row(control));
}

std::string plainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

bool standsOut(Colour named, const Rgb& background) {
    if (named == Colour::Default) return false;
    const double a = luminance(rgbOf(named)), b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) >= 3.0;
}

bool isDeclaredControl(std::string_view control) {
    return declaredControls().contains(control);
}

void requireDeclared(std::string_view control) {
    if (!isDeclaredControl(control)) undeclared("no window", control);
}

} // namespace tessel
