// One frame drawn through the media layer on the headless back end and saved as a PNG.
// Each row of the frame shows one drawing feature; add a row by adding a function to `rows`.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/media.h"
#include "media/text.h"

namespace {

constexpr int row_height = 120;
constexpr float first_column = 80.0f;
constexpr float column_step = 100.0f;

struct Pictures {
  media::Image badge;   // carries its own alpha: a soft-edged disc with an arrow pointing right
  media::Image masked;  // no alpha: a diamond on a magenta ground that the mask colour removes
};

void put(media::TPixmap& p, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
         std::uint8_t a) {
  std::uint8_t* px = p.row(y) + x * media::bytes_per_pixel(p.format);
  px[0] = r, px[1] = g, px[2] = b;
  if (p.format == media::PixelFormat::rgba8) px[3] = a;
}

media::Image make_badge() {
  media::TPixmap p(64, 64, media::PixelFormat::rgba8);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const float dx = static_cast<float>(x) - 31.5f, dy = static_cast<float>(y) - 31.5f;
      const float edge = std::clamp(30.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
      const bool arrow = x >= 16 && x < 50 && std::abs(dy) < (50.0f - static_cast<float>(x)) * 0.3f;
      const auto shade = static_cast<std::uint8_t>(120 + y * 2);
      if (arrow)
        put(p, x, y, 255, 255, 255, static_cast<std::uint8_t>(255 * edge));
      else
        put(p, x, y, 40, shade, 90, static_cast<std::uint8_t>(255 * edge));
    }
  return media::image_from_pixmap(std::move(p), media::image_filtered);
}

media::Image make_masked() {
  media::TPixmap p(64, 64, media::PixelFormat::rgb8);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool inside = std::abs(x - 32) + std::abs(y - 32) < 28;
      if (inside)
        put(p, x, y, 250, static_cast<std::uint8_t>(150 + y), 40, 255);
      else
        put(p, x, y, 255, 0, 255, 255);
    }
  media::SetMaskColor(255, 0, 255);
  media::Image image =
      media::image_from_pixmap(std::move(p), media::image_masked | media::image_filtered);
  media::SetMaskColor(0, 0, 0);
  return image;
}

// Every row leaves the draw state as it found it: white, opaque, unturned, unscaled.
void restore_draw_state() {
  media::SetColor(255, 255, 255);
  media::SetAlpha(1.0f);
  media::SetRotation(0.0f);
  media::SetScale(1.0f, 1.0f);
}

float column(int i) {
  return first_column + column_step * static_cast<float>(i);
}

void draw_stripes(float y) {
  for (int i = 0; i < 32; ++i) {
    const int level = i % 2 ? 90 : 40;
    media::SetColor(level, level, level + 30);
    media::DrawRect(static_cast<float>(i * 32), y - row_height / 2.0f, 32.0f, row_height);
  }
  restore_draw_state();
}

void draw_rotations(const Pictures& pics, float y) {
  for (int i = 0; i < 10; ++i) {
    media::SetRotation(static_cast<float>(i) * 36.0f);
    media::DrawImage(pics.badge, column(i), y);
  }
  restore_draw_state();
}

void draw_scales(const Pictures& pics, float y) {
  const float scales[][2] = {{0.5f, 0.5f}, {1, 1},   {1.5f, 1.5f}, {-1, 1},
                             {1, -1},      {-1, -1}, {2, 0.5f},    {0.5f, 1.5f}};
  for (int i = 0; i < 8; ++i) {
    media::SetScale(scales[i][0], scales[i][1]);
    media::DrawImage(pics.badge, column(i), y);
  }
  restore_draw_state();
}

void draw_tints(const Pictures& pics, float y) {
  const int tints[][3] = {{255, 255, 255}, {255, 60, 60},   {60, 255, 60}, {60, 60, 255},
                          {255, 255, 0},   {128, 128, 128}, {40, 40, 40}};
  for (int i = 0; i < 7; ++i) {
    media::SetColor(tints[i][0], tints[i][1], tints[i][2]);
    media::DrawImage(pics.badge, column(i), y);
  }
  restore_draw_state();
}

void draw_alphas(const Pictures& pics, float y) {
  draw_stripes(y);
  for (int i = 0; i < 10; ++i) {
    media::SetAlpha(1.0f - static_cast<float>(i) * 0.1f);
    media::DrawImage(pics.badge, column(i), y);
  }
  restore_draw_state();
}

void draw_masked(const Pictures& pics, float y) {
  draw_stripes(y);
  for (int i = 0; i < 6; ++i) {
    media::SetRotation(static_cast<float>(i) * 15.0f);
    media::SetAlpha(1.0f - static_cast<float>(i) * 0.15f);
    media::DrawImage(pics.masked, column(i), y);
  }
  restore_draw_state();
}

// The TrueType font of the text row; none draws all of it in the built-in font.
media::Font g_text_font;

void draw_text(const Pictures&, float y) {
  const float top = y - row_height / 2.0f;
  media::SetImageFont(nullptr);
  media::DrawText("Built-in 8x16: Hedgerow 0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 20, top);
  media::SetImageFont(g_text_font);
  media::SetColor(255, 240, 120);
  media::DrawText("English: Press any key to continue...", 20, top + 22);
  media::SetColor(160, 220, 255);
  media::DrawText("Русский: Нажмите любую клавишу...", 20, top + 46);
  media::SetColor(255, 255, 255);
  media::SetScale(2.0f, 2.0f);
  media::DrawText("Ёжик Hedgehog", 20, top + 70);
  media::SetScale(1.0f, 1.0f);
  media::SetRotation(-12.0f);
  media::SetAlpha(0.6f);
  media::DrawText("turned and see-through", 640, top + 90);
  restore_draw_state();
  media::SetImageFont(nullptr);
}

using Row = void (*)(const Pictures&, float centre_y);
const Row rows[] = {draw_rotations, draw_scales, draw_tints, draw_alphas, draw_masked, draw_text};

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "frame-demo.png";
  const std::string font = argc > 2 ? argv[2] : HEDGEROW_DEMO_FONT;
  media::HeadlessBackend& hb = media::use_headless();
  media::Graphics(1024, 768, 0, 0, 0);
  media::SetBlend(3);

  g_text_font = media::LoadImageFont(font, 18, media::font_smooth);
  if (!g_text_font) std::fprintf(stderr, "frame_demo: no font in %s, text in 8x16\n", font.c_str());
  Pictures pics{make_badge(), make_masked()};
  media::MidHandleImage(pics.badge);
  media::MidHandleImage(pics.masked);
  float y = row_height / 2.0f + 10.0f;
  for (Row row : rows) {
    row(pics, y);
    y += row_height;
  }
  media::Flip(0);
  if (!hb.save_png(out)) {
    std::fprintf(stderr, "frame_demo: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("frame_demo: wrote %s\n", out.c_str());
  return 0;
}
