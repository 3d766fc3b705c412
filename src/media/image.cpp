// Pictures: loading, the mask colour, handles and drawing.

#include "media/image.h"

#include <cstring>

#include "media/decode/image_decode.h"
#include "media/detail/game_file.h"
#include "media/detail/internal.h"
#include "media/files.h"

namespace media {
namespace {

struct ImageSettings {
  int auto_flags = image_masked | image_filtered;
  int mask_r = 0, mask_g = 0, mask_b = 0;
};

ImageSettings g_settings;

bool is_mask_pixel(const TPixmap::Rgba& p, int r, int g, int b) {
  return p.r == r && p.g == g && p.b == b;
}

// The colour a see-through pixel keeps: the average of the solid pixels around it, so that
// filtering at the edge of a shape does not bleed the mask colour into it.
void average_solid_neighbours(const TPixmap& src, int x, int y, std::uint8_t* out) {
  int sum_r = 0, sum_g = 0, sum_b = 0, count = 0;
  for (int ny = y - 1; ny <= y + 1; ++ny) {
    if (ny < 0 || ny >= src.height) continue;
    for (int nx = x - 1; nx <= x + 1; ++nx) {
      if (nx < 0 || nx >= src.width) continue;
      const TPixmap::Rgba n = src.rgba(nx, ny);
      if (is_mask_pixel(n, g_settings.mask_r, g_settings.mask_g, g_settings.mask_b)) continue;
      sum_r += n.r;
      sum_g += n.g;
      sum_b += n.b;
      ++count;
    }
  }
  out[0] = static_cast<std::uint8_t>(count ? sum_r / count : 0);
  out[1] = static_cast<std::uint8_t>(count ? sum_g / count : 0);
  out[2] = static_cast<std::uint8_t>(count ? sum_b / count : 0);
}

// One row of a grey (1 byte a pixel) or RGB (3 bytes) picture as RGBA: mask-coloured pixels
// see-through, all others solid. Read straight from the row: this runs over every pixel of the
// full-screen pictures at start-up.
template <int bytes>
void apply_mask_colour_to_row(const TPixmap& src, int y, std::uint8_t* o) {
  static_assert(bytes == 1 || bytes == 3);
  const std::uint8_t* p = src.row(y);
  for (int x = 0; x < src.width; ++x, p += bytes, o += 4) {
    const TPixmap::Rgba c{p[0], p[bytes == 3 ? 1 : 0], p[bytes == 3 ? 2 : 0], 255};
    if (is_mask_pixel(c, g_settings.mask_r, g_settings.mask_g, g_settings.mask_b)) {
      average_solid_neighbours(src, x, y, o);
      o[3] = 0;
    } else {
      o[0] = c.r;
      o[1] = c.g;
      o[2] = c.b;
      o[3] = 255;
    }
  }
}

// A picture without alpha (grey or RGB) becomes RGBA.
TPixmap apply_mask_colour(const TPixmap& src) {
  TPixmap out(src.width, src.height, PixelFormat::rgba8);
  const bool grey = src.format == PixelFormat::grey8;
  for (int y = 0; y < src.height; ++y) {
    if (grey) {
      apply_mask_colour_to_row<1>(src, y, out.row(y));
    } else {
      apply_mask_colour_to_row<3>(src, y, out.row(y));
    }
  }
  return out;
}

bool pixmap_consistent(const TPixmap& p) {
  return p.width > 0 && p.height > 0 && p.pitch >= p.width * bytes_per_pixel(p.format) &&
         p.pixels.size() >= static_cast<std::size_t>(p.pitch) * static_cast<std::size_t>(p.height);
}

bool has_frame(const Image& image, int frame) {
  return image && frame >= 0 && frame < static_cast<int>(image->pixmaps.size()) &&
         frame < static_cast<int>(image->frames.size());
}

}  // namespace

Image image_from_pixmap(TPixmap pixmap, int flags) {
  if (!pixmap_consistent(pixmap)) return nullptr;
  auto image = std::make_shared<TImage>();
  image->width = pixmap.width;
  image->height = pixmap.height;
  image->flags = flags;
  image->mask_r = g_settings.mask_r;
  image->mask_g = g_settings.mask_g;
  image->mask_b = g_settings.mask_b;
  if ((flags & image_masked) && !pixmap.has_alpha()) pixmap = apply_mask_colour(pixmap);
  image->pixmaps.push_back(std::move(pixmap));
  image->frames.resize(1);
  return image;
}

Image LoadImage(const std::string& path, int flags) {
  if (flags == -1) flags = g_settings.auto_flags;
  const std::optional<std::vector<std::uint8_t>> bytes =
      detail::read_game_file(map_path(path), detail::max_picture_file_bytes);
  if (!bytes) return nullptr;
  std::optional<TPixmap> pixmap = detail::decode_picture(bytes->data(), bytes->size());
  if (!pixmap) return nullptr;
  return image_from_pixmap(std::move(*pixmap), flags);
}

void AutoImageFlags(int flags) {
  if (flags != -1) g_settings.auto_flags = flags;
}

void SetMaskColor(int r, int g, int b) {
  g_settings.mask_r = r;
  g_settings.mask_g = g;
  g_settings.mask_b = b;
}

void MidHandleImage(const Image& image) {
  if (!image) return;
  image->handle_x = static_cast<float>(image->width) * 0.5f;
  image->handle_y = static_cast<float>(image->height) * 0.5f;
}

int ImageWidth(const Image& image) {
  return image ? image->width : 0;
}
int ImageHeight(const Image& image) {
  return image ? image->height : 0;
}

void DrawImage(const Image& image, float x, float y, int frame) {
  if (!has_frame(image, frame)) return;
  const TDrawState& state = draw_state();
  const float x0 = -image->handle_x;
  const float y0 = -image->handle_y;
  detail::draw_textured_quad(image->pixmaps[frame], image->frames[frame], image->flags, x0, y0,
                             x0 + static_cast<float>(image->width),
                             y0 + static_cast<float>(image->height), x + state.origin_x,
                             y + state.origin_y);
}

namespace detail {

std::optional<TPixmap> decode_picture(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static const std::uint8_t jpeg_signature[3] = {0xFF, 0xD8, 0xFF};
  if (size >= sizeof png_signature && std::memcmp(data, png_signature, sizeof png_signature) == 0)
    return decode_png(data, size);
  if (size >= sizeof jpeg_signature &&
      std::memcmp(data, jpeg_signature, sizeof jpeg_signature) == 0)
    return decode_jpeg(data, size);
  return std::nullopt;
}

void reset_image_state() {
  g_settings = ImageSettings{};
}

}  // namespace detail
}  // namespace media
