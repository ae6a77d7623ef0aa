#pragma once

#include "app/WindowLayout.h"

#include <string>
#include <vector>

namespace tessel {

// The project's logo as shapes, so that every front end draws the same picture at any size: a
// field swath of green lines running to a vanishing point, a light bar of tiles with the centre
// ones lit, and the name below it. Coordinates are pixels of a picture of the given size.
struct Logo {
    struct Line {
        double x1, y1, x2, y2;
    };
    struct Tile {
        double left, top, width, height;
        Rgb colour;
    };
    Rgb background{};
    Rgb lineColour{};
    int lineWidth = 0;
    std::vector<Line> lines;
    int tileRadius = 0;
    std::vector<Tile> tiles;
    std::string name;
    double nameTop = 0, nameHeight = 0; // the band the name is centred in, full width
    int namePixels = 0;                 // bold, letters spaced by nameSpacing pixels
    int nameSpacing = 0;
    Rgb nameColour{};
};

Logo tesselLogo(int width, int height);

} // namespace tessel
