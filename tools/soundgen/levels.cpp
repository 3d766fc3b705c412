#include "levels.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

void remove_dc(Audio& audio) {
  const std::size_t frames = audio.frames();
  if (frames == 0) return;
  for (int channel = 0; channel < audio.channels; ++channel) {
    double sum = 0.0;
    for (std::size_t i = 0; i < frames; ++i) sum += audio.at(i, channel);
    const float mean = static_cast<float>(sum / frames);
    for (std::size_t i = 0; i < frames; ++i) audio.at(i, channel) -= mean;
  }
}

double peak_level(const Audio& audio) {
  double peak = 0.0;
  for (float sample : audio.samples) peak = std::max(peak, std::fabs(static_cast<double>(sample)));
  return peak;
}

void normalise_peak(Audio& audio, double peak) {
  const double loudest = peak_level(audio);
  if (loudest <= 0.0) return;
  const double scale = peak / loudest;
  for (float& sample : audio.samples) sample = static_cast<float>(sample * scale);
}

bool loop_seam_is_smooth(const Audio& audio, std::size_t window) {
  const std::size_t frames = audio.frames();
  if (frames < 2 * window + 2) return false;
  for (int channel = 0; channel < audio.channels; ++channel) {
    const double seam = std::fabs(audio.at(0, channel) - audio.at(frames - 1, channel));
    double biggest = 0.0;
    for (std::size_t i = 0; i < window; ++i) {
      biggest = std::max(
          biggest, std::fabs(static_cast<double>(audio.at(i + 1, channel)) - audio.at(i, channel)));
      const std::size_t tail = frames - 2 - i;
      biggest = std::max(biggest, std::fabs(static_cast<double>(audio.at(tail + 1, channel)) -
                                            audio.at(tail, channel)));
    }
    if (seam > biggest + 1e-6) return false;
  }
  return true;
}

}  // namespace soundgen
