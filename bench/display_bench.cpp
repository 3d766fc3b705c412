// The headless rasteriser: a frame of 1000 alpha-blended 64 x 64 pictures, as a busy level draws,
// with pixels and with the draw log only.
#include <benchmark/benchmark.h>

#include "media/display.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

media::TPixmap checker_pixmap() {
  media::TPixmap p(64, 64, media::PixelFormat::rgba8);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      std::uint8_t* px = p.row(y) + x * 4;
      bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      px[0] = dark ? 40 : 220;
      px[1] = 160;
      px[2] = dark ? 90 : 30;
      px[3] = (x + y) % 5 == 0 ? 0 : 255;
    }
  }
  return p;
}

// flags < 0: flat rectangles instead of the picture.
void draw_frame(const media::TPixmap& pixmap, media::TextureSlot& slot, int flags) {
  for (int i = 0; i < 1000; ++i) {
    auto x = static_cast<float>((i * 37) % 960);
    auto y = static_cast<float>((i * 53) % 704);
    if (flags < 0) {
      media::DrawRect(x, y, 64, 64);
    } else {
      media::detail::draw_textured_quad(pixmap, slot, flags, 0, 0, 64, 64, x, y);
    }
  }
  media::Flip(0);
  media::Cls();
}

void run_frames(benchmark::State& state, bool rasterise, int flags) {
  media::HeadlessBackend& hb = media::use_headless();
  media::Graphics(1024, 768, 32, 60, 0);
  media::SetBlend(3);
  hb.set_rasterise(rasterise);
  media::TPixmap pixmap = checker_pixmap();
  media::TextureSlot slot;
  for (auto _ : state) draw_frame(pixmap, slot, flags);
  state.SetItemsProcessed(state.iterations() * 1000);
}

void BM_ThousandPicturesNearest(benchmark::State& state) {
  run_frames(state, true, 0);
}
void BM_ThousandPicturesFiltered(benchmark::State& state) {
  run_frames(state, true, 2);
}
void BM_ThousandPicturesLogOnly(benchmark::State& state) {
  run_frames(state, false, 0);
}
void BM_ThousandRectangles(benchmark::State& state) {
  run_frames(state, true, -1);
}

}  // namespace

BENCHMARK(BM_ThousandPicturesNearest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandPicturesFiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandPicturesLogOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandRectangles)->Unit(benchmark::kMillisecond);
