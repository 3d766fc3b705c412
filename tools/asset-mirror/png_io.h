// Reading and writing the PNGs the data build passes between its steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace asset {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row-major, 4 bytes per pixel: R, G, B, A
};

// All throw std::runtime_error naming the file and what went wrong.
RgbaImage read_png(const std::string& path);
// Every row unfiltered, at the highest compression: the game decodes such a file in well under
// half the time of one whose rows are filtered, and the flat colours of our pictures pack at
// least as small this way.
void write_png(const std::string& path, const RgbaImage& image);

// Writes `source` again as write_png does, keeping its pixels and its colour type. The source
// must be an 8-bit RGB or RGBA picture, not interlaced, without a transparency chunk (what
// rsvg-convert writes); the target is read back and compared with it before this returns.
void pack_png(const std::string& source, const std::string& target);

RgbaImage mirrored_left_right(const RgbaImage& image);

}  // namespace asset
