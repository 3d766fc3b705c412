// Music: instruments (patches), phrases of notes on a step grid, and a song that stacks phrases
// into sections. A score always renders as a seamless loop of whole bars.
//
//   tempo 126               beats per minute
//   beats_per_bar 4
//   steps_per_beat 4        the grid a note length counts in
//   echo delay=0.357 feedback=0.3 mix=0.2
//   instrument lead wave=pulse duty=0.25 release=0.08 gain=0.2 pan=0.2 echo=1
//   phrase tune lead              pitch[:steps]; '+' makes a chord, '.' rests, 'x' hits a
//     | e5:2 g5 a5:4 c6+e6:8 |    fixed-pitch instrument; without :steps a note lasts as long
//   end                           as the one before it; '|' checks a bar is full
//   phrase beat snare+body        layered: each of the instruments plays every note
//     | .:4 x . x |
//   end
//   song
//     tune bass beat *2           phrases on one line start together, shorter ones repeat to
//   end                           fill the longest; *N repeats the line
#pragma once

#include <string>
#include <vector>

#include "audio.h"
#include "source.h"
#include "synth.h"

namespace soundgen {

struct Instrument {
  std::string name;
  Patch patch;
  bool echo = false;  // echo=1 sends it through the echo, echo=0 (default) keeps it dry
};

struct PhraseNote {
  int step = 0;
  int length = 1;
  std::vector<double> freqs;  // empty for a hit at the instrument's own pitch
};

struct Phrase {
  std::string name;
  std::vector<std::size_t> instruments;  // "snare+body" layers instruments in unison
  int length = 0;                        // steps, a whole number of bars
  std::vector<PhraseNote> notes;
};

struct Echo {
  double delay = 0.0;  // seconds; 0 = no echo
  double feedback = 0.0;
  double mix = 0.0;
};

struct Score {
  OutputSettings settings;
  double tempo = 120.0;
  int beats_per_bar = 4;
  int steps_per_beat = 4;
  Echo echo;
  std::vector<Instrument> instruments;
  std::vector<Phrase> phrases;
  std::vector<std::vector<std::size_t>> sections;  // phrase indices that start together
};

Score parse_score(const std::string& text, const std::string& source);

// Steps in the whole song.
int song_steps(const Score& score);

Audio render_score(const Score& score);

// Semitone number of a written pitch such as "c4", "f#3" or "bb5" (c4 = 60), or -1.
int parse_pitch(const std::string& word);

}  // namespace soundgen
