// Feeds arbitrary bytes to the picture decoder: damaged files must give none, never crash.

#include <cstddef>
#include <cstdint>

#include "media/decode/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<media::TPixmap> picture = media::detail::decode_picture(data, size);
  if (picture) {
    // Touch the last byte so a pixel buffer shorter than its size claims is caught.
    const media::TPixmap& p = *picture;
    volatile std::uint8_t last = p.row(p.height - 1)[p.pitch - 1];
    (void)last;
  }
  return 0;
}
