#include "media/detail/png_write.h"

#include <png.h>

namespace media {

bool write_png_rgba(const std::string& path, int width, int height, const std::uint8_t* rgba,
                    int stride) {
  if (width <= 0 || height <= 0 || !rgba) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  // libpng removes a half-written file itself.
  bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgba, stride, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace media
