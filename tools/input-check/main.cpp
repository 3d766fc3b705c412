// Opens a 1024 x 768 window on the real back end and prints what the game would read:
//   key <code>        a key press (KeyHit)
//   down <code>       the key reads as held (KeyDown went to 1)
//   up <code>         the key reads as not held (KeyDown went back to 0)
//   mouse <x> <y>     the pointer moved, in back-buffer pixels
//   button <b>        a mouse button went down
//   pad <x> <mask>    the first controller's X axis or buttons changed
// "ready" is printed once the window is open. Escape or the given number of seconds ends it.
// Usage: input_check [seconds] [full]   (full: full screen, paced like the game; else windowed)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "media/display.h"
#include "media/input.h"
#include "media/media.h"
#include "media/system.h"

namespace {

constexpr int kEscape = 27;

struct Seen {
  int keys[256] = {};
  int mouse_x = -1, mouse_y = -1;
  int buttons[4] = {};
  float pad_x = 0.0f;
  int pad_mask = 0;
};

// True once Escape is pressed, however briefly.
bool report_keys(Seen& seen) {
  bool escape = false;
  for (int k = 1; k < 256; ++k) {
    const int hits = media::KeyHit(k);
    for (int i = 0; i < hits; ++i) std::printf("key %d\n", k);
    const int down = media::KeyDown(k);
    if (down != seen.keys[k]) std::printf("%s %d\n", down ? "down" : "up", k);
    seen.keys[k] = down;
    escape = escape || (k == kEscape && (hits > 0 || down));
  }
  return escape;
}

void report_mouse(Seen& seen) {
  const int x = media::MouseX(), y = media::MouseY();
  if (x != seen.mouse_x || y != seen.mouse_y) std::printf("mouse %d %d\n", x, y);
  seen.mouse_x = x;
  seen.mouse_y = y;
  for (int b = 1; b <= 3; ++b) {
    const int down = media::MouseDown(b);
    if (down && !seen.buttons[b]) std::printf("button %d\n", b);
    seen.buttons[b] = down;
  }
}

void report_pad(Seen& seen) {
  const float x = media::JoyX(0);
  int mask = 0;
  for (int b = 0; b < 16; ++b) mask |= media::JoyDown(b, 0) << b;
  if (x != seen.pad_x || mask != seen.pad_mask) std::printf("pad %.3f %d\n", x, mask);
  seen.pad_x = x;
  seen.pad_mask = mask;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  const bool full_screen = argc > 2 && std::string(argv[2]) == "full";
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  media::use_sdl();
  media::Graphics(1024, 768, full_screen ? 32 : 0, 60, 0);
  const media::Timer timer = media::CreateTimer(60);
  std::printf("ready\n");

  Seen seen;
  for (int frame = 0; frame < seconds * 60; ++frame) {
    media::WaitTimer(timer);
    const bool escape = report_keys(seen);
    report_mouse(seen);
    report_pad(seen);
    if (escape) break;
    media::Flip(-1);
    media::Cls();
  }
  media::End();
}
