#pragma once

// The integer rectangle test behind every collision in play and the head-room test. Rectangles
// that only touch along an edge or at a corner overlap; callers truncate each float separately.
inline int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
  if (x1 > x2 + w2 || x1 + w1 < x2 || y1 > y2 + h2 || y1 + h1 < y2) return 0;
  return 1;
}
