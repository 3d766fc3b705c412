// PNG pictures through libpng, reduced to 8-bit grey, RGB or RGBA.
//
// libpng reports errors by longjmp. Everything with a destructor lives in PngJob, which the
// caller owns, so a jump out of the decoding function skips no destructor.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "media/decode/image_decode.h"

namespace media::detail {
namespace {

struct PngJob {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t pos = 0;
  png_structp png = nullptr;
  png_infop info = nullptr;
  TPixmap pixmap;
  std::vector<png_bytep> rows;

  PngJob(const std::uint8_t* d, std::size_t s) : data(d), size(s) {}
  PngJob(const PngJob&) = delete;
  PngJob& operator=(const PngJob&) = delete;
  ~PngJob() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

void read_from_memory(png_structp png, png_bytep out, png_size_t count) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (count > job->size - job->pos) png_error(png, "picture ends early");
  std::memcpy(out, job->data + job->pos, count);
  job->pos += count;
}

// A damaged picture is an ordinary outcome (LoadImage gives none), not worth a word on stderr.
[[noreturn]] void jump_back(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void ignore_warning(png_structp, png_const_charp) {}

// Of the optional chunks only tRNS (kept by libpng) changes the pixels we ask for; text, colour
// profiles, background colours and the rest are skipped unread. libpng would otherwise reserve
// and clear the whole length a damaged text chunk declares (a gigabyte from a 57-byte file) before
// finding that the file ends, and inflate a compressed text or profile chunk of any size.
void skip_unused_chunks(png_structp png) {
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
}

// Every PNG variant ends up as 8-bit grey, RGB or RGBA; grey with transparency becomes RGBA
// with the grey value in red, green and blue.
void request_8bit_channels(png_structp png, png_infop info) {
  const int colour = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (depth == 16) png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (transparency) png_set_tRNS_to_alpha(png);
  if (colour == PNG_COLOR_TYPE_GRAY_ALPHA || (colour == PNG_COLOR_TYPE_GRAY && transparency))
    png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

bool format_for_channels(int channels, PixelFormat& format) {
  switch (channels) {
    case 1:
      format = PixelFormat::grey8;
      return true;
    case 3:
      format = PixelFormat::rgb8;
      return true;
    case 4:
      format = PixelFormat::rgba8;
      return true;
    default:
      return false;
  }
}

bool run_png(PngJob& job) {
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jump_back, ignore_warning);
  if (!job.png) return false;
  job.info = png_create_info_struct(job.png);
  if (!job.info) return false;
  if (setjmp(png_jmpbuf(job.png))) return false;

  png_set_read_fn(job.png, &job, read_from_memory);
  png_set_user_limits(job.png, max_picture_side, max_picture_side);
  skip_unused_chunks(job.png);
  png_read_info(job.png, job.info);
  const png_uint_32 width = png_get_image_width(job.png, job.info);
  const png_uint_32 height = png_get_image_height(job.png, job.info);
  if (!picture_size_acceptable(width, height)) return false;

  request_8bit_channels(job.png, job.info);
  PixelFormat format;
  if (png_get_bit_depth(job.png, job.info) != 8 ||
      !format_for_channels(png_get_channels(job.png, job.info), format))
    return false;
  job.pixmap = TPixmap(static_cast<int>(width), static_cast<int>(height), format);
  if (png_get_rowbytes(job.png, job.info) != static_cast<png_size_t>(job.pixmap.pitch))
    return false;
  job.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) job.rows[y] = job.pixmap.row(static_cast<int>(y));
  png_read_image(job.png, job.rows.data());
  return true;
}

}  // namespace

std::optional<TPixmap> decode_png(const std::uint8_t* data, std::size_t size) {
  PngJob job(data, size);
  if (!run_png(job)) return std::nullopt;
  return std::move(job.pixmap);
}

}  // namespace media::detail
