// Draws one scene that uses every blend mode, flat shapes, pictures nearest and filtered, turned
// and mirrored, and mask mode's alpha test on a picture at two drawing alphas; on the headless back
// end it saves the frame as a PNG, on the real one it shows it in a 1024 x 768 window until the
// window is closed, after making the renderer report its textures lost a few frames in. run.sh
// compares the two pictures.
//   backend_compare headless <out.png>
//   backend_compare sdl
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

#include "media/display.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

using namespace media;

// Colour ramps across, alpha fading down the right half.
TPixmap ramp_picture() {
  TPixmap p(32, 32, PixelFormat::rgba8);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      std::uint8_t* px = p.row(y) + x * 4;
      px[0] = static_cast<std::uint8_t>(x * 8);
      px[1] = static_cast<std::uint8_t>(y * 8);
      px[2] = 128;
      px[3] = static_cast<std::uint8_t>(x < 16 ? 255 : y * 8);
    }
  }
  return p;
}

// One colour, texel alpha 200 throughout.
TPixmap veil_picture() {
  TPixmap p(48, 48, PixelFormat::rgba8);
  for (std::size_t i = 0; i < p.pixels.size(); i += 4) {
    p.pixels[i] = 250;
    p.pixels[i + 1] = 60;
    p.pixels[i + 2] = 200;
    p.pixels[i + 3] = 200;
  }
  return p;
}

struct Pictures {
  TPixmap ramp = ramp_picture();
  TPixmap veil = veil_picture();
  TextureSlot nearest, filtered, veiled;
};

void draw_scene(Pictures& p) {
  SetBlend(2);
  SetColor(60, 90, 120);
  DrawRect(0, 0, 1024, 768);
  for (int mode = 1; mode <= 5; ++mode) {
    auto x = static_cast<float>(20 + mode * 150);
    SetBlend(mode);
    SetColor(255, 200, 100);
    SetAlpha(0.6f);
    DrawRect(x, 20, 100, 60);
    SetColor(255, 255, 255);
    SetAlpha(1);
    DrawOval(x, 100, 100, 60);
    detail::draw_textured_quad(p.ramp, p.nearest, 0, 0, 0, 96, 96, x, 200);
    SetRotation(30);
    SetScale(-1.5f, 1);
    detail::draw_textured_quad(p.ramp, p.filtered, 2, 0, 0, 64, 64, x + 80, 350);
    SetRotation(0);
    SetScale(1, 1);
  }
  // Mask mode tests the texel's alpha times the drawing alpha against 128: 200 at 0.6 is 120 and
  // leaves no mark, at 0.7 it is 140 and draws.
  SetBlend(1);
  SetAlpha(0.6f);
  detail::draw_textured_quad(p.veil, p.veiled, 0, 0, 0, 48, 48, 100, 600);
  SetAlpha(0.7f);
  detail::draw_textured_quad(p.veil, p.veiled, 0, 0, 0, 48, 48, 200, 600);
  SetAlpha(1);
}

// As a driver does when the device was reset: the picture must come back the same.
void lose_textures() {
  SDL_Event e{};
  e.type = SDL_RENDER_TARGETS_RESET;
  SDL_PushEvent(&e);
  e.type = SDL_RENDER_DEVICE_RESET;
  SDL_PushEvent(&e);
}

}  // namespace

int main(int argc, char** argv) {
  std::string where = argc > 1 ? argv[1] : "";
  if (where != "sdl" && !(where == "headless" && argc > 2)) {
    std::fprintf(stderr, "usage: backend_compare headless <out.png> | backend_compare sdl\n");
    return 2;
  }
  Pictures pictures;
  if (where == "headless") {
    HeadlessBackend& hb = use_headless();
    Graphics(1024, 768, 0, 60, 0);
    draw_scene(pictures);
    Flip(0);
    return hb.save_png(argv[2]) ? 0 : 1;
  }
  use_sdl();
  Graphics(1024, 768, 0, 60, 0);
  Timer timer = CreateTimer(60);
  for (int frame = 0;; ++frame) {  // until the window is closed
    if (frame == 10) lose_textures();
    draw_scene(pictures);
    WaitTimer(timer);
    Flip(-1);
  }
}
