#include "score.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "effect.h"

namespace soundgen {
namespace {

const std::string kHeader = R"(
rate 8000
tempo 120
beats_per_bar 4
steps_per_beat 2
instrument lead wave=pulse release=0.01
instrument drum wave=noise decay=0.05 sustain=0
)";

std::string error_of(const std::string& text) {
  try {
    parse_score(kHeader + text, "test.score");
  } catch (const SourceError& error) {
    return error.what();
  }
  return "";
}

TEST(SoundgenScore, PitchesFollowTheUsualNames) {
  EXPECT_EQ(parse_pitch("c4"), 60);
  EXPECT_EQ(parse_pitch("a4"), 69);
  EXPECT_EQ(parse_pitch("f#3"), 54);
  EXPECT_EQ(parse_pitch("bb5"), 82);
  EXPECT_EQ(parse_pitch("b5"), 83);
  EXPECT_EQ(parse_pitch("h4"), -1);
  EXPECT_EQ(parse_pitch("c#"), -1);
  EXPECT_EQ(parse_pitch("c44"), -1);
  EXPECT_NEAR(note_frequency(parse_pitch("a4")), 440.0, 1e-9);
}

TEST(SoundgenScore, NotesChordsRestsAndRepeatedLengths) {
  const Score score = parse_score(kHeader + R"(
phrase tune lead
  | c4:2 e4+g4 . g4:1 a4 |   # f#4 in a comment is no note
end
song
  tune *3
end
)",
                                  "test.score");
  ASSERT_EQ(score.phrases.size(), 1u);
  const auto& notes = score.phrases[0].notes;
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[1].step, 2);
  EXPECT_EQ(notes[1].length, 2);  // carried over from c4:2
  EXPECT_EQ(notes[1].freqs.size(), 2u);
  EXPECT_EQ(notes[2].step, 6);  // after the rest
  EXPECT_EQ(notes[3].step, 7);
  EXPECT_EQ(song_steps(score), 3 * 8);
}

TEST(SoundgenScore, MistakesNameTheLine) {
  EXPECT_NE(error_of("phrase p lead\n | c4:3 |\nend\n").find("test.score:9: bar line"),
            std::string::npos);
  EXPECT_NE(error_of("phrase p lead\n c4:6\nend\n").find("not a whole number of bars"),
            std::string::npos);
  EXPECT_NE(error_of("phrase p flute\n").find("no instrument 'flute'"), std::string::npos);
  EXPECT_NE(error_of("phrase p lead\n | x:8 |\nend\n").find("'x' needs"), std::string::npos);
  EXPECT_NE(error_of("phrase p drum\n | c4:8 |\nend\n").find("fixed-pitch"), std::string::npos);
  EXPECT_NE(error_of("phrase p lead\n | c4:8 |\n").find("has no end"), std::string::npos);
  EXPECT_NE(error_of("phrase p drum+lead\n").find("all be drums or all be pitched"),
            std::string::npos);
  EXPECT_NE(error_of("song\n nothing\nend\n").find("no phrase 'nothing'"), std::string::npos);
  EXPECT_NE(error_of("instrument odd wave=sine colour=red\n").find("unknown parameter 'colour'"),
            std::string::npos);
  EXPECT_NE(error_of("").find("no song"), std::string::npos);
}

double energy(const Audio& audio, std::size_t from, std::size_t to) {
  double sum = 0.0;
  for (std::size_t i = from; i < to; ++i) sum += std::fabs(audio.at(i, 0));
  return sum;
}

TEST(SoundgenScore, ShortPhrasesRepeatToFillTheSection) {
  const Audio audio = render_score(parse_score(kHeader + R"(
phrase long lead
  | .:8 | .:8 |
end
phrase beat drum
  | x:1 .:7 |
end
song
  long beat
end
)",
                                               "test.score"));
  ASSERT_EQ(audio.frames(), 2u * 16000);
  // A hit at the start of each bar, silence in between.
  EXPECT_GT(energy(audio, 0, 800), 10.0);
  EXPECT_GT(energy(audio, 16000, 16800), 10.0);
  EXPECT_LT(energy(audio, 4000, 15000) / 11000, 0.001);
}

TEST(SoundgenEffect, LastsUntilTheLastReleaseEnds) {
  const Effect effect = parse_effect(R"(
rate 10000
voice wave=sine freq=440 start=0 length=0.05 release=0.01
voice wave=noise start=0.1 length=0.02 release=0.03
)",
                                     "test.sfx");
  const Audio audio = render_effect(effect);
  EXPECT_EQ(audio.frames(), 1500u);
  EXPECT_GT(energy(audio, 1000, 1200), 1.0);
}

TEST(SoundgenEffect, ToneWithoutPitchIsRefused) {
  EXPECT_THROW(parse_effect("voice wave=sine start=0 length=0.1\n", "test.sfx"), SourceError);
  EXPECT_THROW(parse_effect("rate 44100\n", "test.sfx"), SourceError);
}

}  // namespace
}  // namespace soundgen
