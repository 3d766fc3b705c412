#include "support/picture_writer.h"

#include <png.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

namespace test_support {
namespace {

void append_to_bytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void no_flush(png_structp) {}

int samples_per_pixel(PngColour colour) {
  switch (colour) {
    case PngColour::grey:
      return 1;
    case PngColour::palette:
      return 1;
    case PngColour::grey_alpha:
      return 2;
    case PngColour::rgb:
      return 3;
    case PngColour::rgba:
      return 4;
  }
  return 1;
}

void write_transparency(png_structp png, png_infop info, const PngPicture& p) {
  if (!p.palette_alpha.empty()) {
    png_set_tRNS(png, info, p.palette_alpha.data(), static_cast<int>(p.palette_alpha.size()),
                 nullptr);
  } else if (p.see_through) {
    png_color_16 c{};
    c.gray = static_cast<png_uint_16>((*p.see_through)[0]);
    c.red = static_cast<png_uint_16>((*p.see_through)[0]);
    c.green = static_cast<png_uint_16>((*p.see_through)[1]);
    c.blue = static_cast<png_uint_16>((*p.see_through)[2]);
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
}

// libpng reports errors by longjmp: everything with a destructor stays in the caller's writer.
struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Bytes out;
  std::vector<png_color> palette;
  std::vector<png_bytep> rows;
  PngWriter() = default;
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;
  ~PngWriter() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  }
};

bool write_png(PngWriter& w, const PngPicture& p) {
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!w.png) return false;
  w.info = png_create_info_struct(w.png);
  if (!w.info) return false;
  if (setjmp(png_jmpbuf(w.png))) return false;
  png_set_write_fn(w.png, &w.out, append_to_bytes, no_flush);
  png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height),
               p.bit_depth, static_cast<int>(p.colour),
               p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!w.palette.empty())
    png_set_PLTE(w.png, w.info, w.palette.data(), static_cast<int>(w.palette.size()));
  write_transparency(w.png, w.info, p);
  png_write_info(w.png, w.info);
  png_write_image(w.png, w.rows.data());
  png_write_end(w.png, nullptr);
  return true;
}

}  // namespace

PngPicture png_picture(int width, int height, PngColour colour, int bit_depth, Bytes rows) {
  PngPicture p;
  p.width = width;
  p.height = height;
  p.colour = colour;
  p.bit_depth = bit_depth;
  p.rows = std::move(rows);
  return p;
}

Bytes encode_png(const PngPicture& p) {
  const std::size_t stride =
      (static_cast<std::size_t>(p.width) * samples_per_pixel(p.colour) * p.bit_depth + 7) / 8;
  if (p.rows.size() != stride * static_cast<std::size_t>(p.height))
    throw std::invalid_argument("PNG rows do not match the picture's size");
  PngWriter writer;
  for (const auto& c : p.palette) writer.palette.push_back({c[0], c[1], c[2]});
  for (int y = 0; y < p.height; ++y)
    writer.rows.push_back(const_cast<png_bytep>(p.rows.data()) +
                          stride * static_cast<std::size_t>(y));
  if (!write_png(writer, p)) throw std::runtime_error("libpng could not write the picture");
  return std::move(writer.out);
}

Bytes encode_png(int width, int height, int channels, const Bytes& pixels) {
  static const PngColour by_channels[] = {PngColour::grey, PngColour::grey_alpha, PngColour::rgb,
                                          PngColour::rgba};
  return encode_png(png_picture(width, height, by_channels[channels - 1], 8, pixels));
}

namespace {

Bytes compress_jpeg(int width, int height, int channels, const Bytes& pixels, int quality,
                    const std::vector<jpeg_scan_info>& scans) {
  if (pixels.size() != static_cast<std::size_t>(width) * height * channels)
    throw std::invalid_argument("JPEG pixels do not match the picture's size");
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = channels;
  cinfo.in_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (!scans.empty()) {
    cinfo.scan_info = scans.data();
    cinfo.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data()) +
                   static_cast<std::size_t>(cinfo.next_scanline) * width * channels;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace

Bytes encode_jpeg(int width, int height, int channels, const Bytes& pixels, int quality) {
  return compress_jpeg(width, height, channels, pixels, quality, {});
}

Bytes encode_progressive_grey_jpeg(int width, int height, const Bytes& pixels, int steps) {
  std::vector<jpeg_scan_info> scans;
  for (int k = 0; k < 64; ++k) {
    scans.push_back({1, {0}, k, k, 0, steps});
    for (int al = steps - 1; al >= 0; --al) scans.push_back({1, {0}, k, k, al + 1, al});
  }
  return compress_jpeg(width, height, 1, pixels, 90, scans);
}

Bytes solid_pixels(int width, int height, const std::vector<unsigned char>& pixel) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(width) * height * pixel.size());
  for (int i = 0; i < width * height; ++i) out.insert(out.end(), pixel.begin(), pixel.end());
  return out;
}

}  // namespace test_support
