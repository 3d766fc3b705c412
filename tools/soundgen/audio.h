// Rendered audio as the synthesiser keeps it: interleaved float samples in [-1, 1].
#pragma once

#include <cstddef>
#include <vector>

namespace soundgen {

struct Audio {
  int rate = 44100;
  int channels = 1;
  std::vector<float> samples;  // frame after frame, channel after channel within a frame

  Audio() = default;
  Audio(int rate_hz, int channel_count, std::size_t frame_count)
      : rate(rate_hz), channels(channel_count), samples(frame_count * channel_count, 0.0f) {}

  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
  float& at(std::size_t frame, int channel) { return samples[frame * channels + channel]; }
  float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

}  // namespace soundgen
