// JPEG pictures through libjpeg: RGB, or grey for one-component pictures.
//
// libjpeg ends the process on errors unless told otherwise; ours jump back instead. Everything
// with a destructor lives in JpegJob, owned by the caller, so a jump skips no destructor.

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include <csetjmp>

#include "media/decode/image_decode.h"

namespace media::detail {
namespace {

struct ErrorTrap {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is also a pointer to the trap
  std::jmp_buf jump;
  int warnings = 0;
};

struct JpegJob {
  jpeg_decompress_struct cinfo{};
  ErrorTrap trap{};
  jpeg_progress_mgr progress{};
  bool created = false;
  TPixmap pixmap;

  JpegJob() = default;
  JpegJob(const JpegJob&) = delete;
  JpegJob& operator=(const JpegJob&) = delete;
  ~JpegJob() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

ErrorTrap& trap_of(j_common_ptr cinfo) {
  return *reinterpret_cast<ErrorTrap*>(cinfo->err);
}

[[noreturn]] void jump_back(j_common_ptr cinfo) {
  std::longjmp(trap_of(cinfo).jump, 1);
}

// libjpeg treats a file cut short as a warning and fills the rest with grey; for us a picture
// that drew any warning is damaged.
void count_warning(j_common_ptr cinfo, int level) {
  if (level < 0) ++trap_of(cinfo).warnings;
}

void stay_quiet(j_common_ptr) {}

// A progressive picture may carry thousands of tiny scans, each costing a pass over the whole
// picture, so a small file could keep us busy for minutes; real pictures have about ten.
constexpr int max_scans = 500;

void limit_scans(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > max_scans) jump_back(cinfo);
}

bool choose_output(jpeg_decompress_struct& cinfo, PixelFormat& format) {
  if (cinfo.num_components == 1 && cinfo.jpeg_color_space == JCS_GRAYSCALE) {
    cinfo.out_color_space = JCS_GRAYSCALE;
    format = PixelFormat::grey8;
    return true;
  }
  if (cinfo.num_components == 3 &&
      (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB)) {
    cinfo.out_color_space = JCS_RGB;
    format = PixelFormat::rgb8;
    return true;
  }
  return false;  // CMYK, YCCK and stranger layouts are not pictures the game uses
}

bool run_jpeg(JpegJob& job, const std::uint8_t* data, std::size_t size) {
  job.cinfo.err = jpeg_std_error(&job.trap.manager);
  job.trap.manager.error_exit = jump_back;
  job.trap.manager.emit_message = count_warning;
  job.trap.manager.output_message = stay_quiet;
  if (setjmp(job.trap.jump)) return false;

  jpeg_create_decompress(&job.cinfo);
  job.created = true;
  job.progress.progress_monitor = limit_scans;
  job.cinfo.progress = &job.progress;
  jpeg_mem_src(&job.cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&job.cinfo, TRUE) != JPEG_HEADER_OK) return false;
  PixelFormat format;
  if (!picture_size_acceptable(job.cinfo.image_width, job.cinfo.image_height) ||
      !choose_output(job.cinfo, format))
    return false;

  jpeg_start_decompress(&job.cinfo);
  if (job.cinfo.output_components != bytes_per_pixel(format)) return false;
  job.pixmap = TPixmap(static_cast<int>(job.cinfo.output_width),
                       static_cast<int>(job.cinfo.output_height), format);
  while (job.cinfo.output_scanline < job.cinfo.output_height) {
    JSAMPROW row = job.pixmap.row(static_cast<int>(job.cinfo.output_scanline));
    jpeg_read_scanlines(&job.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&job.cinfo);
  return job.trap.warnings == 0;
}

}  // namespace

std::optional<TPixmap> decode_jpeg(const std::uint8_t* data, std::size_t size) {
  JpegJob job;
  if (!run_jpeg(job, data, size)) return std::nullopt;
  return std::move(job.pixmap);
}

}  // namespace media::detail
