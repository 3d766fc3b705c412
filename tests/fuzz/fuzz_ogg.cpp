// The Ogg Vorbis decoder on arbitrary bytes: it must refuse or decode, never crash or hang, and
// decoding in two halves must come out exactly as one pass does.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/decode/sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto sample = media::detail::decode_ogg(data, size, 0);
  if (sample && sample->bytes.size() !=
                    sample->frames * static_cast<std::size_t>(sample->bytes_per_frame())) {
    std::abort();
  }
  auto one_pass = media::detail::decode_ogg(data, size, SIZE_MAX);
  if (sample.has_value() != one_pass.has_value()) std::abort();
  if (sample && sample->bytes != one_pass->bytes) std::abort();
  return 0;
}
