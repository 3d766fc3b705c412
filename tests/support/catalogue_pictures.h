#pragma once
// Pictures for the program's catalogue without the game folder: every picture entry gets a
// small picture of its own colour, so a draw in the log can be traced back to its entry.

#include <cstdint>

#include "media/image.h"

namespace test_support {

// Fills every picture entry of the catalogue; no two share a colour. Sounds are left out.
void fill_catalogue_pictures(int width = 8, int height = 8);

// A picture of one colour (0xRRGGBB, opaque).
media::Image solid_picture(int width, int height, std::uint32_t rgb);

}  // namespace test_support
