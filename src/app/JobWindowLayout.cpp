#include "app/WindowLayout.h"

#include <algorithm>

namespace tessel {

namespace {

using K = ControlKind;
using F = ControlRow::Flag;

constexpr Font kPaneFont{FontFace::Fixed, 12, false};

// The compact layout of a job without block pane: the log pane takes the pane's place and more.
constexpr int kCompactNarrowing = 161;
constexpr int kCompactLogShift = 261;
constexpr int kCompactLogWidening = 100;

constexpr const char* kButtons[] = {"bProgNo", "bProgYes", "bProgCancel", "bProgOk"};

// The progress bar and the four buttons are hidden until a job shows them.
WindowLayout designLayout() {
    WindowLayout w{.name = "TfProgramChip",
                   .caption = "Read/Programming Chip",
                   .frame = WindowLayout::Frame::Dialog,
                   .clientWidth = 632,
                   .clientHeight = 343,
                   .font = {FontFace::Design, 11, false}};
    w.rows = {
        {.name = "reVcbDisplay", .kind = K::RichText, .place = {8, 8, 255, 310},
         .font = kPaneFont},
        {.name = "reProg", .kind = K::RichText, .place = {275, 8, 306, 310}, .font = kPaneFont,
         .flags = F::WrapLines},
        {.name = "pbProgrammingProgress", .kind = K::ProgressBar, .place = {275, 325, 306, 12},
         .flags = F::Hidden},
        {.name = "bProgNo", .kind = K::Button, .place = {586, 72, 42, 50}, .caption = "No",
         .flags = F::Hidden},
        {.name = "bProgYes", .kind = K::Button, .place = {586, 136, 42, 50}, .caption = "Yes",
         .flags = F::Hidden},
        {.name = "bProgCancel", .kind = K::Button, .place = {586, 200, 42, 50},
         .caption = "Cancel", .flags = F::Hidden},
        {.name = "bProgOk", .kind = K::Button, .place = {586, 264, 42, 50}, .caption = "OK",
         .flags = F::Hidden},
    };
    return w;
}

} // namespace

WindowLayout jobWindowLayout(JobLayoutMode mode) {
    WindowLayout w = designLayout();
    ControlRow& blockPane = w.row("reVcbDisplay");
    ControlRow& log = w.row("reProg");
    ControlRow& progress = w.row("pbProgrammingProgress");
    switch (mode) {
    case JobLayoutMode::Design: break;
    case JobLayoutMode::Narrow: {
        // The window closes up over the block pane.
        const int shift = blockPane.place.width;
        w.clientWidth -= shift;
        for (ControlRow& row : w.rows)
            if (&row != &blockPane) row.place.left -= shift;
        break;
    }
    case JobLayoutMode::Compact:
        w.clientWidth -= kCompactNarrowing;
        log.place.left -= kCompactLogShift;
        log.place.width += kCompactLogWidening;
        progress.place.left = log.place.left;
        progress.place.width = log.place.width;
        for (const char* button : kButtons) w.row(button).place.left -= kCompactNarrowing;
        break;
    }
    if (mode != JobLayoutMode::Design) blockPane.flags |= F::Hidden;
    return w;
}

LineLook lineLook(LineStyle style) {
    switch (style) {
    case LineStyle::Plain: break;
    case LineStyle::Error: return {Colour::Red, true, false};
    case LineStyle::Progress: return {Colour::Blue, false, true};
    case LineStyle::Success: return {Colour::Green, false, false};
    }
    return {Colour::Default, false, false};
}

WindowLayout jobWindowLayout(JobLayoutMode mode, int clientWidth, int clientHeight) {
    WindowLayout w = jobWindowLayout(mode);
    const int dx = std::max(0, clientWidth - w.clientWidth);
    const int dy = std::max(0, clientHeight - w.clientHeight);
    w.clientWidth += dx;
    w.clientHeight += dy;
    ControlRow& blockPane = w.row("reVcbDisplay");
    ControlRow& log = w.row("reProg");
    ControlRow& progress = w.row("pbProgrammingProgress");
    // With the block pane shown the two panes share the extra width; otherwise the log takes it.
    const int blockShare = blockPane.has(ControlRow::Hidden) ? 0 : dx / 2;
    blockPane.place.width += blockShare;
    blockPane.place.height += dy;
    log.place.left += blockShare;
    log.place.width += dx - blockShare;
    log.place.height += dy;
    progress.place.left = log.place.left;
    progress.place.width = log.place.width;
    progress.place.top += dy;
    for (const char* button : kButtons) w.row(button).place.left += dx;
    return w;
}

} // namespace tessel
