// One frame of play: the world and its objects, the hero, then the lives in the corner.

#include "level/records.h"
#include "media/image.h"
#include "media/input.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int escape_key = 27;

void draw_lives(int lives) {
  const MediaCatalogue& c = catalogue();
  media::DrawImage(c.life_images[0], 0, 0);
  for (int i = 0; i < lives; ++i) {
    media::DrawImage(c.life_images[1], static_cast<float>(80 + 33 * i), 51);
  }
}

}  // namespace

int TGame::update() {
  if (update_objects() != 0) return 2;  // the last level is done
  update_player();
  update_map();
  if (_lives == 0) return 2;
  // Held, not pressed: play is left without asking.
  if (media::KeyDown(escape_key)) return 2;
  draw_lives(_lives);
  return 0;
}
