#include "png_io.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace asset {

namespace {

[[noreturn]] void fail(const std::string& path, const char* what) {
  throw std::runtime_error(path + ": " + what);
}

png_image fresh_png_image() {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  return image;
}

}  // namespace

RgbaImage read_png(const std::string& path) {
  png_image png = fresh_png_image();
  if (!png_image_begin_read_from_file(&png, path.c_str())) fail(path, png.message);
  png.format = PNG_FORMAT_RGBA;
  RgbaImage image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    fail(path, png.message);
  }
  return image;
}

void write_png(const std::string& path, const RgbaImage& image) {
  png_image png = fresh_png_image();
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  if (image.pixels.size() != PNG_IMAGE_SIZE(png))
    fail(path, "pixel buffer does not match the size");
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
    fail(path, png.message);
  }
}

RgbaImage mirrored_left_right(const RgbaImage& image) {
  RgbaImage result = image;
  const std::size_t row_bytes = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* source = image.pixels.data() + y * row_bytes;
    std::uint8_t* target = result.pixels.data() + y * row_bytes;
    for (int x = 0; x < image.width; ++x) {
      std::copy_n(source + x * 4, 4, target + (image.width - 1 - x) * 4);
    }
  }
  return result;
}

}  // namespace asset
