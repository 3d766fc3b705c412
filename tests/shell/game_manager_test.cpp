// The game manager: the save file, and the hand-over between the menu and play over two games
// of one run.

#include "shell/game_manager.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "media/detail/sound_internal.h"
#include "media/display.h"
#include "media/input.h"
#include "media/sound.h"
#include "media/system.h"
#include "shell/globals.h"
#include "shell/program.h"
#include "support/game_files.h"
#include "support/headless_test.h"

namespace {

using media::InputEvent;
using test_support::Bytes;
namespace at = test_support::menu_points;

class SaveFileTest : public GameTest {
 protected:
  // The record and the last level read from a save file of `bytes`.
  std::pair<int, int> read(const Bytes& bytes) {
    scratch.write("data/save.dat", bytes);
    return read_what_is_there();
  }
  std::pair<int, int> read_what_is_there() {
    TGameManager manager;
    manager.load_data();
    return {manager._game->_record, manager._game->_last_level};
  }
};

TEST_F(SaveFileTest, TheRecordAndTheLastLevelAreTheFirstTwoLittleEndianInts) {
  using P = std::pair<int, int>;
  EXPECT_EQ(read({0x07, 0, 0, 0, 0x03, 0, 0, 0}), P(7, 3));
  EXPECT_EQ(read({0x07, 0, 0, 0, 0x03, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), P(7, 3));
  EXPECT_EQ(read({0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x80}), P(-2, -2147483392));
}

TEST_F(SaveFileTest, BothStayZeroUnlessBothCanBeRead) {
  using P = std::pair<int, int>;
  EXPECT_EQ(read_what_is_there(), P(0, 0)) << "no file";
  EXPECT_EQ(read({}), P(0, 0));
  EXPECT_EQ(read({0x07, 0, 0, 0}), P(0, 0)) << "the record alone is not taken";
  EXPECT_EQ(read({0x07, 0, 0, 0, 0x03, 0, 0}), P(0, 0));
  EXPECT_EQ(read({0x07}), P(0, 0));
  std::filesystem::remove("data/save.dat");
  std::filesystem::create_directories("data/save.dat");
  EXPECT_EQ(read_what_is_there(), P(0, 0)) << "a folder";
}

TEST_F(SaveFileTest, AReadOnlyFileIsRead) {
  const Bytes bytes = {0x07, 0, 0, 0, 0x03, 0, 0, 0};
  const auto path = scratch.write("data/save.dat", bytes);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_EQ(read_what_is_there(), std::make_pair(7, 3));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A whole program on the headless back end: menu pictures shaped for pointing, every catalogue
// file (with a 30 s tune as the level music), a level 1 of one wall under the hero.
class ManagerTest : public GameTest {
 protected:
  void SetUp() override {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
    scratch.write("data/sound/world_1.ogg", test_support::wav_seconds(30.0));
    // A flower well to the right: its first shot takes a hundred frames to reach the hero.
    test_support::write_level(scratch, 1, {{10, 10, 1}, {10, 11, 101}, {20, 10, 10}});
    hb.set_rasterise(false);
    shell::start_up();
  }

  TGameManager& manager() { return *globals().manager; }
  TGame& game() { return *manager()._game; }

  void now(const InputEvent& event) { hb.inject_at_time(hb.millisecs(), event); }
  void point_at(test_support::Point p) { now({InputEvent::Type::mouse_move, 0, p.x, p.y}); }
  void click() { now({InputEvent::Type::mouse_down, 1}); }
  void release() { now({InputEvent::Type::mouse_up, 1}); }
  void frame() {
    shell::run_frame([this] { return manager().update(); });
  }

  // Starts a game from the start item at `start`; the story and the tutorial each get a key
  // 5 s apart. Returns when the game's first frame is over.
  void start_game_at(test_support::Point start) {
    point_at(start);
    click();
    hb.inject_at_time(hb.millisecs() + 5000, {InputEvent::Type::key_down, 'A'});
    hb.inject_at_time(hb.millisecs() + 10000, {InputEvent::Type::key_down, 'B'});
    started_at = media::MilliSecs();
    frame();
    release();
  }

  void leave_with_escape() {
    now({InputEvent::Type::key_down, 27});
    frame();
    now({InputEvent::Type::key_up, 27});
  }

  int bullets() {
    int n = 0;
    game().each_object<TBullet>([&](TBullet&) { ++n; });
    return n;
  }

  std::int32_t started_at = 0;
};

// The same program worked with a game controller alone.
class PadPlay : public ManagerTest {
 protected:
  static constexpr std::uint32_t a_button = 1u << 3, back_button = 1u << 5;

  static media::JoystickReading reading(float x, float y, std::uint32_t buttons = 0) {
    media::JoystickReading r;
    r.axes[0] = x;
    r.axes[1] = y;
    r.buttons = buttons;
    return r;
  }
  void pad(float x, float y, std::uint32_t buttons = 0) {
    hb.set_joystick(0, reading(x, y, buttons));
  }
  void pad_at(std::int32_t ms, std::uint32_t buttons) {
    hb.inject_joystick_at_time(ms, 0, reading(0, 0, buttons));
  }

  // Leans the stick along one axis, a frame at a time, until the pointer has passed `to`.
  void steer(float x, float y, int to) {
    pad(x, y);
    for (int i = 0;
         i < 200 && (x != 0 ? (media::MouseX() - to) * x : (media::MouseY() - to) * y) < 0; ++i) {
      frame();
    }
    pad(0, 0);
  }
};

TEST_F(PadPlay, ThePadAloneStartsAGameGoesThroughTheStoryAndTheTutorialAndLeavesPlay) {
  pad(0, 0);
  frame();
  ASSERT_EQ(media::MouseX(), 512) << "the pointer starts in the middle";
  steer(1.0f, 0.0f, at::english_start.x);
  steer(0.0f, 0.6f, at::english_start.y);
  EXPECT_EQ(manager()._state, 0);

  // A clicks the start item; the story and the tutorial each wait for a new press of A.
  pad(0, 0, a_button);
  const std::int32_t t = hb.millisecs();
  pad_at(t + 1000, 0);
  pad_at(t + 5000, a_button);
  pad_at(t + 5500, 0);
  pad_at(t + 10000, a_button);
  frame();
  EXPECT_EQ(manager()._state, 1);
  EXPECT_EQ(game()._level, 1);
  EXPECT_GE(hb.millisecs(), t + 10000) << "both screens went on at the presses of A";
  EXPECT_LT(hb.millisecs(), t + 10000 + 50);
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 1);

  pad(0, 0, back_button);
  frame();
  EXPECT_EQ(manager()._state, 0) << "Back held did not leave play";
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 0);
  pad(0, 0);
  frame();
  EXPECT_EQ(manager()._state, 0);
}

TEST_F(PadPlay, ThePointerTheMenuDrawsIsTheOneThePadMoves) {
  pad(-1.0f, -1.0f);
  for (int i = 0; i < 120; ++i) frame();
  pad(0, 0);
  frame();
  EXPECT_EQ(media::MouseX(), 0);
  EXPECT_EQ(media::MouseY(), 0);
  const media::TPixmap* pointer = &menu_pictures().cursor_image->pixmaps[0];
  const auto& draws = hb.draws_of_last_frame();
  const auto drawn = std::find_if(draws.begin(), draws.end(),
                                  [&](const media::DrawRecord& d) { return d.pixmap == pointer; });
  ASSERT_NE(drawn, draws.end());
  EXPECT_EQ(drawn->vertices[0].x, 0.0f);
  EXPECT_EQ(drawn->vertices[0].y, 0.0f);
}

// Away for a minute in the middle of a level: nothing is shown, and on the return the level goes
// on from the frame it stopped at, the flower a second into its three.
TEST_F(ManagerTest, WhileTheWindowIsAwayTheGameStandsStillAndGoesOnFromThereOnItsReturn) {
  start_game_at(at::english_start);
  for (int i = 0; i < 60; ++i) frame();
  const std::int32_t game_ms = media::MilliSecs();
  const double music_at = *media::detail::channel_offset_seconds(game()._channel);
  // Taken in by the next frame's first look at the input: that frame is held before it is shown.
  const std::int32_t gone = hb.millisecs(), back = gone + 60000;
  hb.inject_at_time(gone, {InputEvent::Type::focus_lost});
  hb.inject_at_time(back, {InputEvent::Type::focus_gained});
  std::vector<std::int32_t> shown_at;
  hb.set_frame_hook([&](int) { shown_at.push_back(hb.millisecs()); });

  frame();
  ASSERT_EQ(shown_at.size(), 1u);
  EXPECT_GT(shown_at[0], back) << "a frame was shown while away";
  const std::int32_t frame_ms = media::MilliSecs() - game_ms;
  EXPECT_LE(frame_ms, 17) << "the game's clock ran on while away";
  EXPECT_NEAR(*media::detail::channel_offset_seconds(game()._channel) - music_at, frame_ms / 1000.0,
              1e-9);
  frame();
  EXPECT_EQ(bullets(), 0) << "the flower fired at once on the return";

  // The flower fires three seconds of play after the level began, not at once.
  while (media::MilliSecs() - started_at - 10000 <= 2900) frame();
  EXPECT_EQ(bullets(), 0);
  while (media::MilliSecs() - started_at - 10000 <= 3100) frame();
  EXPECT_EQ(bullets(), 1);
}

TEST_F(ManagerTest, ACloseRequestWhileAwayEndsTheProgram) {
  hb.inject_at_time(hb.millisecs(), {InputEvent::Type::focus_lost});
  hb.inject_at_time(hb.millisecs() + 30000, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([this] { frame(); }), 0);
}

TEST_F(ManagerTest, AProgramStartsOnTheMenuInEnglishWithNothingPlaying) {
  EXPECT_EQ(manager()._state, 0);
  EXPECT_EQ(manager()._menu->_lang, "ENG");
  EXPECT_EQ(game()._lang, "ENG");
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 0);
  point_at(at::english_start);
  frame();
  EXPECT_EQ(manager()._state, 0) << "started without the button";
}

TEST_F(ManagerTest, AGameStartsWithThreeLivesTheMusicAndTheStoryAndTutorial) {
  start_game_at(at::english_start);
  EXPECT_EQ(manager()._state, 1);
  EXPECT_EQ(game()._lives, 3);
  EXPECT_EQ(game()._lang, "ENG");
  EXPECT_EQ(game()._level, 1);
  ASSERT_TRUE(game()._player);
  EXPECT_FLOAT_EQ(game()._player->_x, 640.0f);
  // Both screens waited for their key inside the frame that started the game.
  EXPECT_GE(media::MilliSecs(), started_at + 10000);
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 1);

  frame();
  EXPECT_EQ(manager()._state, 1) << "play ended by itself";
}

TEST_F(ManagerTest, LeavingPlayPausesTheMusicAndTheNextGameStartsItAfreshInTheMenusLanguage) {
  start_game_at(at::english_start);
  for (int i = 0; i < 30; ++i) frame();
  const media::Channel first_music = game()._channel;
  game()._lives = 1;
  game()._score = 120;

  leave_with_escape();
  EXPECT_EQ(manager()._state, 0);
  EXPECT_EQ(media::ChannelPlaying(first_music), 0);
  const double paused_at = *media::detail::channel_offset_seconds(first_music);

  point_at(at::russian_flag);
  click();
  frame();
  release();
  EXPECT_EQ(manager()._menu->_lang, "RUS");
  EXPECT_EQ(game()._lang, "ENG") << "the game took the language before it started";

  start_game_at(at::russian_start);
  EXPECT_EQ(manager()._state, 1);
  EXPECT_EQ(game()._lives, 3);
  EXPECT_EQ(game()._lang, "RUS");
  EXPECT_EQ(game()._level, 1);
  EXPECT_EQ(game()._score, 120) << "the score carries over";
  EXPECT_GE(media::MilliSecs(), started_at + 10000) << "no story and tutorial";

  // From its beginning at the game's start, on a new channel; the paused one stays as it was.
  ASSERT_NE(game()._channel, first_music);
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 1);
  EXPECT_NEAR(*media::detail::channel_offset_seconds(game()._channel),
              (media::MilliSecs() - started_at) / 1000.0, 0.05);
  EXPECT_EQ(media::ChannelPlaying(first_music), 0);
  EXPECT_DOUBLE_EQ(*media::detail::channel_offset_seconds(first_music), paused_at);

  leave_with_escape();
  frame();
  EXPECT_EQ(manager()._menu->_lang, "RUS") << "the menu forgot its language";
  const auto& draws = hb.draws_of_last_frame();
  const media::TPixmap* russian_screen = &menu_pictures().menu_images[0]->pixmaps[0];
  EXPECT_TRUE(std::any_of(draws.begin(), draws.end(),
                          [&](const media::DrawRecord& d) { return d.pixmap == russian_screen; }));
}

}  // namespace
