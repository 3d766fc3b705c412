// The main menu: a full-screen picture, the two flags that choose the language, the start and
// exit items of that language, the credits, the optional logo and the rights notice, with the
// menu's own pointer. Only the mouse is read.

#include "menu/menu.h"

#include <string>

#include "media/display.h"
#include "media/files.h"
#include "media/image.h"
#include "media/input.h"
#include "media/system.h"
#include "media/text.h"
#include "shell/globals.h"
#include "shell/loading.h"

namespace {

using shell::slots;
using M = MenuPictures;

constexpr std::array<int, 3> near_black = {1, 1, 1};
constexpr std::array<int, 3> white = {255, 255, 255};

}  // namespace

const std::vector<MenuPictureEntry>& menu_picture_entries() {
  static const std::vector<MenuPictureEntry> entries = {
      {"menu_images",
       near_black,
       slots<&M::menu_images>,
       {"data\\graphics\\menu.png", "data\\graphics\\menu_1.png", "data\\graphics\\menu_2.png",
        "data\\graphics\\menu_3.png"}},
      {"menu_eng_images",
       near_black,
       slots<&M::menu_eng_images>,
       {"data\\graphics\\menu_1_eng.png", "data\\graphics\\menu_2_eng.png",
        "data\\graphics\\menu_3_eng.png", "data\\graphics\\menu_eng.png"}},
      {"flag_images",
       near_black,
       slots<&M::flag_images>,
       {"data\\graphics\\rus.png", "data\\graphics\\usa.png"}},
      {"menu_bg_image", white, slots<&M::menu_bg_image>, {"data\\graphics\\bg_1.png"}},
      {"cursor_image", white, slots<&M::cursor_image>, {"data\\graphics\\point.png"}},
      {"studio_logo_image", white, slots<&M::studio_logo_image>, {"data\\graphics\\tesvar.png"}},
      {"facebook_image", white, slots<&M::facebook_image>, {"data\\graphics\\facebook.png"}},
  };
  return entries;
}

void load_menu_pictures() {
  MenuPictures& pictures = menu_pictures();
  const std::array<int, 3>* mask = nullptr;
  for (const MenuPictureEntry& entry : menu_picture_entries()) {
    if (!mask || *mask != entry.mask) {
      mask = &entry.mask;
      media::SetMaskColor((*mask)[0], (*mask)[1], (*mask)[2]);
    }
    const std::span<media::Image> elements = entry.slots(pictures);
    for (std::size_t i = 0; i < entry.files.size() && i < elements.size(); ++i) {
      elements[i] = shell::load_picture(std::string(entry.files[i]));
    }
  }
}

namespace {

constexpr int left_button = 1;

struct Credits {
  const char* heading;
  const char* first;
  const char* second;
  const char* music;
};

// Each line ends before the right edge of the menu's credits panel in the start-up font; where
// "the Hedgerow team" would not, the line says less.
const Credits russian_credits = {"Разработчики:", "Код: команда Hedgerow", "Графика: Hedgerow",
                                 "Музыка: Hedgerow"};
const Credits english_credits = {"Developers:", "Code: the Hedgerow team", "Art: the Hedgerow team",
                                 "Music by Hedgerow team"};
const char* const rights_notice =
    "© 2026 the Hedgerow team. Code: MIT. Pictures and sound: CC BY 4.0.";

// An item or flag of the menu and where it is drawn.
struct Placed {
  const media::Image& image;
  float x, y;
};

void draw(const Placed& p) {
  media::DrawImage(p.image, p.x, p.y);
}

// Pixel-exact: the pointer's tip is its top-left corner, and see-through pixels of either
// picture never count.
bool pointer_touches(const Placed& p) {
  return media::ImagesCollide(menu_pictures().cursor_image, media::MouseX(), media::MouseY(), 0,
                              p.image, static_cast<int>(p.x), static_cast<int>(p.y), 0) != 0;
}

// Flags act while the button is held over them; the English one is tested first, so with the
// pointer on both the Russian one wins.
void switch_language(std::string& lang, const Placed& english_flag, const Placed& russian_flag) {
  if (media::MouseDown(left_button) && pointer_touches(english_flag)) lang = "ENG";
  if (media::MouseDown(left_button) && pointer_touches(russian_flag)) lang = "RUS";
}

void draw_credits(const Credits& credits) {
  media::SetColor(0, 150, 0);
  media::DrawText(credits.heading, 800, 550);
  media::DrawText(credits.first, 800, 600);
  media::DrawText(credits.second, 800, 650);
  media::DrawText(credits.music, 800, 700);
  media::SetColor(255, 255, 255);
}

// The exit opens the two optional files that are there and ends the program at once.
[[noreturn]] void leave_the_game() {
  if (media::FileType("play.url") != 0) media::OpenURL("play.url");
  if (media::FileType("fscommand\\wgame.exe") != 0) media::OpenURL("fscommand\\wgame.exe");
  media::End();
}

// A touched item shows in cyan: the colour takes the red out of it.
bool highlight_if_touched(const Placed& item) {
  if (!pointer_touches(item)) return false;
  media::SetColor(0, 255, 255);
  draw(item);
  media::SetColor(255, 255, 255);
  return true;
}

enum class Choice { none, start };

// The start item acts at once; the exit item ends the program.
Choice test_items(const Placed& start, const Placed& exit) {
  if (highlight_if_touched(start) && media::MouseDown(left_button)) return Choice::start;
  if (highlight_if_touched(exit) && media::MouseDown(left_button)) leave_the_game();
  return Choice::none;
}

bool pointer_in_logo_area() {
  const int x = media::MouseX(), y = media::MouseY();
  return x > 0 && y > 0 && x < 213 && y < 90;
}

// The logo lights up under the pointer and opens the web page while the button is held there;
// the mouse is then forgotten so that the held button does not open it again next frame.
void draw_logo() {
  const MenuPictures& pictures = menu_pictures();
  if (!pointer_in_logo_area()) {
    media::DrawImage(pictures.logo_na_image, 0, 0);
    return;
  }
  media::DrawImage(pictures.logo_a_image, 0, 0);
  if (media::MouseDown(left_button) && media::FileType("website.url") != 0) {
    media::OpenURL("website.url");
    media::FlushMouse();
  }
}

}  // namespace

TMenu::TMenu() {
  if (media::FileType("fsdata\\logo_a.png") != 0 && media::FileType("fsdata\\logo_na.png") != 0) {
    logo = 1;
    MenuPictures& pictures = menu_pictures();
    pictures.logo_a_image = shell::load_picture("fsdata\\logo_a.png");
    pictures.logo_na_image = shell::load_picture("fsdata\\logo_na.png");
  }
}

int TMenu::update() {
  const MenuPictures& pictures = menu_pictures();
  media::SetColor(255, 255, 255);
  media::DrawRect(0, 0, 1024, 768);
  media::DrawImage(pictures.menu_bg_image, 0, 0);
  if (_lang == "RUS") media::DrawImage(pictures.menu_images[0], 0, 0);
  if (_lang == "ENG") media::DrawImage(pictures.menu_eng_images[3], 0, 0);
  // Everything drawn after the pointer covers it.
  media::DrawImage(pictures.cursor_image, static_cast<float>(media::MouseX()),
                   static_cast<float>(media::MouseY()));
  const Placed english_flag{pictures.flag_images[1], 856, 10};
  const Placed russian_flag{pictures.flag_images[0], 940, 10};
  draw(english_flag);
  draw(russian_flag);
  // The new language already applies to the rest of this frame.
  switch_language(_lang, english_flag, russian_flag);

  const Placed russian_start{pictures.menu_images[1], 500, 400};
  const Placed russian_exit{pictures.menu_images[3], 510, 460};
  const Placed english_start{pictures.menu_eng_images[0], 550, 400};
  const Placed english_exit{pictures.menu_eng_images[2], 600, 460};
  if (_lang == "RUS") {
    draw(russian_start);
    draw(russian_exit);
    draw_credits(russian_credits);
  }
  if (_lang == "ENG") {
    draw(english_start);
    draw(english_exit);
    draw_credits(english_credits);
  }
  if (_lang == "RUS" && test_items(russian_start, russian_exit) == Choice::start) return 2;
  if (_lang == "ENG" && test_items(english_start, english_exit) == Choice::start) return 2;

  if (logo == 1) draw_logo();
  media::DrawText(rights_notice, 300, 730);
  return 0;
}
