#pragma once
// The main menu: the only screen worked with the mouse.

#include <array>
#include <string>

#include "media/image.h"

// The menu's pictures, loaded once at start-up before the display opens (the two logo pictures
// are loaded by the menu itself).
struct MenuPictures {
  std::array<media::Image, 4> menu_images;      // 0 Russian screen, 1 start, 2 unused, 3 exit
  std::array<media::Image, 4> menu_eng_images;  // 0 start, 1 unused, 2 exit, 3 English screen
  std::array<media::Image, 2> flag_images;      // 0 Russian, 1 English
  media::Image menu_bg_image;
  media::Image cursor_image;
  media::Image studio_logo_image;
  media::Image facebook_image;
  media::Image logo_a_image;   // the logo under the pointer
  media::Image logo_na_image;  // the logo elsewhere
};

// Loads the menu's pictures into the program's menu pictures.
void load_menu_pictures();

class TMenu {
 public:
  TMenu();  // loads the optional logo

  // One frame of the menu: 2 when the player starts a game, else 0. The exit item ends the
  // program.
  int update();

  int logo = 0;
  std::string _lang;
};
