#include "shell/program.h"

#include <sstream>

#include "media/system.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "support/game_files.h"
#include "support/headless_test.h"

using namespace media;

namespace {

class Program : public GameTest {
 protected:
  void SetUp() override {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
    hb.set_clock(1234);
    shell::start_up();
  }
};

int draw_a_square() {
  DrawRect(10, 10, 4, 4);
  return 1;
}

}  // namespace

TEST_F(Program, StartUpOpensTheDisplaySeedsAndSetsUpPacing) {
  EXPECT_TRUE(hb.display_open());
  EXPECT_GE(hb.frames_presented(), 2);  // both buffers cleared before anything is shown
  EXPECT_EQ(draw_state().blend_mode, 3);
  ASSERT_TRUE(shell::frame_timer());
  EXPECT_EQ(shell::frame_timer()->period_ms, 16);

  // Seeded from the clock as it read right after the display opened.
  int drawn[5];
  for (int& d : drawn) d = Rand(0, 1000000);
  SeedRnd(1234);
  for (int d : drawn) EXPECT_EQ(d, Rand(0, 1000000));
}

TEST_F(Program, AFrameIsDrawnHeldForTheTickShownThenCleared) {
  std::int32_t before = MilliSecs();
  int presented = hb.frames_presented();
  shell::run_frame(draw_a_square);
  EXPECT_EQ(hb.frames_presented(), presented + 1);
  ASSERT_EQ(hb.draws_of_last_frame().size(), 1u);
  EXPECT_EQ(hb.pixel(11, 11), 0xFFFFFFFFu);
  EXPECT_EQ(hb.back_buffer_pixel(11, 11), 0xFF000000u);
  // Held for the timer's tick, then shown on the following vertical blank.
  EXPECT_EQ(before, 1234);
  EXPECT_EQ(MilliSecs(), 1266);
}

TEST_F(Program, AnUpdateOfZeroEndsBeforeItsFrameIsShown) {
  int presented = hb.frames_presented();
  EXPECT_EQ(test_support::program_end_status([] { shell::run_frame([] { return 0; }); }), 0)
      << "the frame ran on";
  EXPECT_EQ(hb.frames_presented(), presented);
}

TEST_F(Program, ACloseRequestWhileWaitingForTheTickEndsTheProgram) {
  hb.inject_at_time(1240, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([] { shell::run_frame(draw_a_square); }), 0)
      << "the close request was swallowed";
}

TEST_F(Program, TheMenusPicturesKeepTheFirstDefaultsAndTheRestGetTheCatalogues) {
  const MenuPictures& menu = menu_pictures();
  auto expect_loaded = [](const media::Image& image, int flags, int mask) {
    ASSERT_TRUE(image);
    EXPECT_EQ(image->flags, flags);
    EXPECT_EQ(image->mask_r, mask);
    EXPECT_EQ(image->mask_g, mask);
    EXPECT_EQ(image->mask_b, mask);
  };
  // Screens, items and flags keep their black: only (1, 1, 1) is see-through in them.
  for (const auto* group : {&menu.menu_images, &menu.menu_eng_images}) {
    for (const media::Image& image : *group) expect_loaded(image, 3, 1);
  }
  for (const media::Image& image : menu.flag_images) expect_loaded(image, 3, 1);
  for (const media::Image* image :
       {&menu.menu_bg_image, &menu.cursor_image, &menu.studio_logo_image, &menu.facebook_image}) {
    expect_loaded(*image, 3, 255);
  }
  expect_loaded(catalogue().ground_images[0], 11, 255);
  expect_loaded(catalogue().cloud_images[4], 11, 255);
}

TEST_F(Program, TheManagerIsReadyOnTheMenuWithTheSaveFileRead) {
  ASSERT_TRUE(globals().manager);
  EXPECT_EQ(globals().manager->_state, 0);
  EXPECT_EQ(globals().manager->_menu->logo, 0);
}

class ProgramWithFiles : public GameTest {};

TEST_F(ProgramWithFiles, TheLogoIsLoadedLikeTheCatalogueAndTheSaveFileIsRead) {
  test_support::write_logo(scratch);
  scratch.write("data/save.dat", test_support::Bytes{5, 0, 0, 0, 9, 0, 0, 0});
  testing::internal::CaptureStderr();
  shell::start_up();
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(globals().manager->_menu->logo, 1);
  const media::Image& logo = menu_pictures().logo_na_image;
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->flags, 11);
  EXPECT_EQ(logo->mask_r + logo->mask_g + logo->mask_b, 3 * 255);
  EXPECT_EQ(globals().manager->_game->_record, 5);
  EXPECT_EQ(globals().manager->_game->_last_level, 9);
}

TEST_F(ProgramWithFiles, WithoutAnyPictureOrSoundEachFileIsNamedOnceAndTheMenuRuns) {
  testing::internal::CaptureStderr();
  shell::start_up();
  std::istringstream said(testing::internal::GetCapturedStderr());
  int lines = 0, backdrop = 0;
  for (std::string line; std::getline(said, line);) {
    ++lines;
    backdrop += line.find("data\\graphics\\bg_1.png") != std::string::npos;
  }
  std::size_t files = 0;
  for (const MenuPictureEntry& entry : menu_picture_entries()) files += entry.files.size();
  for (const CatalogueEntry& entry : catalogue_entries()) files += entry.files.size();
  EXPECT_EQ(backdrop, 1) << "the menu and the catalogue both load it";
  EXPECT_EQ(lines, static_cast<int>(files) - 1);

  hb.inject_at_time(MilliSecs(), {InputEvent::Type::mouse_down, 1});
  for (int i = 0; i < 3; ++i) shell::run_frame([] { return globals().manager->update(); });
  EXPECT_EQ(globals().manager->_state, 0);
}

TEST_F(ProgramWithFiles, TheGameRunsFramesUntilItsWindowIsClosed) {
  test_support::write_menu_pictures(scratch);
  test_support::write_catalogue_files(scratch);
  hb.inject_at_frame(12, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([] { shell::run(); }), 0);
  EXPECT_EQ(hb.frames_presented(), 12);
  EXPECT_EQ(hb.pending_events(), 0u);
}
