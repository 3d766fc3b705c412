#include "score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "levels.h"

namespace soundgen {
namespace {

constexpr double kLongestSong = 20 * 60.0;  // seconds; keeps a typo from filling the memory

struct Reader {
  const std::string& source;
  Score& score;

  int bar_steps() const { return score.beats_per_bar * score.steps_per_beat; }

  std::size_t instrument_index(const Line& line, const std::string& name) const {
    for (std::size_t i = 0; i < score.instruments.size(); ++i)
      if (score.instruments[i].name == name) return i;
    throw SourceError(source, line.number, "no instrument '" + name + "'");
  }

  std::size_t phrase_index(const Line& line, const std::string& name) const {
    for (std::size_t i = 0; i < score.phrases.size(); ++i)
      if (score.phrases[i].name == name) return i;
    throw SourceError(source, line.number, "no phrase '" + name + "'");
  }

  int whole(const Line& line, const std::string& word, int low, int high) const {
    const double value = read_number(source, line, word);
    if (value != std::floor(value) || value < low || value > high)
      throw SourceError(source, line.number,
                        "'" + word + "' must be a whole number from " + std::to_string(low) +
                            " to " + std::to_string(high));
    return static_cast<int>(value);
  }

  void read_instrument(const Line& line) {
    if (line.words.size() < 2) throw SourceError(source, line.number, "instrument needs a name");
    Instrument instrument;
    instrument.name = line.words[1];
    for (const auto& other : score.instruments)
      if (other.name == instrument.name)
        throw SourceError(source, line.number,
                          "instrument '" + instrument.name + "' defined twice");
    auto parameters = read_parameters(source, line, 2);
    const auto echo = parameters.find("echo");
    if (echo != parameters.end()) {
      instrument.echo = read_number(source, line, echo->second) != 0.0;
      parameters.erase(echo);
    }
    instrument.patch = take_patch(source, line, parameters);
    reject_leftovers(source, line, parameters);
    score.instruments.push_back(std::move(instrument));
  }

  void read_echo(const Line& line) {
    auto parameters = read_parameters(source, line, 1);
    for (auto [key, field] :
         {std::pair{"delay", &score.echo.delay}, std::pair{"feedback", &score.echo.feedback},
          std::pair{"mix", &score.echo.mix}}) {
      const auto it = parameters.find(key);
      if (it == parameters.end())
        throw SourceError(source, line.number, "echo needs all of delay=, feedback=, mix=");
      *field = read_number(source, line, it->second);
      parameters.erase(it);
    }
    reject_leftovers(source, line, parameters);
    if (score.echo.delay <= 0.0 || score.echo.feedback < 0.0 || score.echo.feedback >= 0.95)
      throw SourceError(source, line.number, "echo needs delay > 0 and feedback below 0.95");
  }

  // "a+b": every instrument plays every note; they must agree on having a pitch of their own.
  std::vector<std::size_t> layered_instruments(const Line& line, const std::string& word) const {
    std::vector<std::size_t> layers;
    std::size_t begin = 0;
    for (std::size_t plus; (plus = word.find('+', begin)) != std::string::npos; begin = plus + 1)
      layers.push_back(instrument_index(line, word.substr(begin, plus - begin)));
    layers.push_back(instrument_index(line, word.substr(begin)));
    const bool fixed = has_fixed_pitch(score.instruments[layers.front()].patch);
    for (std::size_t layer : layers)
      if (has_fixed_pitch(score.instruments[layer].patch) != fixed)
        throw SourceError(source, line.number,
                          "layered instruments must all be drums or all be pitched");
    return layers;
  }

  PhraseNote read_note(const Line& line, const std::string& word, const Patch& instrument,
                       int& last_length) const {
    PhraseNote note;
    std::string sound = word;
    const auto colon = word.find(':');
    if (colon != std::string::npos) {
      sound = word.substr(0, colon);
      last_length = whole(line, word.substr(colon + 1), 1, 64 * bar_steps());
    }
    note.length = last_length;
    if (sound == "." || sound == "x") {
      if (sound == "x" && !has_fixed_pitch(instrument))
        throw SourceError(source, line.number, "'x' needs noise or an instrument with freq=");
      if (sound == ".") note.length = -note.length;  // a rest: only moves the position on
      return note;
    }
    if (has_fixed_pitch(instrument))
      throw SourceError(source, line.number,
                        "a fixed-pitch instrument plays 'x', not '" + sound + "'");
    std::size_t begin = 0;
    while (begin <= sound.size()) {
      const auto plus = sound.find('+', begin);
      const std::string pitch =
          sound.substr(begin, plus == std::string::npos ? std::string::npos : plus - begin);
      const int number = parse_pitch(pitch);
      if (number < 0) throw SourceError(source, line.number, "'" + pitch + "' is not a pitch");
      note.freqs.push_back(note_frequency(number));
      if (plus == std::string::npos) break;
      begin = plus + 1;
    }
    return note;
  }

  // Reads the phrase body from lines[at] on; returns the index of its "end" line.
  std::size_t read_phrase(const std::vector<Line>& lines, std::size_t at) {
    const Line& head = lines[at];
    if (head.words.size() != 3)
      throw SourceError(source, head.number, "phrase needs a name and an instrument");
    Phrase phrase;
    phrase.name = head.words[1];
    for (const auto& other : score.phrases)
      if (other.name == phrase.name)
        throw SourceError(source, head.number, "phrase '" + phrase.name + "' defined twice");
    phrase.instruments = layered_instruments(head, head.words[2]);
    const Patch& instrument = score.instruments[phrase.instruments.front()].patch;
    int position = 0;
    int last_length = 1;
    for (++at; at < lines.size(); ++at) {
      const Line& line = lines[at];
      if (line.words[0] == "end") {
        if (position == 0 || position % bar_steps() != 0)
          throw SourceError(source, line.number,
                            "phrase '" + phrase.name + "' is not a whole number of bars");
        phrase.length = position;
        score.phrases.push_back(std::move(phrase));
        return at;
      }
      for (const std::string& word : line.words) {
        if (word == "|") {
          if (position % bar_steps() != 0)
            throw SourceError(source, line.number,
                              "bar line at step " + std::to_string(position % bar_steps()) +
                                  " of a bar in phrase '" + phrase.name + "'");
          continue;
        }
        PhraseNote note = read_note(line, word, instrument, last_length);
        note.step = position;
        position += std::abs(note.length);
        if (note.length > 0) phrase.notes.push_back(std::move(note));
      }
    }
    throw SourceError(source, head.number, "phrase '" + phrase.name + "' has no end");
  }

  std::size_t read_song(const std::vector<Line>& lines, std::size_t at) {
    const Line& head = lines[at];
    if (!score.sections.empty()) throw SourceError(source, head.number, "a second song");
    for (++at; at < lines.size(); ++at) {
      const Line& line = lines[at];
      if (line.words[0] == "end") {
        if (score.sections.empty()) throw SourceError(source, line.number, "empty song");
        return at;
      }
      std::vector<std::size_t> section;
      int repeats = 1;
      for (const std::string& word : line.words) {
        if (word[0] == '*')
          repeats = whole(line, word.substr(1), 1, 64);
        else
          section.push_back(phrase_index(line, word));
      }
      if (section.empty()) throw SourceError(source, line.number, "no phrase on the line");
      for (int i = 0; i < repeats; ++i) score.sections.push_back(section);
    }
    throw SourceError(source, head.number, "song has no end");
  }
};

int section_steps(const Score& score, const std::vector<std::size_t>& section) {
  int steps = 0;
  for (std::size_t phrase : section) steps = std::max(steps, score.phrases[phrase].length);
  return steps;
}

// The echo of a loop wraps too: what echoes past the end is heard at the start.
void add_circular_echo(Audio& audio, const Echo& echo) {
  const std::size_t frames = audio.frames();
  const auto delay = static_cast<std::size_t>(std::lround(echo.delay * audio.rate));
  if (echo.mix <= 0.0 || delay == 0 || delay >= frames) return;
  const Audio dry = audio;
  double level = echo.mix;
  for (std::size_t tap = 1; level > 0.005 && tap * delay < frames * 4; ++tap) {
    const std::size_t shift = (tap * delay) % frames;
    for (std::size_t i = 0; i < frames; ++i) {
      const std::size_t from = (i + frames - shift) % frames;
      for (int channel = 0; channel < audio.channels; ++channel) {
        // In stereo the repeats bounce from side to side.
        const int source = audio.channels == 2 ? (channel + static_cast<int>(tap)) % 2 : channel;
        audio.at(i, channel) += static_cast<float>(level * dry.at(from, source));
      }
    }
    level *= echo.feedback;
  }
}

void render_phrase(const Phrase& phrase, const Patch& patch, int first_step, double step_seconds,
                   Audio& audio, std::uint32_t& seed) {
  const double frames_per_step = step_seconds * audio.rate;
  for (const PhraseNote& written : phrase.notes) {
    NoteEvent note;
    note.start =
        static_cast<std::size_t>(std::llround((first_step + written.step) * frames_per_step));
    note.gate = written.length * step_seconds * patch.gate;
    if (written.freqs.empty()) {
      note.freq = patch.freq;
      note.freq_to = patch.freq_to;
      render_note(patch, note, audio, true, seed++);
    }
    for (double freq : written.freqs) {
      note.freq = freq;
      render_note(patch, note, audio, true, seed++);
    }
  }
}

}  // namespace

int parse_pitch(const std::string& word) {
  static const int kOffsets[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  if (word.size() < 2 || word[0] < 'a' || word[0] > 'g') return -1;
  int semitone = kOffsets[word[0] - 'a'];
  std::size_t at = 1;
  if (word[at] == '#') {
    ++semitone;
    ++at;
  } else if (word[at] == 'b' && at + 1 < word.size()) {
    --semitone;
    ++at;
  }
  if (at + 1 != word.size() || word[at] < '0' || word[at] > '8') return -1;
  return 12 * (word[at] - '0' + 1) + semitone;
}

Score parse_score(const std::string& text, const std::string& source) {
  Score score;
  Reader reader{source, score};
  const auto lines = split_lines(text);
  for (std::size_t at = 0; at < lines.size(); ++at) {
    const Line& line = lines[at];
    const std::string& key = line.words[0];
    if (read_output_setting(source, line, score.settings)) continue;
    if (key == "tempo" && line.words.size() == 2) {
      score.tempo = read_number(source, line, line.words[1]);
      if (score.tempo < 20.0 || score.tempo > 400.0)
        throw SourceError(source, line.number, "tempo must be 20 to 400");
    } else if (key == "beats_per_bar" && line.words.size() == 2) {
      score.beats_per_bar = reader.whole(line, line.words[1], 1, 16);
    } else if (key == "steps_per_beat" && line.words.size() == 2) {
      score.steps_per_beat = reader.whole(line, line.words[1], 1, 16);
    } else if (key == "echo") {
      reader.read_echo(line);
    } else if (key == "instrument") {
      reader.read_instrument(line);
    } else if (key == "phrase") {
      at = reader.read_phrase(lines, at);
    } else if (key == "song") {
      at = reader.read_song(lines, at);
    } else {
      throw SourceError(source, line.number, "unknown line '" + key + "'");
    }
  }
  if (score.sections.empty()) throw SourceError(source, 0, "no song");
  return score;
}

int song_steps(const Score& score) {
  int steps = 0;
  for (const auto& section : score.sections) steps += section_steps(score, section);
  return steps;
}

Audio render_score(const Score& score) {
  const auto& settings = score.settings;
  const double step_seconds = 60.0 / (score.tempo * score.steps_per_beat);
  const double seconds = song_steps(score) * step_seconds;
  if (seconds > kLongestSong) throw std::runtime_error("the song is longer than 20 minutes");
  const auto frames = static_cast<std::size_t>(std::llround(seconds * settings.rate));
  Audio dry(settings.rate, settings.channels, frames);
  Audio sent(settings.rate, settings.channels, frames);
  std::uint32_t seed = 1;
  int section_start = 0;
  for (const auto& section : score.sections) {
    const int length = section_steps(score, section);
    for (std::size_t index : section) {
      const Phrase& phrase = score.phrases[index];
      for (std::size_t layer : phrase.instruments) {
        const Instrument& instrument = score.instruments[layer];
        for (int repeat = 0; repeat < length; repeat += phrase.length)
          render_phrase(phrase, instrument.patch, section_start + repeat, step_seconds,
                        instrument.echo ? sent : dry, seed);
      }
    }
    section_start += length;
  }
  add_circular_echo(sent, score.echo);
  for (std::size_t i = 0; i < dry.samples.size(); ++i) dry.samples[i] += sent.samples[i];
  remove_dc(dry);
  if (settings.peak > 0.0) normalise_peak(dry, settings.peak);
  return dry;
}

}  // namespace soundgen
