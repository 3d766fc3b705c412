// PCM WAV files: what loads, what is refused, and that a refusal never reads out of bounds.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/decode/sound_decode.h"
#include "media/sound.h"
#include "support/headless_test.h"

namespace {

using Bytes = std::vector<unsigned char>;
using media::detail::decode_wav;

void put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void put16(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 2; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct Chunk {
  std::string id;
  Bytes body;
  std::int64_t declared = -1;  // the size field when it lies about the body
};

// A RIFF/WAVE file of these chunks; odd bodies get their pad byte.
Bytes riff(const std::vector<Chunk>& chunks) {
  Bytes b{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.id.begin(), c.id.end());
    put32(b, c.declared >= 0 ? static_cast<std::uint32_t>(c.declared)
                             : static_cast<std::uint32_t>(c.body.size()));
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (c.body.size() % 2) b.push_back(0);
  }
  return b;
}

Chunk fmt(int tag, int channels, int rate, int bits, int extra = 0) {
  Bytes b;
  put16(b, tag);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * channels * bits / 8);
  put16(b, channels * bits / 8);
  put16(b, bits);
  b.resize(b.size() + extra, 0xEE);
  return {"fmt ", b};
}

Chunk data(std::size_t bytes) {
  Bytes b(bytes);
  for (std::size_t i = 0; i < bytes; ++i) b[i] = static_cast<unsigned char>(i * 7);
  return {"data", b};
}

std::optional<media::detail::AudioSample> decode(const Bytes& b) {
  return decode_wav(b.data(), b.size());
}

TEST(WavDecode, AcceptsEightAndSixteenBitMonoAndStereo) {
  struct Case {
    int channels, bits;
  };
  for (Case c : {Case{1, 8}, Case{2, 8}, Case{1, 16}, Case{2, 16}}) {
    SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.bits) + " bits");
    const int frame = c.channels * c.bits / 8;
    auto sample = decode(riff({fmt(1, c.channels, 11025, c.bits), data(100 * frame)}));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, c.channels);
    EXPECT_EQ(sample->bits, c.bits);
    EXPECT_EQ(sample->rate, 11025);
    EXPECT_EQ(sample->frames, 100u);
    EXPECT_EQ(sample->bytes, data(100 * frame).body);
  }
}

TEST(WavDecode, SkipsWhatIsNotTheSamples) {
  // A longer format chunk, a LIST chunk and an odd-sized chunk (with its pad byte) before data.
  Chunk odd{"junk", Bytes(5, 0x55)};
  Chunk list{"LIST", Bytes(12, 'x')};
  auto sample = decode(riff({fmt(1, 2, 22050, 16, 2), list, odd, data(400)}));
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->frames, 100u);
  EXPECT_EQ(sample->bytes, data(400).body);
}

TEST(WavDecode, DropsAPartFrameAtTheEndOfTheData) {
  auto sample = decode(riff({fmt(1, 2, 8000, 16), data(10)}));
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->frames, 2u);
  EXPECT_EQ(sample->bytes.size(), 8u);
}

TEST(WavDecode, RefusesWhatItCannotPlay) {
  Chunk short_data = data(100);
  short_data.declared = 200;
  Chunk huge_chunk{"LIST", Bytes(4), 0xFFFFFFFF};
  Chunk huge_data = data(16);
  huge_data.declared = 0xFFFFFFFE;
  Bytes not_riff = riff({fmt(1, 1, 8000, 8), data(8)});
  not_riff[0] = 'X';
  Bytes no_wave = riff({fmt(1, 1, 8000, 8), data(8)});
  no_wave[8] = 'A';
  // Odd chunks are followed by a pad byte; a writer that leaves it out shifts every later chunk.
  Bytes unpadded = riff({fmt(1, 1, 8000, 8), Chunk{"junk", Bytes(3)}, data(8)});
  unpadded.erase(unpadded.begin() + 12 + 24 + 8 + 3);
  Chunk short_fmt = fmt(1, 1, 8000, 8);
  short_fmt.body.resize(14);

  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"float samples", riff({fmt(3, 1, 8000, 32), data(32)})},
      {"24-bit samples", riff({fmt(1, 1, 8000, 24), data(30)})},
      {"6 channels", riff({fmt(1, 6, 8000, 16), data(120)})},
      {"no channels", riff({fmt(1, 0, 8000, 16), data(12)})},
      {"rate 0", riff({fmt(1, 1, 0, 16), data(12)})},
      {"data shorter than declared", riff({fmt(1, 1, 8000, 8), short_data})},
      {"no data chunk", riff({fmt(1, 1, 8000, 8), Chunk{"LIST", Bytes(8)}})},
      {"a chunk before the format", riff({Chunk{"LIST", Bytes(8)}, fmt(1, 1, 8000, 8), data(8)})},
      {"format chunk too short", riff({short_fmt, data(8)})},
      {"chunk size past the end", riff({fmt(1, 1, 8000, 8), huge_chunk, data(8)})},
      {"data size past the end", riff({fmt(1, 1, 8000, 8), huge_data})},
      {"odd chunk without its pad byte", unpadded},
      {"not RIFF", not_riff},
      {"not WAVE", no_wave},
      {"empty", Bytes{}},
      {"header only", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
  };
  for (const auto& [name, bytes] : cases) {
    EXPECT_FALSE(decode(bytes)) << name;
  }
}

class WavLoad : public HeadlessTest {};

TEST_F(WavLoad, LoadsAFileAndRefusesMissingEmptyAndDamagedOnes) {
  scratch.write("sound/ok.wav", riff({fmt(1, 1, 8000, 16), data(64)}));
  scratch.write("sound/empty.wav", Bytes{});
  scratch.write("sound/float.wav", riff({fmt(3, 1, 8000, 32), data(64)}));
  EXPECT_TRUE(media::LoadSound("sound/ok.wav", 0));
  EXPECT_FALSE(media::LoadSound("sound/empty.wav", 0));
  EXPECT_FALSE(media::LoadSound("sound/float.wav", 0));
  EXPECT_FALSE(media::LoadSound("sound/missing.wav", 0));
  EXPECT_FALSE(media::LoadSound("sound", 0));
}

}  // namespace
