// Picture loading speed per megapixel, and the menu's pointer-versus-item collision test, upright
// and turned.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "media/display.h"
#include "media/image.h"
#include "media/media.h"
#include "support/picture_writer.h"

namespace {

constexpr int side = 1024;  // one megapixel per picture

// A backdrop-like picture: smooth gradients with some fine detail, so neither decoder gets an
// unrealistically easy ride.
test_support::Bytes backdrop_pixels() {
  test_support::Bytes rgb;
  rgb.reserve(static_cast<std::size_t>(side) * side * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const auto grain = static_cast<std::uint8_t>(noise >> 28);
      rgb.push_back(static_cast<std::uint8_t>(x / 4 + grain));
      rgb.push_back(static_cast<std::uint8_t>(y / 4 + grain));
      rgb.push_back(static_cast<std::uint8_t>((x + y) / 8));
    }
  return rgb;
}

std::string write_picture(const std::string& name, const test_support::Bytes& bytes) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("hedgerow-image-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

void load_megapixels(benchmark::State& state, const std::string& path) {
  media::use_headless();
  for (auto _ : state) benchmark::DoNotOptimize(media::LoadImage(path, 3));
  state.counters["megapixels/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * side * side / 1e6, benchmark::Counter::kIsRate);
  std::filesystem::remove(path);
}

void BM_LoadPng(benchmark::State& state) {
  load_megapixels(state, write_picture("backdrop.png",
                                       test_support::encode_png(side, side, 3, backdrop_pixels())));
}

void BM_LoadJpeg(benchmark::State& state) {
  load_megapixels(state, write_picture("backdrop.jpg", test_support::encode_jpeg(
                                                           side, side, 3, backdrop_pixels())));
}

// The menu's pointer: solid below its diagonal, so the tip is its top-left pixel.
media::Image pointer() {
  media::TPixmap p(32, 32, media::PixelFormat::rgba8);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) p.row(y)[4 * x + 3] = x <= y ? 255 : 0;
  return media::image_from_pixmap(std::move(p), 3);
}

// A menu item: a signboard with a see-through strip down its left end.
media::Image menu_item() {
  media::TPixmap p(250, 50, media::PixelFormat::rgba8);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 250; ++x) p.row(y)[4 * x + 3] = x < 40 ? 0 : 255;
  return media::image_from_pixmap(std::move(p), 3);
}

void collide(benchmark::State& state, int pointer_x, int pointer_y, int expected, float degrees = 0,
             float scale_x = 1, float scale_y = 1) {
  media::use_headless();
  media::SetRotation(degrees);
  media::SetScale(scale_x, scale_y);
  const media::Image arrow = pointer();
  const media::Image item = menu_item();
  for (auto _ : state) {
    if (media::ImagesCollide(arrow, pointer_x, pointer_y, 0, item, 300, 400, 0) != expected)
      state.SkipWithError("unexpected collision result");
  }
}

// The pointer's tip on the solid part of the item: found on the first pixel scanned.
void BM_CollidePointerHit(benchmark::State& state) {
  collide(state, 420, 410, 1);
}

// The pointer wholly over the see-through strip: every overlapping pixel is scanned.
void BM_CollidePointerMiss(benchmark::State& state) {
  collide(state, 303, 405, 0);
}

// Both turned and scaled, the pointer over the see-through strip: every scanline follows slanted
// edges.
void BM_CollideTurnedPointerMiss(benchmark::State& state) {
  collide(state, 294, 430, 0, 30, 1.5f, 1.25f);
}

BENCHMARK(BM_LoadPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollidePointerHit);
BENCHMARK(BM_CollidePointerMiss);
BENCHMARK(BM_CollideTurnedPointerMiss);

}  // namespace
