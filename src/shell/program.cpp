#include "shell/program.h"

#include "media/system.h"
#include "shell/globals.h"
#include "shell/splash.h"

namespace shell {

const media::Timer& frame_timer() {
  return globals().frame_timer;
}

void start_up() {
  // The menu's pictures, then the media catalogue, load here, before any display exists.

  // A 1024 x 768 full-screen display at 60 Hz with one back buffer.
  media::SelectRenderer(2);
  media::Graphics(1024, 768, 32, 60, 0);

  media::SeedRnd(media::MilliSecs());
  load_startup_font();

  // Alpha blending stays in force for the whole run.
  globals().frame_timer = media::CreateTimer(60);
  media::SetBlend(3);

  run_splash_sequence(frame_timer());

  // The game manager is made here and reads the save file.
}

void run_frame(const std::function<int()>& update) {
  if (update() == 0) media::End();
  media::WaitTimer(frame_timer());
  media::Flip(-1);
  media::Cls();
}

void run() {
  start_up();
  // Until the game manager takes over, every frame stays empty.
  auto empty_frame = [] { return 1; };
  for (;;) run_frame(empty_frame);
}

}  // namespace shell
