// A game frame on the headless back end with many scripted events still to come, as in a replay
// of a whole game: 400 pictures, 8 key queries, the frame timer, present and clear, with neither
// pixels nor the draw log kept. The cost of a frame must not grow with the events pending.
#include <benchmark/benchmark.h>

#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/input.h"
#include "media/media.h"

namespace {

constexpr int pictures_per_frame = 400;
constexpr int far_frame = 1'000'000'000;
constexpr std::int32_t far_ms = 1'000'000'000;

media::Image small_picture() {
  media::TPixmap p(32, 32, media::PixelFormat::rgba8);
  for (std::size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<std::uint8_t>(i);
  return media::image_from_pixmap(std::move(p), 0);
}

void run_frame(const media::Image& picture, const media::Timer& timer) {
  for (int i = 0; i < pictures_per_frame; ++i) {
    media::DrawImage(picture, static_cast<float>((i * 37) % 992),
                     static_cast<float>((i * 53) % 736));
  }
  int held = 0;
  for (int key : {37, 38, 39, 40, 16, 32, 27, 13}) held += media::KeyDown(key);
  benchmark::DoNotOptimize(held);
  media::WaitTimer(timer);
  media::Flip(-1);
  media::Cls();
}

// Events are spread over distinct far-off frames or times, so none comes due while measuring.
void run_frames(benchmark::State& state, bool by_time) {
  media::HeadlessBackend& hb = media::use_headless();
  media::Graphics(1024, 768, 32, 60, 0);
  hb.set_rasterise(false);
  hb.set_draw_log(false);
  auto pending = static_cast<int>(state.range(0));
  for (int i = 0; i < pending; ++i) {
    media::InputEvent key{media::InputEvent::Type::key_down, 37 + i % 4};
    if (by_time) {
      hb.inject_at_time(far_ms + i, key);
    } else {
      hb.inject_at_frame(far_frame + i, key);
    }
  }
  media::Image picture = small_picture();
  media::Timer timer = media::CreateTimer(60);
  for (auto _ : state) run_frame(picture, timer);
  if (hb.pending_events() < static_cast<std::size_t>(pending)) state.SkipWithError("events lost");
}

void BM_FrameWithEventsPendingByFrame(benchmark::State& state) {
  run_frames(state, false);
}
void BM_FrameWithEventsPendingByTime(benchmark::State& state) {
  run_frames(state, true);
}

}  // namespace

BENCHMARK(BM_FrameWithEventsPendingByFrame)
    ->Arg(0)
    ->Arg(5000)
    ->Arg(50000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameWithEventsPendingByTime)
    ->Arg(0)
    ->Arg(5000)
    ->Arg(50000)
    ->Unit(benchmark::kMicrosecond);
