// The screens between stretches of play: story, tutorial and map, level complete, the final
// picture and the death screen. Each runs its own frames and waits for the player inside the
// frame that called it; the level music plays on through all of them.

#include <array>
#include <string>

#include "level/records.h"
#include "media/display.h"
#include "media/input.h"
#include "media/sound.h"
#include "media/text.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int enter_key = 13;
constexpr int escape_key = 27;

struct MarkerPosition {
  float x, y;
};

// Where the hero's marker stands on the map before levels 2 to 18.
constexpr std::array<MarkerPosition, 17> map_markers = {{{217, 531},
                                                         {255, 499},
                                                         {300, 480},
                                                         {336, 480},
                                                         {357, 443},
                                                         {385, 418},
                                                         {431, 384},
                                                         {455, 366},
                                                         {486, 353},
                                                         {523, 341},
                                                         {567, 327},
                                                         {620, 323},
                                                         {670, 300},
                                                         {702, 268},
                                                         {735, 250},
                                                         {780, 229},
                                                         {812, 201}}};

void draw_prompt(const std::string& lang) {
  if (lang == "RUS") media::DrawText("Нажмите любую клавишу для продолжения...", 200, 700);
  if (lang == "ENG") media::DrawText("Press any key to continue...", 200, 700);
}

// One frame per step of a 32-bit alpha counter from 0 while it stays at most 1: a step of 0.02
// gives 51 frames, 0.1 gives 10. `frame(alpha)` draws the frame; the alpha goes back to 1 after.
template <class Frame>
void fade_in(float step, Frame&& frame) {
  for (float alpha = 0.0f; alpha <= 1.0f; alpha += step) {
    frame(alpha);
    media::SetAlpha(1.0f);
  }
}

}  // namespace

int TGame::show_story() {
  fade_in(0.02f, [&](float alpha) {
    media::SetAlpha(alpha);
    media::Cls();
    media::DrawImage(catalogue().story_image, 0, 0);
    media::Flip(-1);
  });
  draw_prompt(_lang);
  media::Flip(-1);
  media::WaitKey();
  _level = 1;
  return 0;
}

// The map fades in from black by colour; before level 1 the tutorial takes its place.
int TGame::show_map(int level) {
  const MediaCatalogue& c = catalogue();
  for (int grey = 0; grey <= 255; grey += 3) {
    media::Cls();
    media::SetColor(grey, grey, grey);
    media::DrawImage(c.map_images[0], 0, 0);
    if (level >= 2 && level <= 18) {
      const MarkerPosition& at = map_markers[static_cast<std::size_t>(level - 2)];
      media::DrawImage(c.map_images[1], at.x, at.y);
    }
    if (level == 1) {
      media::Cls();
      media::DrawImage(c.tutorial_image, 0, 0);
    }
    media::SetColor(255, 255, 255);
    media::Flip(-1);
  }
  draw_prompt(_lang);
  media::Flip(-1);
  media::WaitKey();
  return 0;
}

namespace {

// Only Enter ends the wait, and an Escape pressed before it costs that Enter.
void wait_for_enter() {
  for (;;) {
    if (media::KeyHit(enter_key)) {
      if (!media::KeyHit(escape_key)) return;
    } else {
      media::WaitInput(1);
    }
  }
}

}  // namespace

int TGame::level_complete() {
  const MediaCatalogue& c = catalogue();
  // Faded in over the world as drawn so far in this frame.
  fade_in(0.1f, [&](float alpha) {
    media::SetAlpha(alpha);
    if (_lang == "RUS") media::DrawImage(c.level_complete_image, 370, 300);
    if (_lang == "ENG") media::DrawImage(c.level_complete_eng_image, 400, 300);
    media::SetAlpha(1.0f);
    media::Flip(-1);
  });
  media::WaitKey();
  _score += _score_this_level;
  _level += 1;
  _lives = 3;
  if (_level == 19) {
    fade_in(0.01f, [&](float alpha) {
      media::SetAlpha(alpha);
      media::DrawImage(c.theend_image, 0, 0);
      media::SetAlpha(1.0f);
      media::Flip(-1);
    });
    wait_for_enter();
    return 1;
  }
  show_map(_level);
  initialize_level(_level);
  return 0;
}

int TGame::player_death() {
  if (_lives < 1) return 0;
  fade_in(0.05f, [&](float alpha) {
    media::SetAlpha(alpha);
    media::Cls();
    media::DrawImage(catalogue().death_image, 0, 0);
    media::Flip(-1);
  });
  draw_prompt(_lang);
  // The lives that will be left after this one.
  for (int i = 1; i <= _lives - 1; ++i) {
    media::DrawImage(catalogue().life_big_image, static_cast<float>(300 + 150 * i), 500);
  }
  media::Flip(-1);
  media::WaitKey();
  _lives -= 1;
  initialize_level(_level);
  return 0;
}

// The previous channel is not playing (paused music or the idle channel) and is dropped silent.
int TGame::play_sound() {
  _channel = media::PlaySound(catalogue().sounds[2]);
  return 0;
}
