#pragma once
// Shared by the display module and the back ends only.

namespace media::detail {

// A new display generation, unique for the whole run and never 0, so a texture slot filled on
// one back end or display is never mistaken for one of another.
int next_display_generation();

// Where a w x h back buffer is shown in a window of area_w x area_h: as large as fits, centred,
// black bars on the other sides.
struct ShownArea {
  int x, y, w, h;
};
ShownArea letterbox(int area_w, int area_h, int w, int h);
// A window position as a back-buffer pixel, clamped to the buffer (the bars map to its edges).
void window_to_back_buffer(const ShownArea& shown, int w, int h, int& x, int& y);

}  // namespace media::detail
