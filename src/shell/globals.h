#pragma once
// The game's program-wide state, in one place so that it can be put back to the start of a run
// (every test starts from a fresh program).

#include <memory>
#include <set>
#include <string>

#include "media/display.h"
#include "menu/menu.h"
#include "shell/catalogue.h"

class TGameManager;

struct Globals {
  Globals();
  ~Globals();
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  MenuPictures menu_pictures;
  MediaCatalogue catalogue;
  media::Timer frame_timer;  // the 60 Hz timer every loop of the game waits on
  std::unique_ptr<TGameManager> manager;
  std::set<std::string> reported_missing;  // files already named as not loadable
};

Globals& globals();
// Forgets everything: no pictures, no sounds, no timer, no manager.
void reset_globals();

inline MediaCatalogue& catalogue() {
  return globals().catalogue;
}
inline MenuPictures& menu_pictures() {
  return globals().menu_pictures;
}
