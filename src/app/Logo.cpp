#include "app/Logo.h"

#include <cstdlib>

namespace tessel {

Logo tesselLogo(int width, int height) {
    const double w = width, h = height;
    Logo logo;
    logo.background = {0, 0, 0};
    logo.lineColour = {40, 150, 60};
    logo.lineWidth = 2;
    for (int i = -6; i <= 6; ++i)
        logo.lines.push_back({w / 2 + i * w / 8, h, w / 2, h * 0.45});
    constexpr int kTiles = 15;
    const double tile = w * 0.8 / kTiles;
    logo.tileRadius = 2;
    for (int i = 0; i < kTiles; ++i) {
        const int off = std::abs(i - kTiles / 2);
        const Rgb colour = off == 0   ? Rgb{60, 220, 80}
                           : off <= 2 ? Rgb{250, 200, 40}
                                      : Rgb{70, 70, 90};
        logo.tiles.push_back({w * 0.1 + i * tile + 1, h * 0.12, tile - 2, h * 0.2, colour});
    }
    logo.name = "TESSEL";
    logo.nameTop = h * 0.5;
    logo.nameHeight = h * 0.4;
    logo.namePixels = static_cast<int>(h * 0.22);
    logo.nameSpacing = 4;
    logo.nameColour = {220, 220, 230};
    return logo;
}

} // namespace tessel
