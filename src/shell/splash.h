#pragma once
// The two start-up steps before the menu: the font every text of the game is drawn in, and the
// optional splash pictures that fade in and out.

#include "media/display.h"

namespace shell {

// Loads "Fonts\Arial.ttf" at 18 pixels, smooth, and makes it current for the whole run; without
// it the built-in 8 x 16 font stays current.
void load_startup_font();

// Fades "fsdata\splash2.jpg" and then "fsdata\splash1.jpg" in and out, full screen, each only if
// present; leaves scale 1, alpha 1 and the mask colour white behind, with or without splashes.
void run_splash_sequence(const media::Timer& frame_timer);

}  // namespace shell
