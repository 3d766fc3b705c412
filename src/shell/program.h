#pragma once
// The program's start-up and its main loop.

#include <functional>

#include "media/display.h"

namespace shell {

// The 60 Hz timer every loop of the game waits on (none before start-up).
const media::Timer& frame_timer();

// Everything before the first frame, in its fixed order: loads, the display, the random seed,
// the start-up font, the frame timer and alpha blending, the splash screens, and the game
// manager, which reads the save file.
void start_up();

// One pass of the main loop: `update` draws the frame into the back buffer and returns 0 to end
// the program (before that frame is shown); the frame is then held until the next timer tick,
// shown, and the back buffer cleared for the next one.
void run_frame(const std::function<int()>& update);

// start_up, then one frame of the game manager's current screen per pass until the program
// ends.
[[noreturn]] void run();

}  // namespace shell
