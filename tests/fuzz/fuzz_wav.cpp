// The WAV decoder on arbitrary bytes: it must refuse or decode, never read outside the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/decode/sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto sample = media::detail::decode_wav(data, size);
  if (sample && sample->bytes.size() !=
                    sample->frames * static_cast<std::size_t>(sample->bytes_per_frame())) {
    std::abort();
  }
  return 0;
}
