// How fast the Ogg Vorbis loader decodes music, and how much memory a minute of it takes once
// decoded (the game keeps its music decoded for the whole run).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "media/decode/sound_decode.h"
#include "support/ogg_writer.h"

namespace {

constexpr int music_rate = 44100;
constexpr long music_seconds = 60;

// Something like music for the encoder: a bass, a chord that changes each second and a little
// noise for percussion, so the decoder has as much to do as with a real tune.
float music(int channel, long frame) {
  static const double roots[] = {110.0, 146.8, 164.8, 130.8};
  const double t = static_cast<double>(frame) / music_rate;
  const double root = roots[(frame / music_rate) % 4];
  double v = 0.3 * std::sin(2 * M_PI * root * t);
  for (double ratio : {2.0, 2.52, 3.0}) v += 0.12 * std::sin(2 * M_PI * root * ratio * t + channel);
  std::uint32_t noise = static_cast<std::uint32_t>(frame) * 1664525u + 1013904223u;
  v += 0.05 * ((noise >> 8) / 16777216.0 - 0.5) * std::exp(-8.0 * std::fmod(t, 0.5));
  return static_cast<float>(v);
}

const std::vector<unsigned char>& one_minute_of_music() {
  static const std::vector<unsigned char> ogg =
      test_support::encode_ogg(2, music_rate, music_seconds * music_rate, 0.4f, music);
  return ogg;
}

void BM_OggDecodeMusic(benchmark::State& state) {
  const std::vector<unsigned char>& ogg = one_minute_of_music();
  std::size_t decoded = 0;
  for (auto _ : state) {
    auto sample = media::detail::decode_ogg(ogg.data(), ogg.size());
    if (!sample) {
      state.SkipWithError("the music did not decode");
      return;
    }
    decoded = sample->bytes.size();
    benchmark::DoNotOptimize(sample->bytes.data());
  }
  state.counters["audio_s_per_s"] = benchmark::Counter(
      static_cast<double>(music_seconds) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  state.counters["decoded_MiB_per_min"] = static_cast<double>(decoded) / (1024.0 * 1024.0);
  state.counters["ogg_KiB_per_min"] = static_cast<double>(ogg.size()) / 1024.0;
}
BENCHMARK(BM_OggDecodeMusic)->Unit(benchmark::kMillisecond);

}  // namespace
