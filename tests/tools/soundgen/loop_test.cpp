#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "levels.h"
#include "score.h"

namespace soundgen {
namespace {

Audio sine(int rate, int channels, std::size_t frames, double hz) {
  Audio audio(rate, channels, frames);
  for (std::size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      audio.at(i, c) = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * hz * i / rate));
  return audio;
}

TEST(SoundgenLoopSeam, WholePeriodsMeetSmoothly) {
  // 441 Hz at 44100 Hz: exactly 100 frames a period, 50 periods.
  EXPECT_TRUE(loop_seam_is_smooth(sine(44100, 2, 5000, 441.0), 441));
}

TEST(SoundgenLoopSeam, CutMidPeriodIsAJump) {
  EXPECT_FALSE(loop_seam_is_smooth(sine(44100, 1, 5025, 441.0), 441));
}

TEST(SoundgenLoopSeam, OneBrokenChannelSpoilsTheSeam) {
  Audio audio = sine(44100, 2, 5000, 441.0);
  const Audio other = sine(44100, 1, 5000, 463.0);  // 52.5 periods: ends half way round
  for (std::size_t i = 0; i < audio.frames(); ++i) audio.at(i, 1) = other.at(i, 0);
  EXPECT_FALSE(loop_seam_is_smooth(audio, 441));
}

TEST(SoundgenLoopSeam, TooShortForTheWindowIsNotSmooth) {
  EXPECT_FALSE(loop_seam_is_smooth(sine(44100, 1, 100, 441.0), 441));
}

constexpr const char* kLongLastNote = R"(
rate 8000
channels 2
tempo 120
beats_per_bar 4
steps_per_beat 1
instrument tone wave=sine attack=0.01 decay=0 sustain=1 release=1.5
phrase tail tone
  | .:3 a4:1 |
end
song
  tail
end
)";

TEST(SoundgenLoopSeam, TheLastNotesTailIsHeardAtTheStart) {
  const Audio audio = render_score(parse_score(kLongLastNote, "tail.score"));
  ASSERT_EQ(audio.frames(), 16000u);  // one bar of four beats at 120 a minute
  // The note starts on the last beat and its release runs past the end, into the first beat.
  double start_energy = 0.0;
  for (std::size_t i = 0; i < 4000; ++i) start_energy += std::fabs(audio.at(i, 0));
  EXPECT_GT(start_energy / 4000, 0.05);
  EXPECT_TRUE(loop_seam_is_smooth(audio, 80));
}

TEST(SoundgenLevels, DcRemovedThenPeakNormalised) {
  Audio audio(8000, 1, 4);
  audio.samples = {0.5f, 0.7f, 0.3f, 0.5f};
  remove_dc(audio);
  normalise_peak(audio, 0.8);
  EXPECT_NEAR(audio.samples[0], 0.0, 1e-6);
  EXPECT_NEAR(audio.samples[1], 0.8, 1e-6);
  EXPECT_NEAR(audio.samples[2], -0.8, 1e-6);
  EXPECT_NEAR(peak_level(audio), 0.8, 1e-6);
}

}  // namespace
}  // namespace soundgen
