#pragma once
// The top of the game: the menu and the game in progress, which of the two runs each frame, and
// the hand-over between them.

#include <memory>

#include "level/records.h"
#include "menu/menu.h"

class TGameManager {
 public:
  TGameManager();

  // One frame of the current screen; always 1 (the program goes on).
  int update();
  // Reads the save file into the game; always 0. The file is only read, never written: a file
  // that is missing, unreadable or too short for both values leaves both at 0.
  int load_data();

  std::unique_ptr<TMenu> _menu;
  std::unique_ptr<TGame> _game;
  int _state = 0;  // 0 the menu, 1 play

 private:
  void start_game();
};
