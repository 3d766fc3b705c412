#include "shell/splash.h"

#include <string>

#include "media/files.h"
#include "media/image.h"
#include "media/system.h"
#include "media/text.h"

namespace shell {
namespace {

constexpr float screen_width = 1024.0f;
constexpr float screen_height = 768.0f;
constexpr int delay_before_first_splash_ms = 1000;
constexpr int hold_after_fade_in_ms = 2000;

struct Splash {
  media::Image picture;
  float scale_x = 1.0f;
  float scale_y = 1.0f;
};

// One frame of a fade, in the main loop's order: draw, wait for the tick, present, clear.
void show_fade_frame(const Splash& splash, float alpha, const media::Timer& frame_timer) {
  media::SetScale(splash.scale_x, splash.scale_y);
  media::SetAlpha(alpha);
  media::DrawImage(splash.picture, 0.0f, 0.0f, 0);
  media::WaitTimer(frame_timer);
  media::Flip(-1);
  media::Cls();
}

enum class Fade { in, out };

// The counter is a float stepped by 0.01f, so a fade is 101 frames: the fade-in starts at alpha
// 0 and ends just below 1, the fade-out ends just above 0 and leaves the screen black.
void fade(const Splash& splash, Fade direction, const media::Timer& frame_timer) {
  for (float a = 0.0f; a <= 1.0f; a += 0.01f) {
    show_fade_frame(splash, direction == Fade::in ? a : 1.0f - a, frame_timer);
  }
}

// A file that is there but holds no picture (a damaged file, a folder) is passed over like a
// missing one.
bool load_splash(const std::string& path, Splash& splash) {
  if (media::FileType(path) == 0) return false;
  splash.picture = media::LoadImage(path, -1);
  if (!splash.picture) return false;
  const int width = media::ImageWidth(splash.picture);
  const int height = media::ImageHeight(splash.picture);
  if (width <= 0 || height <= 0) return false;
  splash.scale_x = screen_width / static_cast<float>(width);
  splash.scale_y = screen_height / static_cast<float>(height);
  return true;
}

void show_splash(const std::string& path, int delay_before_ms, const media::Timer& frame_timer) {
  Splash splash;
  if (!load_splash(path, splash)) return;
  if (delay_before_ms > 0) media::Delay(delay_before_ms);
  fade(splash, Fade::in, frame_timer);
  media::Delay(hold_after_fade_in_ms);
  fade(splash, Fade::out, frame_timer);
}

}  // namespace

void load_startup_font() {
  media::SetImageFont(media::LoadImageFont("Fonts\\Arial.ttf", 18, media::font_smooth));
}

void run_splash_sequence(const media::Timer& frame_timer) {
  // Only this exact colour is see-through, so the photographs keep their dark pixels.
  media::SetMaskColor(1, 2, 3);
  show_splash("fsdata\\splash2.jpg", delay_before_first_splash_ms, frame_timer);
  show_splash("fsdata\\splash1.jpg", 0, frame_timer);
  media::SetScale(1.0f, 1.0f);
  media::SetAlpha(1.0f);
  media::SetMaskColor(255, 255, 255);
}

}  // namespace shell
