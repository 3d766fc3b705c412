// Sounds decoded ahead of their load: the load takes exactly what a plain load would give.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "media/detail/audio_output.h"
#include "media/detail/sound_internal.h"
#include "media/sound.h"
#include "support/game_files.h"
#include "support/headless_test.h"
#include "support/ogg_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;
using media::detail::prefetched_sound_count;

// Keeps a copy of every sample placed in it.
class RecordingOutput final : public media::detail::AudioOutput {
 public:
  std::unique_ptr<media::detail::OutputBuffer> make_buffer(
      const media::detail::AudioSample& sample) override {
    samples.push_back(sample.bytes);
    return silent_->make_buffer(sample);
  }
  void hold(bool) override {}
  std::vector<std::vector<std::uint8_t>> samples;

 private:
  std::shared_ptr<AudioOutput> silent_ = media::detail::make_silent_output();
};

class SoundPrefetch : public HeadlessTest {
 protected:
  SoundPrefetch() { media::detail::use_audio_output(output); }

  // The samples the load placed in the output; none when it gave no sound.
  std::optional<std::vector<std::uint8_t>> load(const std::string& path) {
    const std::size_t before = output->samples.size();
    media::Sound sound = media::LoadSound(path, 0);
    EXPECT_EQ(output->samples.size(), before + (sound ? 1 : 0)) << path;
    if (!sound) return std::nullopt;
    return output->samples.back();
  }

  // Long enough to be decoded in two halves.
  static Bytes music() { return test_support::encode_ogg(2, 22050, 300000, 0.1f); }

  std::shared_ptr<RecordingOutput> output = std::make_shared<RecordingOutput>();
};

TEST_F(SoundPrefetch, APrefetchedLoadGivesWhatAPlainLoadGives) {
  const Bytes ogg = music();
  Bytes holed = ogg;
  for (std::size_t i = holed.size() / 2; i < holed.size() / 2 + 300; ++i) holed[i] ^= 0x5A;
  const Bytes wav = test_support::wav_seconds(0.5);
  scratch.write("music.ogg", ogg);
  scratch.write("holed.ogg", holed);
  scratch.write("effect.wav", wav);
  scratch.write("cut.wav", Bytes(wav.begin(), wav.begin() + 30));

  for (const std::string path : {"music.ogg", "effect.wav", "holed.ogg", "cut.wav", "none.ogg"}) {
    const auto plain = load(path);
    media::PrefetchSound(path);
    EXPECT_EQ(prefetched_sound_count(), 1) << path;
    const auto prefetched = load(path);
    EXPECT_EQ(prefetched_sound_count(), 0) << path << " was decoded again";
    EXPECT_EQ(plain.has_value(), prefetched.has_value()) << path;
    EXPECT_TRUE(plain == prefetched) << path;
  }
  EXPECT_EQ(output->samples.size(), 4u);  // the music and the effect, twice each
}

TEST_F(SoundPrefetch, TheLoadFindsItUnderAnySpellingOfThePath) {
  scratch.write("sound/effect.wav", test_support::wav_seconds(0.25));
  media::PrefetchSound("Sound\\Effect.WAV");
  media::PrefetchSound("sound/other.wav");
  EXPECT_TRUE(load("SOUND/effect.wav"));
  EXPECT_EQ(prefetched_sound_count(), 1) << "the effect's prefetch was not taken";
}

TEST_F(SoundPrefetch, EachPrefetchServesOneLoad) {
  scratch.write("effect.wav", test_support::wav_seconds(0.25));
  media::PrefetchSound("effect.wav");
  media::PrefetchSound("effect.wav");
  EXPECT_EQ(prefetched_sound_count(), 2);
  EXPECT_TRUE(load("effect.wav"));
  EXPECT_EQ(prefetched_sound_count(), 1);
  EXPECT_TRUE(load("effect.wav"));
  EXPECT_TRUE(load("effect.wav"));
  EXPECT_EQ(prefetched_sound_count(), 0);
}

TEST_F(SoundPrefetch, AResetWaitsForPrefetchesStillDecodingAndDropsThem) {
  scratch.write("music.ogg", music());
  media::PrefetchSound("music.ogg");
  media::PrefetchSound("music.ogg");
  media::use_headless();
  EXPECT_EQ(prefetched_sound_count(), 0);
  EXPECT_TRUE(media::LoadSound("music.ogg", media::sound_loop));
  // And one left behind when the run ends.
  media::PrefetchSound("music.ogg");
}

}  // namespace
