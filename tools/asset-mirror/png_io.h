// Reading and writing the RGBA PNGs the data build passes between its steps.
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

// Both throw std::runtime_error naming the file and what went wrong.
RgbaImage read_png(const std::string& path);
void write_png(const std::string& path, const RgbaImage& image);

RgbaImage mirrored_left_right(const RgbaImage& image);

}  // namespace asset
