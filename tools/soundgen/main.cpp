// soundgen <source.sfx|source.score> <output.wav|output.ogg>
// Renders one of our sound sources and writes it as PCM WAV or Ogg Vorbis. A score is music
// that loops, so its seam is checked before anything is written.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "effect.h"
#include "file_io.h"
#include "levels.h"
#include "score.h"
#include "vorbis_out.h"
#include "wav.h"

namespace {

using namespace soundgen;

struct Rendered {
  Audio audio;
  OutputSettings settings;
};

Rendered render(const std::filesystem::path& path) {
  const std::string text = read_text_file(path.string());
  const std::string name = path.filename().string();
  if (path.extension() == ".sfx") {
    const Effect effect = parse_effect(text, name);
    return {render_effect(effect), effect.settings};
  }
  if (path.extension() == ".score") {
    const Score score = parse_score(text, name);
    Rendered rendered{render_score(score), score.settings};
    // Ten milliseconds either side of the wrap must move at least as much as the wrap does.
    const auto window = static_cast<std::size_t>(rendered.audio.rate / 100);
    if (!loop_seam_is_smooth(rendered.audio, window))
      throw std::runtime_error(name + ": the loop's end does not meet its start smoothly");
    return rendered;
  }
  throw std::runtime_error(name + ": expected a .sfx or .score source");
}

void write(const std::filesystem::path& path, const Rendered& rendered) {
  if (path.extension() == ".wav")
    write_wav(path.string(), rendered.audio, rendered.settings.bits);
  else if (path.extension() == ".ogg")
    write_ogg_vorbis(path.string(), rendered.audio, rendered.settings.quality,
                     path.stem().string());
  else
    throw std::runtime_error(path.string() + ": expected a .wav or .ogg output");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: soundgen <source.sfx|source.score> <output.wav|output.ogg>\n");
    return 2;
  }
  try {
    const Rendered rendered = render(argv[1]);
    write(argv[2], rendered);
    const Audio& audio = rendered.audio;
    std::printf("%s: %.3f s, %d Hz, %d channel(s), peak %.1f dBFS\n",
                std::filesystem::path(argv[2]).filename().c_str(),
                static_cast<double>(audio.frames()) / audio.rate, audio.rate, audio.channels,
                20.0 * std::log10(std::max(peak_level(audio), 1e-9)));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "soundgen: %s\n", error.what());
    return 1;
  }
  return 0;
}
