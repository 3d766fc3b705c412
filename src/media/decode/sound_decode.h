#pragma once
// Decoding sound files held in memory into samples ready for an audio buffer. Media-internal:
// the fuzz targets and tests call these directly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace media::detail {

// Decoded sound data: 8-bit samples are unsigned, 16-bit ones signed little-endian; stereo
// frames are interleaved left, right.
struct AudioSample {
  int channels = 1;  // 1 or 2
  int bits = 16;     // 8 or 16
  int rate = 0;      // frames per second, at least 1
  std::size_t frames = 0;
  std::vector<std::uint8_t> bytes;  // frames * channels * bits / 8

  int bytes_per_frame() const { return channels * bits / 8; }
};

// A PCM WAV file; nullopt when it is not one we play.
std::optional<AudioSample> decode_wav(const std::uint8_t* data, std::size_t size);
// Ogg Vorbis files of at least this many frames (6 s at 44.1 kHz) are decoded in two halves at
// once, with the same result as one pass.
constexpr std::size_t ogg_split_from_frames = std::size_t{1} << 18;

// An Ogg Vorbis file decoded completely to 16-bit samples; nullopt when it is not one or it is
// damaged. `split_from` is there for the tests that compare the two ways of decoding.
std::optional<AudioSample> decode_ogg(const std::uint8_t* data, std::size_t size,
                                      std::size_t split_from = ogg_split_from_frames);

// The rates a sound may declare; anything else is a damaged header, not a sound.
constexpr int min_sample_rate = 1;
constexpr int max_sample_rate = 384000;
// Audio buffers are sized with a signed 32-bit count of bytes.
constexpr std::size_t max_sample_bytes = 0x7FFFFFFF;

}  // namespace media::detail
