#include "jpeg_write.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace asset {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> flattened_rgb(const RgbaImage& image) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.width) * image.height * 3);
  for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
    const unsigned alpha = image.pixels[i * 4 + 3];
    for (int c = 0; c < 3; ++c) {
      rgb[i * 3 + c] = static_cast<std::uint8_t>((image.pixels[i * 4 + c] * alpha + 127) / 255);
    }
  }
  return rgb;
}

// libjpeg reports errors through a callback that must not return; turn it into an exception.
[[noreturn]] void throw_jpeg_error(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  throw std::runtime_error(message);
}

void encode(jpeg_compress_struct& info, std::FILE* file, const RgbaImage& image, int quality) {
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> rgb = flattened_rgb(image);
  const std::size_t row_bytes = static_cast<std::size_t>(image.width) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = rgb.data() + info.next_scanline * row_bytes;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
}

}  // namespace

void write_jpeg(const std::string& path, const RgbaImage& image, int quality) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error(path + ": cannot open for writing");
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  errors.error_exit = throw_jpeg_error;
  jpeg_create_compress(&info);
  try {
    encode(info, file.get(), image, quality);
  } catch (const std::runtime_error& error) {
    jpeg_destroy_compress(&info);
    throw std::runtime_error(path + ": " + error.what());
  }
  jpeg_destroy_compress(&info);
  if (std::fflush(file.get()) != 0) throw std::runtime_error(path + ": write failed");
}

}  // namespace asset
