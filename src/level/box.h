#pragma once
// The integer boxes of every collision test in play: each float position and size is truncated
// toward zero on its own, then the boxes go through the shared rectangle test.

#include "level/rects_overlap.h"

// Truncation toward zero. Values beyond half a billion pixels, which no level comes near, are
// held there, so that a box's edge (position plus size) always fits an int.
inline int truncated(float v) {
  constexpr float limit = 536870912.0f;  // 2^29
  if (v >= limit) return 536870912;
  if (v <= -limit) return -536870912;
  if (v != v) return 0;  // not a number
  return static_cast<int>(v);
}

struct Box {
  int x, y, w, h;
};

inline Box box(float x, float y, float w, float h) {
  return {truncated(x), truncated(y), truncated(w), truncated(h)};
}

inline bool overlap(const Box& a, const Box& b) {
  return rects_overlap(a.x, a.y, a.w, a.h, b.x, b.y, b.w, b.h) != 0;
}
