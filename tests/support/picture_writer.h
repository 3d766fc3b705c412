#pragma once
// Small PNG and JPEG files made in memory, for tests that need pictures of an exact shape.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace test_support {

using Bytes = std::vector<unsigned char>;

// PNG colour types, as numbered in the file format.
enum class PngColour { grey = 0, rgb = 2, palette = 3, grey_alpha = 4, rgba = 6 };

struct PngPicture {
  int width = 0;
  int height = 0;
  PngColour colour = PngColour::rgba;
  int bit_depth = 8;
  // Rows exactly as the file stores them: packed below 8 bits, big-endian 16-bit samples.
  Bytes rows;
  std::vector<std::array<unsigned char, 3>> palette;
  Bytes palette_alpha;                            // tRNS for palette pictures
  std::optional<std::array<int, 3>> see_through;  // tRNS colour for grey ([0]) or RGB pictures
  bool interlaced = false;
};

// A picture without palette or transparency, to be completed by the caller where needed.
PngPicture png_picture(int width, int height, PngColour colour, int bit_depth, Bytes rows);

Bytes encode_png(const PngPicture& picture);

// 8-bit pictures from pixels in memory: 1 (grey), 2 (grey+alpha), 3 (RGB) or 4 (RGBA) channels.
Bytes encode_png(int width, int height, int channels, const Bytes& pixels);

// A JPEG of 1 (grey), 3 (RGB) or 4 (CMYK) channels.
Bytes encode_jpeg(int width, int height, int channels, const Bytes& pixels, int quality = 95);

// A progressive grey JPEG that sends each of the 64 coefficients in steps + 1 scans of rising
// precision (steps 0...10): 64 x (steps + 1) scans in all.
Bytes encode_progressive_grey_jpeg(int width, int height, const Bytes& pixels, int steps);

// A picture of one flat colour, for tests that only care about size or shape.
Bytes solid_pixels(int width, int height, const std::vector<unsigned char>& pixel);

}  // namespace test_support
