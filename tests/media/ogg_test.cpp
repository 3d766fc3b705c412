// Ogg Vorbis files made by libvorbisenc: formats, and damaged streams that must not load or
// must load in a bounded way.

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "media/decode/sound_decode.h"
#include "media/sound.h"
#include "support/headless_test.h"
#include "support/ogg_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;
using test_support::encode_ogg;

std::optional<media::detail::AudioSample> decode(const Bytes& b) {
  return media::detail::decode_ogg(b.data(), b.size());
}

// Offsets of the pages of an Ogg file.
std::vector<std::size_t> page_offsets(const Bytes& b) {
  std::vector<std::size_t> pages;
  for (std::size_t i = 0; i + 4 <= b.size(); ++i) {
    if (std::memcmp(&b[i], "OggS", 4) == 0) pages.push_back(i);
  }
  return pages;
}

// Makes the last page claim a later sample position than the stream reaches, as a damaged
// writer might; the page checksum is made right again so only the length is wrong.
void claim_length(Bytes& b, std::int64_t frames) {
  std::size_t last = page_offsets(b).back();
  for (int i = 0; i < 8; ++i) b[last + 6 + i] = static_cast<unsigned char>(frames >> (8 * i));
  ogg_page page;
  page.header = &b[last];
  page.header_len = 27 + b[last + 26];
  page.body = &b[last + page.header_len];
  page.body_len = static_cast<long>(b.size() - last - page.header_len);
  ogg_page_checksum_set(&page);
}

TEST(OggDecode, MonoAndStereoKeepTheirRateAndLength) {
  auto mono = decode(encode_ogg(1, 22050, 22050));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->channels, 1);
  EXPECT_EQ(mono->bits, 16);
  EXPECT_EQ(mono->rate, 22050);
  EXPECT_EQ(mono->frames, 22050u);
  EXPECT_EQ(mono->bytes.size(), 22050u * 2);

  auto stereo = decode(encode_ogg(2, 44100, 30000));
  ASSERT_TRUE(stereo);
  EXPECT_EQ(stereo->channels, 2);
  EXPECT_EQ(stereo->rate, 44100);
  EXPECT_EQ(stereo->frames, 30000u);
  EXPECT_EQ(stereo->bytes.size(), 30000u * 4);
}

TEST(OggDecode, MoreChannelsKeepTheFirstTwo) {
  auto three = decode(encode_ogg(3, 8000, 8000));
  auto two = decode(encode_ogg(2, 8000, 8000));
  ASSERT_TRUE(three);
  ASSERT_TRUE(two);
  EXPECT_EQ(three->channels, 2);
  EXPECT_EQ(three->frames, 8000u);
  // The third channel is left out, not mixed in: the left side is a 220 Hz tone in both, and
  // the right side is the 440 Hz one.
  auto peak_diff = [&](int side) {
    int worst = 0;
    for (std::size_t f = 1000; f < 7000; ++f) {
      std::int16_t a, b;
      std::memcpy(&a, &three->bytes[f * 4 + side * 2], 2);
      std::memcpy(&b, &two->bytes[f * 4 + side * 2], 2);
      worst = std::max(worst, std::abs(a - b));
    }
    return worst;
  };
  EXPECT_LT(peak_diff(0), 3000);
  EXPECT_LT(peak_diff(1), 3000);
}

TEST(OggDecode, AStreamShorterThanItsDeclaredLengthEndsInSilence) {
  Bytes b = encode_ogg(1, 8000, 24000);
  claim_length(b, 28000);
  auto sample = decode(b);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->frames, 28000u);
  // The decoder may hand out up to a block past the true end; after that it is silence.
  auto silent = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from * 2; i < to * 2; ++i) {
      if (sample->bytes[i] != 0) return false;
    }
    return true;
  };
  EXPECT_FALSE(silent(20000, 24000));
  EXPECT_TRUE(silent(26000, 28000));
}

TEST(OggDecode, RefusesDamagedStreams) {
  Bytes good = encode_ogg(2, 22050, 44100);
  ASSERT_TRUE(decode(good));

  Bytes absurd = good;
  claim_length(absurd, std::int64_t{1} << 40);

  // A page in the middle overwritten: the decoder sees a hole in the stream.
  Bytes hole = good;
  std::size_t middle = page_offsets(hole)[page_offsets(hole).size() / 2];
  for (std::size_t i = middle; i < middle + 200; ++i) hole[i] ^= 0x5A;

  EXPECT_FALSE(decode(absurd)) << "absurd declared length";
  EXPECT_FALSE(decode(hole)) << "damaged middle";
  EXPECT_FALSE(decode(Bytes(good.begin(), good.begin() + 40))) << "first page cut";
  EXPECT_FALSE(decode(Bytes{})) << "empty";
  EXPECT_FALSE(decode(Bytes(1000, 0x4F))) << "not Ogg";
}

TEST(OggDecode, ATruncatedFileLoadsWhatItHolds) {
  Bytes good = encode_ogg(1, 22050, 44100);
  std::vector<std::size_t> pages = page_offsets(good);
  Bytes cut(good.begin(), good.begin() + static_cast<long>(pages[pages.size() * 2 / 3] + 20));
  auto sample = decode(cut);
  ASSERT_TRUE(sample);
  EXPECT_GT(sample->frames, 0u);
  EXPECT_LT(sample->frames, 44100u);
}

// Decoding in halves against one pass: the same outcome and, when it loads, the same samples.
std::optional<media::detail::AudioSample> one_pass(const Bytes& b) {
  return media::detail::decode_ogg(b.data(), b.size(), SIZE_MAX);
}
std::optional<media::detail::AudioSample> in_halves(const Bytes& b) {
  return media::detail::decode_ogg(b.data(), b.size(), 0);
}
void expect_same_decoding(const Bytes& b, const std::string& what) {
  auto whole = one_pass(b);
  auto halves = in_halves(b);
  ASSERT_EQ(whole.has_value(), halves.has_value()) << what;
  if (!whole) return;
  EXPECT_EQ(whole->frames, halves->frames) << what;
  EXPECT_EQ(whole->channels, halves->channels) << what;
  EXPECT_TRUE(whole->bytes == halves->bytes) << what;
}

// A tone under noise that changes all the way through, so that no two stretches decode alike.
test_support::OggSignal busy_signal() {
  return [](int channel, long frame) {
    std::uint32_t x = static_cast<std::uint32_t>(frame * 2654435761u + channel * 40503u);
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    const float noise = static_cast<float>(x & 0xFFFF) / 65536.0f - 0.5f;
    return 0.3f * std::sin(0.001f * static_cast<float>(frame) * (1.0f + 0.0001f * frame)) +
           0.2f * noise;
  };
}

void set_granule(Bytes& b, std::size_t page, std::int64_t granule) {
  for (int i = 0; i < 8; ++i) b[page + 6 + i] = static_cast<unsigned char>(granule >> (8 * i));
  ogg_page p;
  p.header = &b[page];
  p.header_len = 27 + b[page + 26];
  std::size_t body = 0;
  for (int i = 0; i < b[page + 26]; ++i) body += b[page + 27 + i];
  p.body = &b[page + p.header_len];
  p.body_len = static_cast<long>(body);
  ogg_page_checksum_set(&p);
}

std::int64_t granule_of(const Bytes& b, std::size_t page) {
  std::int64_t g = 0;
  for (int i = 7; i >= 0; --i) g = (g << 8) | b[page + 6 + i];
  return g;
}

TEST(OggDecode, TwoHalvesGiveTheSamplesOfOnePass) {
  // Lengths that put the middle inside a packet and a page, in both channel layouts.
  for (const Bytes& b :
       {encode_ogg(2, 44100, 70001, 0.4f, busy_signal()),
        encode_ogg(1, 22050, 50123, 0.1f, busy_signal()), encode_ogg(2, 8000, 40000, 0.9f)}) {
    auto halves = in_halves(b);
    ASSERT_TRUE(halves);
    expect_same_decoding(b, "sound file");
  }
}

TEST(OggDecode, DamageAnywhereFaresTheSameInHalvesAsInOnePass) {
  const Bytes good = encode_ogg(2, 22050, 60000, 0.4f, busy_signal());
  const std::vector<std::size_t> pages = page_offsets(good);
  for (std::size_t n = 1; n < pages.size(); ++n) {
    const std::size_t page = pages[n];
    const std::string where = "page " + std::to_string(n) + " of " + std::to_string(pages.size());

    Bytes garbled = good;
    for (std::size_t i = page + 30; i < page + 46 && i < garbled.size(); ++i) garbled[i] ^= 0xA5;
    expect_same_decoding(garbled, "garbled " + where);

    const std::size_t next = n + 1 < pages.size() ? pages[n + 1] : good.size();
    Bytes dropped = good;
    dropped.erase(dropped.begin() + static_cast<long>(page),
                  dropped.begin() + static_cast<long>(next));
    expect_same_decoding(dropped, "dropped " + where);

    expect_same_decoding(Bytes(good.begin(), good.begin() + static_cast<long>(page + 40)),
                         "cut in " + where);

    // Positions that mislead a seek, with the page otherwise sound.
    Bytes early = good, late = good;
    set_granule(early, page, granule_of(good, page) / 3);
    set_granule(late, page, granule_of(good, page) + 20000);
    expect_same_decoding(early, "early position on " + where);
    expect_same_decoding(late, "late position on " + where);
  }
  Bytes longer = good;
  claim_length(longer, 200000);  // the middle lies past the end of the stream
  expect_same_decoding(longer, "claims more than it holds");
}

class OggLoad : public HeadlessTest {};

TEST_F(OggLoad, LoadSoundFallsThroughToOgg) {
  scratch.write("music.ogg", encode_ogg(2, 44100, 4410));
  EXPECT_TRUE(media::LoadSound("music.ogg", media::sound_loop));
}

}  // namespace
