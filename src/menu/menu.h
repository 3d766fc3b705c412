#pragma once
// The main menu: the only screen worked with the mouse.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// One group of the menu's pictures loaded at start-up: the colour that is see-through in them,
// where they are kept, and their files (file n goes into element n - 1).
struct MenuPictureEntry {
  std::string_view name;
  std::array<int, 3> mask;
  std::span<media::Image> (*slots)(MenuPictures&);
  std::vector<std::string_view> files;
};

// The groups in loading order: the screens, items and flags first, in which only (1, 1, 1) is
// see-through so that their black stays black, then the others with white.
const std::vector<MenuPictureEntry>& menu_picture_entries();

// Loads the menu's pictures into the program's menu pictures with the default image flags (3,
// before the catalogue changes them); leaves white as the mask colour.
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
