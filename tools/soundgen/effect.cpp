#include "effect.h"

#include <algorithm>
#include <cmath>

#include "levels.h"

namespace soundgen {
namespace {

double take_time(const std::string& source, const Line& line,
                 std::map<std::string, std::string>& parameters, const std::string& key) {
  const auto it = parameters.find(key);
  if (it == parameters.end()) throw SourceError(source, line.number, "voice needs " + key + "=");
  const double value = read_number(source, line, it->second);
  if (value < 0.0 || value > 60.0)
    throw SourceError(source, line.number, key + " must be 0 to 60 seconds");
  parameters.erase(it);
  return value;
}

EffectVoice read_voice(const std::string& source, const Line& line) {
  auto parameters = read_parameters(source, line, 1);
  EffectVoice voice;
  voice.start = take_time(source, line, parameters, "start");
  voice.length = take_time(source, line, parameters, "length");
  voice.patch = take_patch(source, line, parameters);
  reject_leftovers(source, line, parameters);
  if (!has_fixed_pitch(voice.patch)) throw SourceError(source, line.number, "voice needs freq=");
  return voice;
}

}  // namespace

Effect parse_effect(const std::string& text, const std::string& source) {
  Effect effect;
  for (const Line& line : split_lines(text)) {
    if (read_output_setting(source, line, effect.settings)) continue;
    if (line.words[0] != "voice")
      throw SourceError(source, line.number, "unknown line '" + line.words[0] + "'");
    effect.voices.push_back(read_voice(source, line));
  }
  if (effect.voices.empty()) throw SourceError(source, 0, "no voice");
  return effect;
}

Audio render_effect(const Effect& effect) {
  const auto& settings = effect.settings;
  double end = 0.0;
  for (const auto& voice : effect.voices)
    end = std::max(end, voice.start + voice.length + voice.patch.release);
  Audio audio(settings.rate, settings.channels,
              static_cast<std::size_t>(std::ceil(end * settings.rate - 1e-6)));
  std::uint32_t seed = 1;
  for (const auto& voice : effect.voices) {
    NoteEvent note;
    note.start = static_cast<std::size_t>(std::lround(voice.start * settings.rate));
    note.gate = voice.length;
    note.freq = voice.patch.freq;
    note.freq_to = voice.patch.freq_to;
    render_note(voice.patch, note, audio, false, seed++);
  }
  if (settings.peak > 0.0) normalise_peak(audio, settings.peak);
  return audio;
}

}  // namespace soundgen
