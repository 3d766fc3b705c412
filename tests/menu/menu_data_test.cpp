// The menu with the built game's own pictures: the real pointer, flags and items hit-test pixel
// for pixel, and the language, start and exit work as a player would use them.

#include <gtest/gtest.h>

#include "media/input.h"
#include "menu/menu.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"
#include "support/game_folder.h"
#include "support/headless_test.h"

namespace {

using media::InputEvent;

class RealMenuTest : public GameTest {
 protected:
  void SetUp() override {
    test_support::link_game_files(scratch.path(), {"data", "fonts"});
    shell::start_up();
  }

  void frame() {
    shell::run_frame([] { return globals().manager->update(); });
  }
  void now(const InputEvent& e) { hb.inject_at_time(hb.millisecs(), e); }
  // Points the tip of the pointer at a solid part of `image` drawn at (x, y).
  void point_into(const media::Image& image, int x, int y) {
    const auto spot = test_support::solid_spot(image, x, y);
    ASSERT_TRUE(spot) << "no solid part to point at";
    // The tip of the arrow is a couple of pixels into its picture.
    now({InputEvent::Type::mouse_move, 0, spot->first - 2, spot->second - 2});
  }
  void press() { now({InputEvent::Type::mouse_down, 1}); }
  void release() { now({InputEvent::Type::mouse_up, 1}); }

  // The item as shown: a pixel of its solid part in the last presented frame.
  std::uint32_t shown_at(const media::Image& image, int x, int y) {
    const auto spot = test_support::solid_spot(image, x, y);
    return spot ? hb.pixel(spot->first + 3, spot->second + 3) : 0;
  }
};

TEST_F(RealMenuTest, FlagsSwitchTheLanguageAndTheItemsLightUpUnderThePointer) {
  const MenuPictures& m = menu_pictures();
  frame();
  const std::uint32_t english_start = shown_at(m.menu_eng_images[0], 550, 400);

  point_into(m.flag_images[0], 940, 10);
  press();
  frame();
  release();
  EXPECT_EQ(globals().manager->_menu->_lang, "RUS");
  frame();
  EXPECT_NE(shown_at(m.menu_eng_images[0], 550, 400), english_start)
      << "the English start item is still shown";

  const std::uint32_t russian_start = shown_at(m.menu_images[1], 500, 400);
  point_into(m.menu_images[1], 500, 400);
  frame();
  const std::uint32_t lit = shown_at(m.menu_images[1], 500, 400);
  EXPECT_EQ(lit & 0x00FF0000u, 0u) << "not cyan";
  EXPECT_NE(lit, russian_start);

  point_into(m.flag_images[1], 856, 10);
  press();
  frame();
  release();
  EXPECT_EQ(globals().manager->_menu->_lang, "ENG");
}

TEST_F(RealMenuTest, TheExitItemEndsTheProgram) {
  point_into(menu_pictures().menu_eng_images[2], 600, 460);
  press();
  EXPECT_EQ(test_support::program_end_status([&] { frame(); }), 0);
}

}  // namespace
