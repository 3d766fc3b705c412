#pragma once
// Turning the bytes of a picture file into pixels. Media-internal: LoadImage reads the file and
// hands the bytes here; the fuzz target feeds bytes straight in.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "media/pixmap.h"

namespace media::detail {

// Pictures larger than this are refused before anything is allocated for their pixels: no game
// picture comes near it, and a damaged header must not make us reserve gigabytes.
constexpr int max_picture_side = 16384;
constexpr std::int64_t max_picture_pixels = 64 * 1024 * 1024;

inline bool picture_size_acceptable(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= max_picture_side && height <= max_picture_side &&
         width * height <= max_picture_pixels;
}

// PNG or JPEG, recognised by content. Grey, RGB or RGBA pixels; nullopt for anything damaged,
// truncated, oversized or of another kind.
std::optional<TPixmap> decode_picture(const std::uint8_t* data, std::size_t size);

std::optional<TPixmap> decode_png(const std::uint8_t* data, std::size_t size);
std::optional<TPixmap> decode_jpeg(const std::uint8_t* data, std::size_t size);

}  // namespace media::detail
