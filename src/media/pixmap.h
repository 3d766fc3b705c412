#pragma once
// Decoded pixels, kept for a picture's whole life (collision reads them, textures are made from
// them).

#include <cstdint>
#include <vector>

namespace media {

enum class PixelFormat {
  grey8,   // 1 byte: grey
  rgb8,    // 3 bytes: red, green, blue
  rgba8,   // 4 bytes: red, green, blue, alpha
  alpha8,  // 1 byte: alpha of a white pixel (glyph coverage)
};

inline int bytes_per_pixel(PixelFormat f) {
  switch (f) {
    case PixelFormat::rgb8:
      return 3;
    case PixelFormat::rgba8:
      return 4;
    default:
      return 1;
  }
}

struct TPixmap {
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes per row
  PixelFormat format = PixelFormat::rgba8;
  std::vector<std::uint8_t> pixels;

  TPixmap() = default;
  TPixmap(int w, int h, PixelFormat f)
      : width(w),
        height(h),
        pitch(w * bytes_per_pixel(f)),
        format(f),
        pixels(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(h)) {}

  bool has_alpha() const { return format == PixelFormat::rgba8 || format == PixelFormat::alpha8; }
  const std::uint8_t* row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * pitch;
  }
  std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * pitch; }

  // The pixel as red, green, blue, alpha, whatever the format.
  struct Rgba {
    std::uint8_t r, g, b, a;
  };
  Rgba rgba(int x, int y) const {
    const std::uint8_t* p = row(y) + x * bytes_per_pixel(format);
    switch (format) {
      case PixelFormat::grey8:
        return {p[0], p[0], p[0], 255};
      case PixelFormat::rgb8:
        return {p[0], p[1], p[2], 255};
      case PixelFormat::rgba8:
        return {p[0], p[1], p[2], p[3]};
      case PixelFormat::alpha8:
        return {255, 255, 255, p[0]};
    }
    return {0, 0, 0, 0};
  }
};

}  // namespace media
