#include "shell/program.h"

#include "media/system.h"
#include "menu/menu.h"
#include "shell/catalogue.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/splash.h"

namespace shell {

const media::Timer& frame_timer() {
  return globals().frame_timer;
}

void start_up() {
  // Every picture and sound loads before any display exists: the menu's with the first default
  // image flags, then the catalogue, which changes them. The sounds decode meanwhile.
  prefetch_catalogue_sounds();
  load_menu_pictures();
  load_catalogue();

  // A 1024 x 768 full-screen display at 60 Hz with one back buffer.
  media::SelectRenderer(2);
  media::Graphics(1024, 768, 32, 60, 0);

  media::SeedRnd(media::MilliSecs());
  load_startup_font();

  // Alpha blending stays in force for the whole run.
  globals().frame_timer = media::CreateTimer(60);
  media::SetBlend(3);

  run_splash_sequence(frame_timer());

  globals().manager = std::make_unique<TGameManager>();
  globals().manager->load_data();
}

void run_frame(const std::function<int()>& update) {
  if (update() == 0) media::End();
  media::WaitTimer(frame_timer());
  media::Flip(-1);
  media::Cls();
}

void run() {
  start_up();
  auto manager_frame = [] { return globals().manager->update(); };
  for (;;) run_frame(manager_frame);
}

}  // namespace shell
