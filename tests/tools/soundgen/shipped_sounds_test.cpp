// The game's own sources: each renders, and keeps the shape the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "effect.h"
#include "file_io.h"
#include "levels.h"
#include "score.h"
#include "wav.h"

namespace soundgen {
namespace {

std::string source_text(const std::string& name) {
  return read_text_file(std::string(SOUNDGEN_ASSETS) + "/" + name);
}

TEST(SoundgenShippedSounds, EffectsAreShortMonoAndUnclipped) {
  for (const char* name : {"pick-up-coin.sfx", "jump.sfx", "throw.sfx", "shot.sfx"}) {
    const Effect effect = parse_effect(source_text(name), name);
    const Audio audio = render_effect(effect);
    const double seconds = static_cast<double>(audio.frames()) / audio.rate;
    EXPECT_GT(seconds, 0.1) << name;
    EXPECT_LT(seconds, 0.4) << name;
    EXPECT_EQ(audio.channels, 1) << name;
    EXPECT_LE(peak_level(audio), 0.99) << name;
    // The release dies away to silence: no click when the sound stops.
    EXPECT_LT(std::abs(audio.samples.back()), 0.01) << name;
  }
}

TEST(SoundgenShippedSounds, LevelMusicIsALongSeamlessLoopOfWholeBeats) {
  const Score score = parse_score(source_text("world_1.score"), "world_1.score");
  const Audio audio = render_score(score);
  EXPECT_EQ(audio.rate, 44100);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_GE(audio.frames(), 60u * 44100);
  EXPECT_EQ(song_steps(score) % (score.beats_per_bar * score.steps_per_beat), 0);
  const double frames_per_beat = 60.0 * audio.rate / score.tempo;
  EXPECT_NEAR(audio.frames() / frames_per_beat, std::round(audio.frames() / frames_per_beat), 1e-6);
  EXPECT_TRUE(loop_seam_is_smooth(audio, 441));
  EXPECT_LE(peak_level(audio), 0.95);
}

TEST(SoundgenShippedSounds, WorldLoopIsSmallAndSeamless) {
  const Score score = parse_score(source_text("world.score"), "world.score");
  const Audio audio = render_score(score);
  EXPECT_TRUE(loop_seam_is_smooth(audio, audio.rate / 100));
  EXPECT_LT(wav_bytes(audio, score.settings.bits).size(), 200u * 1024);
}

}  // namespace
}  // namespace soundgen
