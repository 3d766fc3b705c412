#include "source.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace soundgen {
namespace {

Wave read_wave(const std::string& source, const Line& line, const std::string& name) {
  if (name == "sine") return Wave::sine;
  if (name == "pulse" || name == "square") return Wave::pulse;
  if (name == "triangle") return Wave::triangle;
  if (name == "saw") return Wave::saw;
  if (name == "noise") return Wave::noise;
  throw SourceError(source, line.number, "unknown wave '" + name + "'");
}

FilterMode read_filter(const std::string& source, const Line& line, const std::string& name) {
  if (name == "none") return FilterMode::none;
  if (name == "lowpass") return FilterMode::lowpass;
  if (name == "bandpass") return FilterMode::bandpass;
  if (name == "highpass") return FilterMode::highpass;
  throw SourceError(source, line.number, "unknown filter '" + name + "'");
}

int read_whole(const std::string& source, const Line& line, const std::string& word) {
  const double value = read_number(source, line, word);
  if (value != std::floor(value) || value < 1 || value > 1e6)
    throw SourceError(source, line.number, "'" + word + "' is not a sensible whole number");
  return static_cast<int>(value);
}

// "file:line: message", or "file: message" when no line is known. Built by appending: GCC 12 at
// -O3 warns falsely (-Wrestrict) about `":" + std::to_string(line)`.
std::string located(const std::string& source, int line, const std::string& message) {
  std::string text = source;
  if (line > 0) {
    text += ':';
    text += std::to_string(line);
  }
  text += ": ";
  text += message;
  return text;
}

}  // namespace

SourceError::SourceError(const std::string& source, int line, const std::string& message)
    : std::runtime_error(located(source, line, message)) {}

std::vector<Line> split_lines(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    std::istringstream words(raw);
    Line line{number, {}};
    // Only a word that starts with '#' opens a comment: "f#4" is a pitch.
    for (std::string word; words >> word && word[0] != '#';) line.words.push_back(word);
    if (!line.words.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

double read_number(const std::string& source, const Line& line, const std::string& word) {
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0' || !std::isfinite(value))
    throw SourceError(source, line.number, "'" + word + "' is not a number");
  return value;
}

bool read_output_setting(const std::string& source, const Line& line, OutputSettings& settings) {
  const std::string& key = line.words[0];
  if (key != "rate" && key != "channels" && key != "bits" && key != "peak" && key != "quality")
    return false;
  if (line.words.size() != 2) throw SourceError(source, line.number, key + " takes one value");
  const std::string& value = line.words[1];
  if (key == "rate") {
    settings.rate = read_whole(source, line, value);
    if (settings.rate < 8000 || settings.rate > 96000)
      throw SourceError(source, line.number, "rate must be 8000 to 96000");
  } else if (key == "channels") {
    settings.channels = read_whole(source, line, value);
    if (settings.channels > 2) throw SourceError(source, line.number, "channels must be 1 or 2");
  } else if (key == "bits") {
    settings.bits = read_whole(source, line, value);
    if (settings.bits != 8 && settings.bits != 16)
      throw SourceError(source, line.number, "bits must be 8 or 16");
  } else if (key == "peak") {
    settings.peak = read_number(source, line, value);
    if (settings.peak <= 0.0 || settings.peak > 1.0)
      throw SourceError(source, line.number, "peak must be above 0 and at most 1");
  } else {
    settings.quality = read_number(source, line, value);
    if (settings.quality < -0.1 || settings.quality > 1.0)
      throw SourceError(source, line.number, "quality must be -0.1 to 1");
  }
  return true;
}

std::map<std::string, std::string> read_parameters(const std::string& source, const Line& line,
                                                   std::size_t first) {
  std::map<std::string, std::string> parameters;
  for (std::size_t i = first; i < line.words.size(); ++i) {
    const std::string& word = line.words[i];
    const auto equals = word.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == word.size())
      throw SourceError(source, line.number, "expected key=value, found '" + word + "'");
    if (!parameters.emplace(word.substr(0, equals), word.substr(equals + 1)).second)
      throw SourceError(source, line.number, "'" + word.substr(0, equals) + "' given twice");
  }
  return parameters;
}

Patch take_patch(const std::string& source, const Line& line,
                 std::map<std::string, std::string>& parameters) {
  Patch patch;
  const std::map<std::string, double*> numbers = {
      {"duty", &patch.duty},
      {"attack", &patch.attack},
      {"decay", &patch.decay},
      {"sustain", &patch.sustain},
      {"release", &patch.release},
      {"gain", &patch.gain},
      {"pan", &patch.pan},
      {"vibrato_rate", &patch.vibrato_rate},
      {"vibrato_depth", &patch.vibrato_depth},
      {"vibrato_delay", &patch.vibrato_delay},
      {"detune", &patch.detune},
      {"freq", &patch.freq},
      {"freq_to", &patch.freq_to},
      {"sweep_time", &patch.sweep_time},
      {"cutoff", &patch.cutoff},
      {"cutoff_to", &patch.cutoff_to},
      {"resonance", &patch.resonance},
      {"gate", &patch.gate},
  };
  for (auto it = parameters.begin(); it != parameters.end();) {
    const auto number = numbers.find(it->first);
    if (number != numbers.end()) {
      *number->second = read_number(source, line, it->second);
    } else if (it->first == "wave") {
      patch.wave = read_wave(source, line, it->second);
    } else if (it->first == "filter") {
      patch.filter = read_filter(source, line, it->second);
    } else {
      ++it;
      continue;
    }
    it = parameters.erase(it);
  }
  const auto within = [](double value, double low, double high) {
    return value >= low && value <= high;
  };
  if (!within(patch.attack, 0.0, 60.0) || !within(patch.decay, 0.0, 60.0) ||
      !within(patch.release, 0.0, 60.0) || !within(patch.sustain, 0.0, 1.0))
    throw SourceError(source, line.number, "envelope out of range (times up to 60 s)");
  if (!within(patch.freq, 0.0, 20000.0) || !within(patch.freq_to, 0.0, 20000.0) ||
      !within(patch.gate, 0.01, 4.0))
    throw SourceError(source, line.number, "pitch or gate out of range");
  return patch;
}

void reject_leftovers(const std::string& source, const Line& line,
                      const std::map<std::string, std::string>& parameters) {
  if (!parameters.empty())
    throw SourceError(source, line.number, "unknown parameter '" + parameters.begin()->first + "'");
}

}  // namespace soundgen
