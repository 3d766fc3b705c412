#pragma once
// A whole level drawn small with the game's own pictures, for looking levels over by eye: the
// world the game builds from the cells, each record drawn where play draws it, the cells that
// play cannot show (death zones, exits, the hero's start, the bottom line, and codes that build
// nothing) marked in colour, the line below which a falling hero dies, and a legend.

#include <string>

#include "level_text.h"
#include "media/text.h"

namespace levels {

struct OverviewSize {
  int width = 0;
  int height = 0;
};

// Opens the headless display at the overview's size and draws the part of the level that holds
// something, `shrink` world pixels to one pixel (1...16), then presents it. The pictures come
// from the program's catalogue, which must be loaded; entries without a picture are left out.
// The texts are in `font` (none: the built-in one). Throws std::runtime_error for a shrink out
// of range or an overview too large to draw.
OverviewSize draw_overview(const Grid& grid, const std::string& title, int shrink,
                           const media::Font& font = nullptr);

}  // namespace levels
