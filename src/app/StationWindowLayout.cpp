#include "app/StationWindowLayout.h"

#include <algorithm>
#include <vector>

namespace tessel {

namespace {

using K = ControlKind;
using F = ControlRow::Flag;

constexpr int kMargin = 8;
constexpr int kHeader = 84;
constexpr int kPaneWidth = 280;
constexpr int kPaneHeight = 344;
constexpr std::size_t kPanesPerRow = 4;
constexpr int kMinimumWidth = 960;

} // namespace

std::string bayControl(std::size_t bay, std::string_view part) {
    const char* kind = part == "Start" || part == "Cancel" ? "b"
                       : part == "Pane"                    ? "p"
                       : part == "Log"                     ? "re"
                       : part == "Progress"                ? "pb"
                                                           : "l";
    return kind + ("Bay" + std::to_string(bay + 1)) + std::string(part);
}

namespace {

// What a bay's pane holds, placed inside it (inner: the width its rows may take).
std::vector<ControlRow> bayPaneRows(std::size_t i, int inner) {
    return {
        {.name = bayControl(i, "Port"),
         .place = {8, 6, inner, 20},
         .font = {FontFace::Design, 16, true}},
        {.name = bayControl(i, "State"),
         .place = {8, 30, inner, 64},
         .font = {FontFace::Design, 44, true},
         .align = Align::Centre},
        // Two lines for a long reason: a caption of two lines makes a label of several.
        {.name = bayControl(i, "Detail"),
         .place = {8, 98, inner, 50},
         .caption = "\n",
         .font = {FontFace::Design, 20, true},
         .align = Align::Centre},
        {.name = bayControl(i, "Step"), .place = {8, 152, inner, 18}},
        {.name = bayControl(i, "Progress"), .kind = K::ProgressBar, .place = {8, 172, inner, 16}},
        {.name = bayControl(i, "Log"),
         .kind = K::RichText,
         .place = {8, 194, inner, 104},
         .font = {FontFace::Fixed, 11, false},
         .flags = F::NoTabStop | F::WrapLines},
        {.name = bayControl(i, "Start"),
         .kind = K::Button,
         .place = {8, 306, 128, 30},
         .caption = "Start",
         .hint = "Start the unit in this bay",
         .font = {FontFace::Design, 14, true}},
        {.name = bayControl(i, "Cancel"),
         .kind = K::Button,
         .place = {inner - 120, 306, 128, 30},
         .caption = "Cancel",
         .hint = "Cancel this bay's unit"},
    };
}

} // namespace

WindowLayout stationWindowLayout(std::size_t bays) {
    const std::size_t columns = std::clamp<std::size_t>(bays, 1, kPanesPerRow);
    const std::size_t rows = (std::max<std::size_t>(bays, 1) + kPanesPerRow - 1) / kPanesPerRow;
    // The header needs its width whatever the bays: the profile's texts beside the counts in
    // large letters. Fewer bays than a row holds get wider panes.
    const int width =
        std::max(kMargin + static_cast<int>(columns) * (kPaneWidth + kMargin), kMinimumWidth);
    const int paneWidth = (width - kMargin) / static_cast<int>(columns) - kMargin;
    WindowLayout w{.name = "TfStation",
                   .caption = "Production Station",
                   .frame = WindowLayout::Frame::Main,
                   .clientWidth = width,
                   .clientHeight = kHeader + static_cast<int>(rows) * (kPaneHeight + kMargin),
                   .font = {FontFace::Design, 12, false}};
    const int right = w.clientWidth - kMargin;
    const int counts = 520; // "Passed 999   Failed 999   Yield 100.0 %" in large letters
    const int texts = right - counts - 2 * kMargin;
    const Font header{FontFace::Design, 14, false};
    w.rows = {
        {.name = "lStationProfile", .place = {kMargin, 8, texts, 18}, .font = header},
        {.name = "lStationFirmware", .place = {kMargin, 30, texts, 18}, .font = header},
        {.name = "lStationNumbersLeft", .place = {kMargin, 52, texts, 18}, .font = header},
        {.name = "lStationCounts",
         .place = {right - counts, 6, counts, 32},
         .font = {FontFace::Design, 26, true},
         .align = Align::Right},
        {.name = "bStartAll",
         .kind = K::Button,
         .place = {right - 330, 46, 104, 28},
         .caption = "&Start All",
         .hint = "Start every bay that waits for its unit",
         .flags = F::DefaultButton},
        {.name = "bCancelAll",
         .kind = K::Button,
         .place = {right - 217, 46, 104, 28},
         .caption = "&Cancel All",
         .hint = "Cancel the unit in every bay"},
        {.name = "bStationClose",
         .kind = K::Button,
         .place = {right - 104, 46, 104, 28},
         .caption = "Close"},
    };
    for (std::size_t i = 0; i < bays; ++i) {
        const int x = kMargin + static_cast<int>(i % kPanesPerRow) * (paneWidth + kMargin);
        const int y = kHeader + static_cast<int>(i / kPanesPerRow) * (kPaneHeight + kMargin);
        const std::string pane = bayControl(i, "Pane");
        w.rows.push_back({.name = pane, .kind = K::Panel, .place = {x, y, paneWidth, kPaneHeight}});
        for (ControlRow row : bayPaneRows(i, paneWidth - 16)) {
            row.parent = pane;
            w.rows.push_back(std::move(row));
        }
    }
    return w;
}

} // namespace tessel
