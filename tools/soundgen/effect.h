// Sound effects: a few voices, each a patch with a fixed pitch (or sweep), a start time and a
// held length, mixed into one short sound that ends when the last release has died away.
//
//   rate 44100
//   peak 0.8
//   voice wave=pulse duty=0.5 freq=988 start=0 length=0.06 release=0.03 gain=0.4
#pragma once

#include <string>
#include <vector>

#include "audio.h"
#include "source.h"
#include "synth.h"

namespace soundgen {

struct EffectVoice {
  Patch patch;
  double start = 0.0;   // seconds
  double length = 0.0;  // seconds held before the release
};

struct Effect {
  OutputSettings settings;
  std::vector<EffectVoice> voices;
};

Effect parse_effect(const std::string& text, const std::string& source);

Audio render_effect(const Effect& effect);

}  // namespace soundgen
