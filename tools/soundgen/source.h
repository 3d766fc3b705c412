// Reading the text sources: lines of words, a word starting with '#' begins a comment, and
// errors name the file and line.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "synth.h"

namespace soundgen {

struct Line {
  int number = 0;
  std::vector<std::string> words;
};

// Blank and comment-only lines are left out.
std::vector<Line> split_lines(const std::string& text);

// Carries "<source>:<line>: <message>"; line 0 is the source as a whole.
class SourceError : public std::runtime_error {
 public:
  SourceError(const std::string& source, int line, const std::string& message);
};

// What every source may say about the file it becomes.
struct OutputSettings {
  int rate = 44100;
  int channels = 1;
  int bits = 16;         // WAV only
  double peak = 0.0;     // scale so the loudest sample reaches this; 0 keeps the levels
  double quality = 0.4;  // Ogg Vorbis only
};

// Handles "rate", "channels", "bits", "peak" and "quality" lines; false for any other line.
bool read_output_setting(const std::string& source, const Line& line, OutputSettings& settings);

// "key=value" words from words[first] on.
std::map<std::string, std::string> read_parameters(const std::string& source, const Line& line,
                                                   std::size_t first);

// Consumes the patch keys from the parameters; keys left over are the caller's to judge.
Patch take_patch(const std::string& source, const Line& line,
                 std::map<std::string, std::string>& parameters);

double read_number(const std::string& source, const Line& line, const std::string& word);

// Fails on the first parameter nobody took, so a misspelt key is not silently ignored.
void reject_leftovers(const std::string& source, const Line& line,
                      const std::map<std::string, std::string>& parameters);

}  // namespace soundgen
