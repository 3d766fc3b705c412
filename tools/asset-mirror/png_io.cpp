#include "png_io.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

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

// 8-bit rows as they are stored, 3 (RGB) or 4 (RGBA) bytes a pixel.
struct StoredRows {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::vector<std::uint8_t> bytes;
};

// libpng's side of one file, let go of whatever happens. libpng reports errors by longjmp, so
// the functions that set its jump point keep everything with a destructor here, in the caller.
struct PngFile {
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  bool writing = false;
  std::vector<png_bytep> rows;

  PngFile(const std::string& path, bool write) : writing(write) {
    file = std::fopen(path.c_str(), write ? "wb" : "rb");
    png = write ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)
                : png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png) info = png_create_info_struct(png);
  }
  PngFile(const PngFile&) = delete;
  PngFile& operator=(const PngFile&) = delete;
  ~PngFile() {
    if (writing) {
      png_destroy_write_struct(&png, info ? &info : nullptr);
    } else if (png) {
      png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    if (file) std::fclose(file);
  }

  // What stands in the way of using it, or null.
  const char* unusable() const {
    if (!file) return writing ? "cannot be written" : "cannot be opened";
    return info ? nullptr : "out of memory";
  }

  void point_rows_at(std::uint8_t* bytes, int width, int height, int channels) {
    rows.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      rows[static_cast<std::size_t>(y)] =
          bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * channels;
    }
  }
};

// Null when all went well, else what was wrong.
const char* read_stored_rows(PngFile& f, StoredRows& out) {
  if (setjmp(png_jmpbuf(f.png))) return "not a PNG that can be read";
  png_init_io(f.png, f.file);
  png_read_info(f.png, f.info);
  const int colour = png_get_color_type(f.png, f.info);
  if (png_get_bit_depth(f.png, f.info) != 8 ||
      png_get_interlace_type(f.png, f.info) != PNG_INTERLACE_NONE ||
      (colour != PNG_COLOR_TYPE_RGB && colour != PNG_COLOR_TYPE_RGB_ALPHA) ||
      png_get_valid(f.png, f.info, PNG_INFO_tRNS)) {
    return "not an 8-bit RGB or RGBA picture without interlacing or a transparency chunk";
  }
  out.width = static_cast<int>(png_get_image_width(f.png, f.info));
  out.height = static_cast<int>(png_get_image_height(f.png, f.info));
  out.channels = colour == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
  out.bytes.resize(static_cast<std::size_t>(out.width) * out.height * out.channels);
  f.point_rows_at(out.bytes.data(), out.width, out.height, out.channels);
  png_read_image(f.png, f.rows.data());
  png_read_end(f.png, nullptr);
  return nullptr;
}

StoredRows read_stored(const std::string& path) {
  PngFile f(path, false);
  if (const char* wrong = f.unusable()) fail(path, wrong);
  StoredRows stored;
  if (const char* wrong = read_stored_rows(f, stored)) fail(path, wrong);
  return stored;
}

constexpr int best_compression = 9;

bool write_unfiltered_rows(PngFile& f, const StoredRows& picture) {
  if (setjmp(png_jmpbuf(f.png))) return false;
  png_init_io(f.png, f.file);
  png_set_IHDR(f.png, f.info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), 8,
               picture.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(f.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(f.png, best_compression);
  png_write_info(f.png, f.info);
  png_write_image(f.png, f.rows.data());
  png_write_end(f.png, nullptr);
  return true;
}

void write_unfiltered(const std::string& path, StoredRows& picture) {
  PngFile f(path, true);
  if (const char* wrong = f.unusable()) fail(path, wrong);
  f.point_rows_at(picture.bytes.data(), picture.width, picture.height, picture.channels);
  if (!write_unfiltered_rows(f, picture)) fail(path, "could not be encoded");
  std::FILE* file = std::exchange(f.file, nullptr);
  if (std::fclose(file) != 0) fail(path, "could not be written");
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
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
    fail(path, "pixel buffer does not match the size");
  }
  StoredRows picture{image.width, image.height, 4, image.pixels};
  write_unfiltered(path, picture);
}

void pack_png(const std::string& source, const std::string& target) {
  StoredRows picture = read_stored(source);
  write_unfiltered(target, picture);
  const StoredRows packed = read_stored(target);
  if (packed.channels != picture.channels || packed.bytes != picture.bytes) {
    fail(target, "came out with other pixels than its source");
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
