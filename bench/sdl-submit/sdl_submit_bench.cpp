// What it costs to hand pictures to the real back end, against SDL itself on the same renderer.
// Needs a display: run.sh beside this file starts a virtual X server and runs it there.
//   sdl_submit_bench [runs]   (default 15)
//
// Four ways of drawing N pictures of S x S pixels, alpha-blended:
//   ours   the media layer's DrawImage at white, full alpha, blend mode 3
//   raw    the same picture as an SDL texture, one SDL_RenderGeometry of a quad per picture, its
//          four corners filled in per picture
// each with every picture on the back buffer, and with every picture wholly off it.
// The clock is the process's CPU time (every thread, the driver's included). Each run of a way
// starts with the renderer drained (a one-pixel read that waits for all drawing, not timed), then
// times the N calls ("the calls alone") and the calls with the SDL_RenderFlush after them, which
// sends SDL's batch to the driver ("calls + flush"). Runs of the four ways take turns, each
// round starting from the next way, and every figure is the median of its runs, per picture in
// nanoseconds. "ratio" is ours over raw; "on/off" is ours on the back buffer over ours off it,
// both with the flush, which is what a picture costs a frame.
#include <SDL2/SDL.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "media/display.h"
#include "media/image.h"
#include "media/media.h"
#include "media/sdl/sdl_backend.h"
#include "media/system.h"

namespace {

double cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A sprite-like picture: colours across, a see-through corner and a soft edge.
media::TPixmap sprite(int size) {
  media::TPixmap p(size, size, media::PixelFormat::rgba8);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint8_t* px = p.row(y) + x * 4;
      px[0] = static_cast<std::uint8_t>(x * 255 / size);
      px[1] = static_cast<std::uint8_t>(y * 255 / size);
      px[2] = 90;
      px[3] = static_cast<std::uint8_t>(x + y < size / 2 ? 0 : x > size - 4 ? 128 : 255);
    }
  }
  return p;
}

SDL_Texture* raw_texture(SDL_Renderer* renderer, const media::TPixmap& p) {
  SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                     p.width, p.height);
  if (!t) return nullptr;
  SDL_UpdateTexture(t, nullptr, p.pixels.data(), p.pitch);
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
  return t;
}

struct Point {
  float x, y;
};

// Spread over the back buffer, wholly inside it.
std::vector<Point> on_screen(int count, int size) {
  std::vector<Point> out;
  std::uint32_t seed = 12345;
  auto next = [&](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>((seed >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int i = 0; i < count; ++i) out.push_back({next(1024 - size), next(768 - size)});
  return out;
}

// The same pattern moved wholly past each of the four sides in turn, as a level's far objects.
std::vector<Point> off_screen(int count, int size) {
  std::vector<Point> out = on_screen(count, size);
  for (std::size_t i = 0; i < out.size(); ++i) {
    switch (i % 4) {
      case 0:
        out[i].x -= 1024 + 2000;
        break;
      case 1:
        out[i].x += 1024 + 2000;
        break;
      case 2:
        out[i].y -= 768 + 2000;
        break;
      default:
        out[i].y += 768 + 2000;
        break;
    }
  }
  return out;
}

class Bench {
 public:
  explicit Bench(SDL_Renderer* renderer) : renderer_(renderer) {}

  void draw_image(const media::Image& image, const std::vector<Point>& at) const {
    for (const Point& p : at) media::DrawImage(image, p.x, p.y);
  }

  void draw_raw(SDL_Texture* texture, int size, const std::vector<Point>& at) const {
    static const int quad[6] = {0, 1, 2, 0, 2, 3};
    const SDL_Color white{255, 255, 255, 255};
    const auto s = static_cast<float>(size);
    for (const Point& p : at) {
      const SDL_Vertex v[4] = {{{p.x, p.y}, white, {0, 0}},
                               {{p.x + s, p.y}, white, {1, 0}},
                               {{p.x + s, p.y + s}, white, {1, 1}},
                               {{p.x, p.y + s}, white, {0, 1}}};
      SDL_RenderGeometry(renderer_, texture, v, 4, quad, 6);
    }
  }

  void flush() const { SDL_RenderFlush(renderer_); }

  // Waits until the renderer has drawn everything it was given.
  void drain() const {
    std::uint32_t pixel = 0;
    SDL_Rect one{0, 0, 1, 1};
    SDL_RenderReadPixels(renderer_, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
  }

 private:
  SDL_Renderer* renderer_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Per picture in nanoseconds: the calls alone, and the calls with the flush after them.
struct Cost {
  double calls, flushed;
};

// The median CPU time of each way. Their runs are taken in turn, each run starting from the next
// way, so none always follows the same one.
std::vector<Cost> per_picture(const Bench& bench, int runs, int count,
                              const std::vector<std::function<void()>>& ways) {
  const std::size_t n = ways.size();
  std::vector<std::vector<double>> calls(n), flushed(n);
  for (int run = -1; run < runs; ++run) {  // run -1 makes the textures and warms the caches
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = (k + static_cast<std::size_t>(run + 1)) % n;
      bench.drain();
      const double start = cpu_seconds();
      ways[i]();
      const double submitted = cpu_seconds();
      bench.flush();
      const double done = cpu_seconds();
      if (run >= 0) {
        calls[i].push_back((submitted - start) * 1e9 / count);
        flushed[i].push_back((done - start) * 1e9 / count);
      }
    }
  }
  std::vector<Cost> out;
  for (std::size_t i = 0; i < n; ++i) out.push_back({median(calls[i]), median(flushed[i])});
  return out;
}

void measure(const Bench& bench, SDL_Renderer* renderer, int runs, int size, int count) {
  media::Image image = media::image_from_pixmap(sprite(size), 0);
  SDL_Texture* texture = raw_texture(renderer, image->pixmaps[0]);
  if (!texture) {
    std::fprintf(stderr, "no SDL texture: %s\n", SDL_GetError());
    return;
  }
  const std::vector<Point> on = on_screen(count, size), off = off_screen(count, size);
  const std::vector<Cost> c = per_picture(
      bench, runs, count,
      {[&] { bench.draw_image(image, on); }, [&] { bench.draw_raw(texture, size, on); },
       [&] { bench.draw_image(image, off); }, [&] { bench.draw_raw(texture, size, off); }});
  std::printf("%4d %6d | %6.0f %6.0f %5.2fx | %6.0f %6.0f %5.2fx | %6.1f %6.0f %6.1fx\n", size,
              count, c[0].calls, c[1].calls, c[0].calls / c[1].calls, c[0].flushed, c[1].flushed,
              c[0].flushed / c[1].flushed, c[2].flushed, c[3].flushed, c[0].flushed / c[2].flushed);
  SDL_DestroyTexture(texture);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  media::use_sdl();
  media::Graphics(1024, 768, 0, 60, 0);
  SDL_Renderer* renderer = media::detail::sdl_renderer();
  SDL_RendererInfo info{};
  if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) {
    std::fprintf(stderr, "the sdl back end has no renderer\n");
    return 1;
  }
  std::printf("renderer %s; CPU time per picture in ns, median of %d runs of N pictures\n",
              info.name, runs);
  std::printf(
      "            |  the calls alone    |  calls + flush      |  wholly off screen, + flush\n");
  std::printf("size      N | ours    raw  ratio  | ours    raw  ratio  | ours    raw   on/off\n");
  media::SetBlend(3);
  const Bench bench(renderer);
  for (int size : {32, 64}) {
    for (int count : {1000, 10000}) measure(bench, renderer, runs, size, count);
  }
  media::End();
}
