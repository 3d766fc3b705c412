// The whole game as a player goes through it, with the built game's pictures, sounds and fonts
// and eighteen small levels of the test's own, through the game's start-up and main loop: the
// menu's start item clicked, the story and the tutorial, each level walked (one jumped) to its
// exit, the level-complete picture and the map before the next level, one death and the level
// played again, the final picture and its Enter, back in the menu, and the exit item.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "media/input.h"
#include "media/sound.h"
#include "menu/menu.h"
#include "shell/catalogue.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"
#include "support/game_folder.h"
#include "support/headless_test.h"
#include "support/level_files.h"

namespace {

using media::DrawRecord;
using media::InputEvent;
using Type = InputEvent::Type;

constexpr int enter_key = 13, escape_key = 27, space_key = 32;
constexpr int left_key = 37, up_key = 38, right_key = 39;
constexpr int last_level = 18;
constexpr int coin_points = 5;
constexpr int cell = 64;

// The hero starts in column 4 of row 4 on a floor of ground (row 5), with coins in his way at
// columns 6, 7 and 8 and the exit further on; the bottom line is row 7. On the death level a
// death zone lies at column 0 behind him, with a coin between.
struct LevelPlan {
  int coins = 1;         // 1 to 3 in his way
  int exit_column = 10;  // the exit's column on row 4
  int block_column = 0;  // a block on the floor to jump over (0: none)
  bool death_behind = false;
};

constexpr int start_column = 4;
constexpr int death_level = 7;

LevelPlan plan_of(int level) {
  LevelPlan plan;
  plan.coins = 1 + level % 3;
  if (level % 3 == 0) {
    plan.block_column = 10;
    plan.exit_column = 15;
  } else {
    plan.exit_column = 10 + level % 4;
  }
  plan.death_behind = level == death_level;
  return plan;
}

std::string level_text(const LevelPlan& plan) {
  std::string row(static_cast<std::size_t>(plan.exit_column + 1), '.');
  row[start_column] = '@';
  for (int i = 0; i < plan.coins; ++i) row[static_cast<std::size_t>(6 + i)] = 'o';
  if (plan.block_column != 0) row[static_cast<std::size_t>(plan.block_column)] = '1';
  if (plan.death_behind) {
    row[0] = 'X';
    row[2] = 'o';
  }
  row[static_cast<std::size_t>(plan.exit_column)] = 'E';
  const std::string floor(static_cast<std::size_t>(plan.exit_column + 3), '1');
  return "\n\n\n\n" + row + "\n" + floor + "\n\n_\n";
}

// Stretches of frames that showed one thing, for one value of the game's level.
struct Stretch {
  std::string shows;  // menu, play, story, tutorial, map, complete, death, final, prompt
  int level = 0;
  int frames = 0;
  bool operator==(const Stretch&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stretch& r) {
  return out << r.shows << " " << r.level << " (" << r.frames << ")";
}

// The game's state at a moment of the run.
struct Snapshot {
  int level = 0, score = 0, score_this_level = 0, lives = 0;
};

class WholeGame : public GameTest {
 protected:
  void SetUp() override {
    // The levels are the test's own; the pictures, sounds and fonts the built game's.
    test_support::link_game_files(scratch.path(), {"data/graphics", "data/sound", "fonts"});
    for (int level = 1; level <= last_level; ++level) {
      test_support::write_level(level, level_text(plan_of(level)));
    }
    // Nothing reads the frame's pixels: the menu's pointer tests use the pictures' own.
    hb.set_rasterise(false);
    shell::start_up();
    hb.set_frame_hook([this](int) { on_frame(); });
  }

  TGameManager& manager() { return *globals().manager; }
  TGame& game() { return *manager()._game; }

  // One pass of the main loop, as the game runs it.
  void frame() {
    shell::run_frame([this] {
      in_update = true;
      const int result = manager().update();
      in_update = false;
      return result;
    });
  }

  void now(const InputEvent& e) { hb.inject_at_time(hb.millisecs(), e); }
  // Pressed just after the frame: a screen that waits for a key after it gets it, while a press
  // during a fade is forgotten by the wait that follows.
  void press_soon(int key, std::int32_t after_ms = 2) {
    const std::int32_t at = hb.millisecs() + after_ms;
    hb.inject_at_time(at, {Type::key_down, key});
    hb.inject_at_time(at + 20, {Type::key_up, key});
  }
  void hold(int key, bool down) {
    if ((media::KeyDown(key) != 0) != down) now({down ? Type::key_down : Type::key_up, key});
  }
  // Clicks the item drawn at (x, y) on a solid part of it.
  void click(const media::Image& item, int x, int y) {
    const auto spot = test_support::solid_spot(item, x, y);
    ASSERT_TRUE(spot) << "no solid part to click";
    // The tip of the pointer is a couple of pixels into its picture.
    now({Type::mouse_move, 0, spot->first - 2, spot->second - 2});
    now({Type::mouse_down, 1});
  }

  static bool drawn(const std::vector<DrawRecord>& draws, const media::Image& image) {
    for (const DrawRecord& d : draws) {
      if (image && d.pixmap == &image->pixmaps[0]) return true;
    }
    return false;
  }
  static int count_drawn(const std::vector<DrawRecord>& draws, const media::Image& image) {
    int n = 0;
    for (const DrawRecord& d : draws) n += image && d.pixmap == &image->pixmaps[0];
    return n;
  }

  // What the frame just presented showed.
  std::string shows(const std::vector<DrawRecord>& draws) {
    if (!in_update) return manager()._state == 0 ? "menu" : "play";
    const MediaCatalogue& c = catalogue();
    if (drawn(draws, c.story_image)) return "story";
    if (drawn(draws, c.tutorial_image)) return "tutorial";
    if (drawn(draws, c.map_images[0])) return "map";
    if (drawn(draws, c.level_complete_eng_image)) return "complete";
    if (drawn(draws, c.death_image)) return "death";
    if (drawn(draws, c.theend_image)) return "final";
    return "prompt";  // the text under a screen, drawn over it
  }

  Snapshot snapshot() {
    const TGame& g = game();
    return {g._level, g._score, g._score_this_level, g._lives};
  }

  void on_frame() {
    const std::vector<DrawRecord>& draws = hb.draws_of_last_frame();
    const std::string now_shows = shows(draws);
    const int level = game()._level;
    const bool new_stretch =
        stretches.empty() || stretches.back().shows != now_shows || stretches.back().level != level;
    if (new_stretch) {
      stretches.push_back({now_shows, level, 0});
      on_new_stretch(now_shows);
    }
    ++stretches.back().frames;

    if (now_shows == "menu") {
      on_menu_frame();
    } else if (now_shows == "play") {
      drive_hero();
    } else if (now_shows == "final") {
      on_final_frame();
    } else {
      if (mouse_held) {
        now({Type::mouse_up, 1});
        mouse_held = false;
      }
      press_soon(enter_key);
    }
    if (now_shows == "map") {
      const auto& marker = catalogue().map_images[1];
      markers_drawn[level] += count_drawn(draws, marker);
      for (const DrawRecord& d : draws) {
        if (d.pixmap == &marker->pixmaps[0])
          marker_x[level] = (d.vertices[0].x + d.vertices[2].x) / 2;
      }
    }
    if (now_shows == "prompt" && stretches.size() >= 2 &&
        stretches[stretches.size() - 2].shows == "death") {
      life_icons_under_death = count_drawn(draws, catalogue().life_big_image);
    }
    if (now_shows == "play" && media::ChannelPlaying(game()._channel) == 0)
      music_stopped_in_play = true;
  }

  void on_new_stretch(const std::string& what) {
    if (what == "complete") at_exit.push_back(snapshot());
    if (what == "map") after_complete.push_back(snapshot());
    if (what == "final") at_final = snapshot();
    if (what == "death") at_death = snapshot();
    if (what == "play" && at_death.level != 0 && after_death.level == 0) after_death = snapshot();
  }

  void on_menu_frame() {
    if (!clicked_start) {
      click(menu_pictures().menu_eng_images[0], 550, 400);
      clicked_start = true;
      mouse_held = true;
    } else if (final_shown) {
      back_in_menu_at = hb.millisecs();
    }
  }

  // Right until the exit; Up near a block; on the death level's first try, left into the zone.
  void drive_hero() {
    const LevelPlan plan = plan_of(game()._level);
    const float x = game()._player->_x;
    const bool first_try = game()._lives == 3;
    const bool back = plan.death_behind && first_try;
    if (back) coins_before_death = game()._score_this_level;
    const float block_x = static_cast<float>(plan.block_column * cell);
    hold(left_key, back);
    hold(right_key, !back);
    hold(up_key, plan.block_column != 0 && x >= block_x - 160 && x < block_x);
  }

  // After the fade: another key, Escape and Enter, then Enter a while later: only the last ends
  // the picture.
  void on_final_frame() {
    if (stretches.back().frames != final_fade_frames) return;
    final_shown = true;
    press_soon(space_key, 100);
    press_soon(escape_key, 200);
    press_soon(enter_key, 300);
    last_enter_at = hb.millisecs() + 3000;
    press_soon(enter_key, 3000);
  }

  static constexpr int final_fade_frames = 101;

  bool in_update = false;
  bool clicked_start = false, mouse_held = false, final_shown = false;
  bool music_stopped_in_play = false;
  std::int32_t last_enter_at = 0, back_in_menu_at = -1;
  std::vector<Stretch> stretches;
  std::vector<Snapshot> at_exit, after_complete;
  Snapshot at_death, after_death, at_final;
  int coins_before_death = 0, life_icons_under_death = -1;
  std::map<int, int> markers_drawn;
  std::map<int, float> marker_x;
};

// The stretches of frames a player sees, play and menu without their length.
std::vector<Stretch> expected_stretches() {
  std::vector<Stretch> stretches = {
      {"menu", 0, 0}, {"story", 0, 51}, {"prompt", 0, 1}, {"tutorial", 1, 86}, {"prompt", 1, 1}};
  for (int level = 1; level <= last_level; ++level) {
    stretches.push_back({"play", level, 0});
    if (level == death_level) {
      stretches.push_back({"death", level, 20});
      stretches.push_back({"prompt", level, 1});
      stretches.push_back({"play", level, 0});
    }
    stretches.push_back({"complete", level, 10});
    if (level < last_level) {
      stretches.push_back({"map", level + 1, 86});
      stretches.push_back({"prompt", level + 1, 1});
    }
  }
  stretches.push_back({"final", last_level + 1, 101});
  stretches.push_back({"menu", last_level + 1, 0});
  return stretches;
}

TEST_F(WholeGame, FromTheMenuThroughEighteenLevelsAndADeathToTheFinalPictureAndOut) {
  const int frame_limit = 20000;
  for (int frames = 0; back_in_menu_at < 0; ++frames) {
    ASSERT_LT(frames, frame_limit) << "stuck at " << stretches.back();
    frame();
  }

  // Every screen in order, the flow screens with their fade lengths.
  std::vector<Stretch> seen = stretches;
  for (Stretch& r : seen) {
    if (r.shows == "play" || r.shows == "menu") r.frames = 0;
  }
  EXPECT_EQ(seen, expected_stretches());
  for (const Stretch& r : stretches) {
    if (r.shows == "play") {
      EXPECT_LT(r.frames, 400) << r;
    }
  }

  // Each level banks the coins of its last try, and gives back three lives.
  ASSERT_EQ(at_exit.size(), static_cast<std::size_t>(last_level));
  ASSERT_EQ(after_complete.size(), static_cast<std::size_t>(last_level - 1));
  int banked = 0;
  for (int level = 1; level <= last_level; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const Snapshot& exit = at_exit[static_cast<std::size_t>(level - 1)];
    EXPECT_EQ(exit.level, level);
    EXPECT_EQ(exit.score, banked);
    EXPECT_EQ(exit.score_this_level, coin_points * plan_of(level).coins);
    banked += exit.score_this_level;
    const Snapshot& next =
        level < last_level ? after_complete[static_cast<std::size_t>(level - 1)] : at_final;
    EXPECT_EQ(next.level, level + 1);
    EXPECT_EQ(next.score, banked);
    EXPECT_EQ(next.lives, 3);
  }

  // The death: the coin picked up on the way back is lost, the banked score kept, a life gone.
  EXPECT_EQ(coins_before_death, coin_points);
  EXPECT_EQ(at_death.level, death_level);
  EXPECT_EQ(at_death.lives, 3);
  EXPECT_EQ(life_icons_under_death, 2) << "the lives that remain";
  EXPECT_EQ(after_death.level, death_level);
  EXPECT_EQ(after_death.lives, 2);
  EXPECT_EQ(after_death.score_this_level, 0);
  EXPECT_EQ(after_death.score, at_death.score);

  // The marker, on every frame of the map before levels 2 to 18, walks on across the map.
  for (int level = 2; level <= last_level; ++level) {
    EXPECT_EQ(markers_drawn[level], 86) << level;
    if (level > 2) {
      EXPECT_GT(marker_x[level], marker_x[level - 1]) << level;
    }
  }

  // Only the second Enter ended the final picture; the menu is back with the music paused.
  EXPECT_GE(back_in_menu_at, last_enter_at);
  EXPECT_EQ(manager()._state, 0);
  EXPECT_FALSE(music_stopped_in_play);
  EXPECT_TRUE(game()._channel);
  EXPECT_EQ(media::ChannelPlaying(game()._channel), 0);

  click(menu_pictures().menu_eng_images[2], 600, 460);
  EXPECT_EQ(test_support::program_end_status([&] { frame(); }), 0);
  RecordProperty("frames", hb.frames_presented());
}

}  // namespace
