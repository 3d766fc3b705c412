#include "vorbis_out.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace soundgen {
namespace {

struct Memory {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

std::size_t read_memory(void* into, std::size_t size, std::size_t count, void* source) {
  auto* memory = static_cast<Memory*>(source);
  const std::size_t wanted = size * count;
  const std::size_t left = memory->bytes->size() - memory->at;
  const std::size_t taken = wanted < left ? wanted : left;
  std::memcpy(into, memory->bytes->data() + memory->at, taken);
  memory->at += taken;
  return size ? taken / size : 0;
}

struct Decoded {
  long frames = 0;
  int channels = 0;
  long rate = 0;
};

Decoded decode(const std::vector<std::uint8_t>& bytes) {
  Memory memory{&bytes};
  OggVorbis_File file;
  const ov_callbacks callbacks{read_memory, nullptr, nullptr, nullptr};
  if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) return {};
  Decoded decoded;
  decoded.channels = ov_info(&file, -1)->channels;
  decoded.rate = ov_info(&file, -1)->rate;
  char buffer[8192];
  int section = 0;
  for (long got; (got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0;)
    decoded.frames += got / (2 * decoded.channels);
  ov_clear(&file);
  return decoded;
}

Audio tone(int channels, std::size_t frames) {
  Audio audio(44100, channels, frames);
  for (std::size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      audio.at(i, c) = static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 330.0 * i / 44100));
  return audio;
}

// A loop only loops cleanly if the decoder gives back exactly the frames we encoded.
TEST(SoundgenVorbis, DecodesToTheExactLengthAndLayout) {
  for (int channels : {1, 2}) {
    const Decoded decoded = decode(ogg_vorbis_bytes(tone(channels, 30001), 0.4, "test"));
    EXPECT_EQ(decoded.frames, 30001);
    EXPECT_EQ(decoded.channels, channels);
    EXPECT_EQ(decoded.rate, 44100);
  }
}

TEST(SoundgenVorbis, SameSamplesGiveTheSameBytes) {
  const Audio audio = tone(2, 20000);
  EXPECT_EQ(ogg_vorbis_bytes(audio, 0.4, "a"), ogg_vorbis_bytes(audio, 0.4, "a"));
}

}  // namespace
}  // namespace soundgen
