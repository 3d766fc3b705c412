// The screens between stretches of play: how many frames each fades in over, what it draws,
// how it waits for the player, and the state it leaves.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "level/records.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/system.h"
#include "media/text.h"
#include "shell/catalogue.h"
#include "shell/globals.h"
#include "support/catalogue_pictures.h"
#include "support/headless_test.h"
#include "support/level_files.h"
#include "support/sound_writer.h"

namespace {

using media::DrawRecord;
using Type = media::InputEvent::Type;

constexpr int enter_key = 13, escape_key = 27, space_key = 32;
constexpr int alpha_byte = 24, red_byte = 16;
constexpr const char* english_prompt = "Press any key to continue...";
constexpr const char* russian_prompt = "Нажмите любую клавишу для продолжения...";

// Opaque 0xAARRGGBB of a one-colour picture.
std::uint32_t colour_of(const media::Image& image) {
  const auto p = image->pixmaps[0].rgba(0, 0);
  return 0xFF000000u | (static_cast<std::uint32_t>(p.r) << 16) |
         (static_cast<std::uint32_t>(p.g) << 8) | static_cast<std::uint32_t>(p.b);
}

std::pair<float, float> centre_of(const DrawRecord& d) {
  return {(d.vertices[0].x + d.vertices[2].x) / 2, (d.vertices[0].y + d.vertices[2].y) / 2};
}

bool same_draws(const std::vector<DrawRecord>& a, const std::vector<DrawRecord>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].pixmap != b[i].pixmap || a[i].vertices.size() != b[i].vertices.size()) return false;
    for (std::size_t k = 0; k < a[i].vertices.size(); ++k) {
      if (a[i].vertices[k].x != b[i].vertices[k].x || a[i].vertices[k].y != b[i].vertices[k].y)
        return false;
    }
  }
  return true;
}

class FlowScreens : public GameTest {
 protected:
  void SetUp() override {
    media::Graphics(1024, 768, 32, 60, 0);
    media::SetBlend(3);
    test_support::fill_catalogue_pictures();
    media::MidHandleImage(catalogue().map_images[1]);
    game = std::make_unique<TGame>();
    game->_lang = "ENG";
    game->_lives = 3;
    frames_before = hb.frames_presented();  // opening the display presents too
    hb.set_frame_hook([this](int) { shown.push_back(hb.draws_of_last_frame()); });
  }

  // Frames presented since the test began.
  int frames() const { return hb.frames_presented() - frames_before; }

  void press_at(std::int32_t ms, int key = space_key) {
    hb.inject_at_time(ms, {Type::key_down, key});
    hb.inject_at_time(ms + 20, {Type::key_up, key});
  }

  // Runs `screen` up to the wait for a key that never comes; the draws of each frame it showed.
  std::vector<std::vector<DrawRecord>> frames_until_it_waits(const std::function<void()>& screen) {
    const std::size_t from = shown.size();
    EXPECT_THROW(screen(), media::InputStarved);
    return {shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end()};
  }

  // For each frame, one byte of the colour `image` was drawn in (alpha_byte or red_byte), or -1
  // where it was not drawn.
  static std::vector<int> levels_of(const std::vector<std::vector<DrawRecord>>& frames,
                                    const media::Image& image, int byte) {
    std::vector<int> levels;
    for (const std::vector<DrawRecord>& frame : frames) {
      int level = -1;
      for (const DrawRecord& d : frame) {
        if (d.pixmap == &image->pixmaps[0]) level = static_cast<int>(d.argb >> byte & 255);
      }
      levels.push_back(level);
    }
    return levels;
  }

  // The draw calls of the last frame that show `image`.
  std::vector<DrawRecord> draws_of(const media::Image& image) {
    std::vector<DrawRecord> found;
    for (const DrawRecord& d : hb.draws_of_last_frame()) {
      if (d.pixmap == &image->pixmaps[0]) found.push_back(d);
    }
    return found;
  }

  // The draw calls of the last frame other than those of `image`.
  std::vector<DrawRecord> draws_except(const media::Image& image) {
    std::vector<DrawRecord> found;
    for (const DrawRecord& d : hb.draws_of_last_frame()) {
      if (d.pixmap != &image->pixmaps[0]) found.push_back(d);
    }
    return found;
  }

  // What DrawText makes of `text` at the prompt's place (drawn into the frame being built).
  std::vector<DrawRecord> prompt_draws(const std::string& text) {
    const std::size_t before = hb.draws_since_present().size();
    media::DrawText(text, 200, 700);
    const auto& all = hb.draws_since_present();
    return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
  }

  static void expect_draw_state_left_white() {
    const media::TDrawState& s = media::draw_state();
    EXPECT_EQ(s.color_red + s.color_green + s.color_blue, 3 * 255);
    EXPECT_EQ(s.color_alpha, 1.0f);
  }

  std::unique_ptr<TGame> game;
  int frames_before = 0;
  std::vector<std::vector<DrawRecord>> shown;  // every frame presented, as drawn
};

}  // namespace

TEST_F(FlowScreens, EachFadeRunsItsOwnFramesFromNothingAndLeavesTheDrawStateWhite) {
  const MediaCatalogue& c = catalogue();
  const auto story =
      levels_of(frames_until_it_waits([&] { game->show_story(); }), c.story_image, alpha_byte);
  ASSERT_EQ(story.size(), 51u + 1u);
  EXPECT_EQ(story[0], 0);
  EXPECT_EQ(story[1], 5);  // 0.02
  EXPECT_EQ(story[50], 254);
  EXPECT_EQ(story[51], -1) << "the prompt's frame adds only the prompt";
  expect_draw_state_left_white();

  const auto map_frames = frames_until_it_waits([&] { game->show_map(5); });
  const auto grey = levels_of(map_frames, c.map_images[0], red_byte);
  ASSERT_EQ(grey.size(), 86u + 1u);
  EXPECT_EQ(grey[0], 0);
  EXPECT_EQ(grey[1], 3);
  EXPECT_EQ(grey[85], 255);
  EXPECT_EQ(grey[86], -1);
  EXPECT_EQ(levels_of(map_frames, c.map_images[0], alpha_byte)[0], 255) << "by colour, not alpha";
  expect_draw_state_left_white();

  game->_level = 4;
  const auto complete = levels_of(frames_until_it_waits([&] { game->level_complete(); }),
                                  c.level_complete_eng_image, alpha_byte);
  ASSERT_EQ(complete.size(), 10u) << "no frame of its own for the wait";
  EXPECT_EQ(complete[0], 0);
  EXPECT_EQ(complete[9], 229);  // 0.9
  expect_draw_state_left_white();

  game->_level = 2;
  const auto death =
      levels_of(frames_until_it_waits([&] { game->player_death(); }), c.death_image, alpha_byte);
  ASSERT_EQ(death.size(), 20u + 1u);
  EXPECT_EQ(death[0], 0);
  EXPECT_EQ(death[19], 242);  // 0.95
  EXPECT_EQ(death[20], -1);
  expect_draw_state_left_white();

  game->_level = 18;
  press_at(media::MilliSecs() + 500);
  const auto end =
      levels_of(frames_until_it_waits([&] { game->level_complete(); }), c.theend_image, alpha_byte);
  ASSERT_EQ(end.size(), 10u + 101u);
  EXPECT_EQ(end[9], -1);
  EXPECT_EQ(end[10], 0);
  EXPECT_EQ(end[110], 254);  // 0.99999934
  expect_draw_state_left_white();
}

TEST_F(FlowScreens, LevelCompleteFadesTheLanguagesPictureInOverThePlayFrame) {
  const MediaCatalogue& c = catalogue();
  game->_level = 4;
  frames_until_it_waits([&] { game->level_complete(); });
  auto drawn = draws_of(c.level_complete_eng_image);
  ASSERT_EQ(hb.draws_of_last_frame().size(), 1u);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].vertices[0].x, 400.0f);
  EXPECT_EQ(drawn[0].vertices[0].y, 300.0f);
  EXPECT_EQ(drawn[0].argb >> 24, 229u) << "the tenth frame draws at alpha 0.9";

  game->_lang = "RUS";
  frames_until_it_waits([&] { game->level_complete(); });
  drawn = draws_of(c.level_complete_image);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].vertices[0].x, 370.0f);
  EXPECT_EQ(drawn[0].vertices[0].y, 300.0f);

  game->_lang = "DEU";
  EXPECT_EQ(frames_until_it_waits([&] { game->level_complete(); }).size(), 10u);
  EXPECT_TRUE(hb.draws_of_last_frame().empty());
}

TEST_F(FlowScreens, ThePromptIsInThePlayersLanguageAndMissingForAnyOther) {
  media::SetImageFont(
      media::LoadImageFont(HEDGEROW_SOURCE_DIR "/assets/fonts/arial.ttf", 18, media::font_smooth));
  struct Case {
    const char* lang;
    const char* prompt;
  };
  for (const Case& c : {Case{"ENG", english_prompt}, Case{"RUS", russian_prompt}}) {
    game->_lang = c.lang;
    frames_until_it_waits([&] { game->show_story(); });
    const std::vector<DrawRecord> shown = hb.draws_of_last_frame();
    EXPECT_TRUE(same_draws(shown, prompt_draws(c.prompt))) << c.lang;
    media::Flip(0);
  }
  game->_lang = "";
  frames_until_it_waits([&] { game->show_story(); });
  EXPECT_TRUE(hb.draws_of_last_frame().empty());
  frames_until_it_waits([&] { game->player_death(); });
  EXPECT_TRUE(draws_except(catalogue().life_big_image).empty());
}

TEST_F(FlowScreens, TheDeathScreenShowsTheLivesThatWillBeLeft) {
  const media::Image& life = catalogue().life_big_image;
  test_support::write_level(2, "@");
  game->_level = 2;
  frames_until_it_waits([&] { game->player_death(); });
  const auto icons = draws_of(life);
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].vertices[0].x, 450.0f);
  EXPECT_EQ(icons[1].vertices[0].x, 600.0f);
  EXPECT_EQ(icons[0].vertices[0].y, 500.0f);
  EXPECT_EQ(icons[1].vertices[0].y, 500.0f);
  const std::vector<DrawRecord> prompt = draws_except(life);
  EXPECT_TRUE(same_draws(prompt, prompt_draws(english_prompt)));
  media::Flip(0);

  game->_lives = 1;
  frames_until_it_waits([&] { game->player_death(); });
  EXPECT_TRUE(draws_of(life).empty());
  EXPECT_FALSE(hb.draws_of_last_frame().empty()) << "the prompt";
}

TEST_F(FlowScreens, WithNoLifeLeftDeathDoesNothing) {
  game->_lives = 0;
  game->_level = 7;
  game->_score_this_level = 15;
  EXPECT_EQ(game->player_death(), 0);
  EXPECT_EQ(frames(), 0);
  EXPECT_TRUE(hb.draws_since_present().empty());
  EXPECT_EQ(game->_lives, 0);
  EXPECT_EQ(game->_level, 7);
  EXPECT_EQ(game->_score_this_level, 15);
  EXPECT_FALSE(game->_player) << "no level built";
}

TEST_F(FlowScreens, DeathCostsALifeAndRestartsTheLevelWithoutItsPoints) {
  test_support::write_level(2, "...@");
  game->_level = 2;
  game->_score = 60;
  game->_score_this_level = 25;
  press_at(1000);
  EXPECT_EQ(game->player_death(), 0);
  EXPECT_EQ(frames(), 21) << "straight back to play on level 2";
  EXPECT_EQ(game->_lives, 2);
  EXPECT_EQ(game->_level, 2);
  EXPECT_EQ(game->_score_this_level, 0);
  EXPECT_EQ(game->_score, 60);
  EXPECT_EQ(game->_player->_x, 192.0f);

  test_support::write_level(1, "@");
  game->_level = 1;
  press_at(2000);
  press_at(5000);
  game->player_death();
  EXPECT_EQ(frames(), 21 + 21 + 87) << "level 1 shows the tutorial again";
  EXPECT_EQ(game->_lives, 1);
}

TEST_F(FlowScreens, LevelCompleteBanksThePointsRestoresLivesAndShowsTheMapBeforeTheNextLevel) {
  MediaCatalogue& c = catalogue();
  test_support::write_level(5, ".....@");
  scratch.write("music.wav", test_support::encode_wav(8000, 8000));
  c.sounds[2] = media::LoadSound("music.wav", media::sound_loop);
  game->play_sound();
  game->_level = 4;
  game->_score = 100;
  game->_score_this_level = 35;
  game->_lives = 1;
  press_at(1000);  // the picture is up after 10 frames
  press_at(4000);  // the map 87 frames later
  EXPECT_EQ(game->level_complete(), 0);

  EXPECT_EQ(frames(), 10 + 87);
  EXPECT_EQ(game->_score, 135);
  EXPECT_EQ(game->_lives, 3);
  EXPECT_EQ(game->_level, 5);
  EXPECT_EQ(game->_score_this_level, 0);
  EXPECT_EQ(game->_player->_x, 320.0f) << "level 5 built";
  const std::vector<DrawRecord>& last_map_frame = shown[10 + 85];
  ASSERT_EQ(last_map_frame.size(), 2u);
  EXPECT_EQ(last_map_frame[1].pixmap, &c.map_images[1]->pixmaps[0]);
  EXPECT_EQ(centre_of(last_map_frame[1]), (std::pair(336.0f, 480.0f))) << "the marker of level 5";
  EXPECT_EQ(media::ChannelPlaying(game->_channel), 1) << "the music plays on";
}

TEST_F(FlowScreens, TheMapShowsTheTutorialBeforeLevelOneAndNoMarkerOutsideLevelsTwoToEighteen) {
  MediaCatalogue& c = catalogue();
  c.map_images[0] = test_support::solid_picture(64, 64, 0x306090);

  frames_until_it_waits([&] { game->show_map(1); });
  EXPECT_EQ(hb.pixel(4, 4), colour_of(c.tutorial_image));
  EXPECT_EQ(hb.pixel(40, 40), 0xFF000000u) << "the map is cleared away";

  for (int level : {0, 19}) {
    const auto map_frames = frames_until_it_waits([&] { game->show_map(level); });
    EXPECT_EQ(levels_of(map_frames, c.map_images[0], red_byte)[85], 255) << level;
    for (int marker : levels_of(map_frames, c.map_images[1], red_byte)) {
      EXPECT_EQ(marker, -1) << level;
    }
  }
}

TEST_F(FlowScreens, AKeyPressedWhileAScreenFadesInDoesNotEndIt) {
  press_at(300);   // the story fades in until 866 ms
  press_at(2500);  // this one ends it
  game->show_story();
  EXPECT_EQ(media::MilliSecs(), 2500);
  EXPECT_EQ(game->_level, 1);
}

TEST_F(FlowScreens, AfterTheLastLevelOnlyEnterEndsTheFinalPictureAndAnEscapeCostsOneEnter) {
  test_support::write_level(2, "@");
  game->initialize_level(2);
  const auto level_18_world = game->_object_list;
  game->_level = 18;
  press_at(400);               // leaves the level-complete picture
  press_at(1000, escape_key);  // during the final fade
  press_at(3000, enter_key);   // used up by the Escape
  press_at(3500, space_key);   // not Enter
  press_at(4000, enter_key);

  EXPECT_EQ(game->level_complete(), 1);
  EXPECT_EQ(media::MilliSecs(), 4000);
  EXPECT_EQ(game->_level, 19);
  EXPECT_EQ(game->_lives, 3);
  EXPECT_EQ(game->_object_list, level_18_world) << "no level built";
  EXPECT_EQ(frames(), 10 + 101);
  const auto final_picture = draws_of(catalogue().theend_image);
  ASSERT_EQ(final_picture.size(), 1u);
  EXPECT_EQ(final_picture[0].argb >> 24, 254u) << "the last of 101 steps of 0.01";
}

TEST_F(FlowScreens, PadButtonsLeaveLevelCompleteAndTheFinalPicture) {
  test_support::write_level(2, "@");
  game->initialize_level(2);
  game->_level = 18;
  auto pad_at = [&](std::int32_t ms, std::uint32_t buttons) {
    media::JoystickReading r;
    r.buttons = buttons;
    hb.inject_joystick_at_time(ms, 0, r);
  };
  constexpr std::uint32_t a_button = 1u << 3, b_button = 1u << 4;
  pad_at(400, b_button);  // leaves the level-complete picture
  pad_at(1000, 0);
  pad_at(3000, a_button);

  EXPECT_EQ(game->level_complete(), 1);
  EXPECT_EQ(media::MilliSecs(), 3000);
  EXPECT_EQ(game->_level, 19);
}

TEST_F(FlowScreens, TheMusicGoesOnTheChannelOfTheLastCall) {
  scratch.write("music.wav", test_support::encode_wav(8000, 8000));
  catalogue().sounds[2] = media::LoadSound("music.wav", media::sound_loop);
  const media::Channel idle = game->_channel;
  game->play_sound();
  const media::Channel first = game->_channel;
  game->play_sound();
  EXPECT_NE(first, idle);
  EXPECT_NE(game->_channel, first);
  EXPECT_EQ(media::ChannelPlaying(game->_channel), 1);
}
