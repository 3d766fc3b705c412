#include "wav.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace soundgen {
namespace {

std::uint32_t u32_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t u16_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string tag_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::string(bytes.begin() + at, bytes.begin() + at + 4);
}

TEST(SoundgenWav, StereoSixteenBitHeaderDescribesTheSamples) {
  Audio audio(44100, 2, 3);
  const auto bytes = wav_bytes(audio, 16);
  ASSERT_EQ(bytes.size(), 44u + 3 * 4);
  EXPECT_EQ(tag_at(bytes, 0), "RIFF");
  EXPECT_EQ(u32_at(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(tag_at(bytes, 8), "WAVE");
  EXPECT_EQ(tag_at(bytes, 12), "fmt ");
  EXPECT_EQ(u32_at(bytes, 16), 16u);
  EXPECT_EQ(u16_at(bytes, 20), 1u);  // PCM
  EXPECT_EQ(u16_at(bytes, 22), 2u);
  EXPECT_EQ(u32_at(bytes, 24), 44100u);
  EXPECT_EQ(u32_at(bytes, 28), 44100u * 4);
  EXPECT_EQ(u16_at(bytes, 32), 4u);
  EXPECT_EQ(u16_at(bytes, 34), 16u);
  EXPECT_EQ(tag_at(bytes, 36), "data");
  EXPECT_EQ(u32_at(bytes, 40), 12u);
}

TEST(SoundgenWav, OddEightBitDataIsPaddedButKeepsItsTrueSize) {
  Audio audio(22050, 1, 5);
  const auto bytes = wav_bytes(audio, 8);
  ASSERT_EQ(bytes.size(), 44u + 5 + 1);
  EXPECT_EQ(u32_at(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(u32_at(bytes, 28), 22050u);
  EXPECT_EQ(u16_at(bytes, 32), 1u);
  EXPECT_EQ(u16_at(bytes, 34), 8u);
  EXPECT_EQ(u32_at(bytes, 40), 5u);
  EXPECT_EQ(bytes.back(), 0u);
}

TEST(SoundgenWav, SamplesAreQuantisedAndClipped) {
  Audio audio(8000, 1, 4);
  audio.samples = {0.0f, 1.0f, -1.0f, 3.0f};
  const auto sixteen = wav_bytes(audio, 16);
  EXPECT_EQ(static_cast<std::int16_t>(u16_at(sixteen, 44)), 0);
  EXPECT_EQ(static_cast<std::int16_t>(u16_at(sixteen, 46)), 32767);
  EXPECT_EQ(static_cast<std::int16_t>(u16_at(sixteen, 48)), -32767);
  EXPECT_EQ(static_cast<std::int16_t>(u16_at(sixteen, 50)), 32767);

  const auto eight = wav_bytes(audio, 8);
  EXPECT_EQ(eight[44], 128u);  // unsigned: silence sits in the middle
  EXPECT_EQ(eight[45], 255u);
  EXPECT_EQ(eight[46], 1u);
  EXPECT_EQ(eight[47], 255u);
}

TEST(SoundgenWav, RefusesFormatsTheGameCannotLoad) {
  EXPECT_THROW(wav_bytes(Audio(44100, 1, 1), 24), std::runtime_error);
  EXPECT_THROW(wav_bytes(Audio(44100, 6, 1), 16), std::runtime_error);
}

}  // namespace
}  // namespace soundgen
