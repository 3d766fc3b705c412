#include "level/records.h"

#include "level/rects_overlap.h"
#include "media/system.h"

TFlower::TFlower() : TObject(object_kind), _timer(static_cast<float>(media::MilliSecs())) {}

TGame::TGame()
    : _channel(media::CreateChannel()),
      _font_1(media::LoadImageFont("Fonts\\Arial.ttf", 18, 4)),
      _font_2(media::LoadImageFont("Fonts\\Kabarett Simp.ttf", 30, 4)) {}

int TGame::update_map() {
  return 0;
}

// The strip just above the hero's head: a jump starts only when no wall reaches into it.
int TGame::check_up() {
  const int left = static_cast<int>(_player->_x + 16.0f);
  const int top = static_cast<int>(_player->_y - 10.0f);
  int blocked = 0;
  each_wall([&](TWall& wall) {
    blocked = rects_overlap(left, top, 32, 10, static_cast<int>(wall._x), static_cast<int>(wall._y),
                            cell_size, cell_size);
    return blocked == 0;
  });
  return blocked;
}
