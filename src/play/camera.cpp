#include "play/camera.h"

#include "level/records.h"

namespace {

constexpr float screen_height = 768.0f;
constexpr float chase_x = 3.5f;  // times the hero's run factor
constexpr float chase_y = 5.0f;

}  // namespace

void follow_hero(TGame& game) {
  const TPlayer& hero = *game._player;
  if (game._cam_x < hero._x - 503.0f) game._cam_x += chase_x * hero._run;
  if (game._cam_x > hero._x - 497.0f) game._cam_x -= chase_x * hero._run;
  if (game._cam_y < hero._y - 346.0f) game._cam_y += chase_y;
  if (game._cam_y > hero._y - 334.0f) game._cam_y -= chase_y;
  if (!(game._cam_y + screen_height < game._max_y)) game._cam_y = game._max_y - screen_height;
}
