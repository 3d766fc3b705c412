#include "play/hero_walls.h"

#include <array>
#include <cmath>
#include <span>

#include "level/box.h"
#include "level/records.h"

namespace {

// The column from x + 16 to x + 48 over the way the hero's head moves this frame.
Box ceiling_box(const TPlayer& p) {
  return box(p._x + 16.0f, p._y + p._move_y, 32.0f, std::fabs(p._move_y));
}
// The same column under his feet; upside down (negative height) while he rises.
Box floor_box(const TPlayer& p) {
  return box(p._x + 16.0f, p._y + 64.0f + p._move_y, 32.0f, p._move_y);
}
// The strips the body (x + 14 to x + 50, y + 4 to y + 60) is about to sweep sideways.
Box right_box(const TPlayer& p) {
  return box(p._x + 50.0f, p._y + 4.0f, p._move_x, 56.0f);
}
Box left_box(const TPlayer& p) {
  return box(p._x + 14.0f + p._move_x, p._y + 4.0f, std::fabs(p._move_x), 56.0f);
}

Box square_of(const TWall& wall) {
  return box(wall._x, wall._y, cell_size, cell_size);
}

}  // namespace

bool collide_with_wall(TPlayer& p, const TWall& wall) {
  const Box square = square_of(wall);
  bool hit = false;
  if (overlap(ceiling_box(p), square)) {
    p._y = wall._y + 65.0f;
    p._move_y = 0.0f;
    hit = true;
  }
  if (overlap(floor_box(p), square)) {
    p._move_y = 0.0f;
    p._jump = 0;
    p._y = wall._y - 64.0f;
    hit = true;
  }
  // A side hit only stops him; it never pushes him out.
  if (p._move_x > 0.0f && overlap(right_box(p), square)) {
    p._move_x = 0.0f;
    hit = true;
  }
  if (p._move_x < 0.0f && overlap(left_box(p), square)) {
    p._move_x = 0.0f;
    hit = true;
  }
  return hit;
}

void collide_with_walls(TPlayer& p, WallGrid& walls) {
  int after = -1;
  for (;;) {
    // The hero's boxes as he stands now; the side strips only while he moves that way.
    std::array<Box, 3> boxes{ceiling_box(p), floor_box(p)};
    std::size_t count = 2;
    if (p._move_x > 0.0f) boxes[count++] = right_box(p);
    if (p._move_x < 0.0f) boxes[count++] = left_box(p);
    bool moved = false;
    for (int position : walls.overlapping(std::span(boxes.data(), count), after)) {
      after = position;
      if (collide_with_wall(p, walls.wall(position))) {
        moved = true;
        break;
      }
    }
    if (!moved) return;
  }
}
