// Whole play frames: what is painted in which order, the score and the lives, leaving play, and
// levels rebuilt by a death or an exit in the middle of the objects' passes.

#include <gtest/gtest.h>

#include "play/play_fixture.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int escape_key = 27;
constexpr std::uint32_t blue = 0xFF0000FFu, white = 0xFFFFFFFFu;

class PlayFrame : public PlayTest {
 protected:
  // Text drawn left of x 870 (the label) and from there on (the number).
  std::pair<std::vector<Drawn>, std::vector<Drawn>> score_text() const {
    std::pair<std::vector<Drawn>, std::vector<Drawn>> parts;
    for (const Drawn& d : drawn_kind("text")) (d.x < 870 ? parts.first : parts.second).push_back(d);
    return parts;
  }
  // A hero standing on ground at cell (5, 2) of a rebuilt level, far from its other objects.
  static constexpr Cell hero_cell{5, 2, 1}, ground_cell{5, 3, 101};
};

}  // namespace

TEST_F(PlayFrame, PaintsBackToFrontFromTheBackgroundToTheLifeIcons) {
  const MediaCatalogue& c = catalogue();
  game._cam_x = game._cam_y = 0;
  hero_at(400, 100);
  place<TScript>(900, 600)->_type = 1;  // never drawn, and out of the hero's way
  place<TBullet>(300, 500);
  place<TFlower>(250, 500);
  place<TSaw>(150, 500)->_size = 1;
  place<THedgehog>(50, 500);
  place<TStone>(300, 300);
  place<TBonus>(200, 300);
  place<TObj>(100, 300)->_image = c.tree_images[0];
  place<TWall>(0, 300)->_image = c.ground_images[0];
  place<TCloud>(0, 50)->_image = c.cloud_images[0];
  frame();
  EXPECT_EQ(paint_order(), (std::vector<std::string>{"bg", "cloud", "wall", "tree", "coin", "stone",
                                                     "hedgehog_left", "saw", "flower", "oval",
                                                     "text", "stay_right", "lifebar", "life"}));
  const auto lives = drawn_named("life");
  ASSERT_EQ(lives.size(), 3u);
  EXPECT_EQ(lives[0].x, 80.0f);
  EXPECT_EQ(lives[1].x, 113.0f);
  EXPECT_EQ(lives[2].x, 146.0f);
  EXPECT_EQ(lives[2].y, 51.0f);
}

TEST_F(PlayFrame, TheBackgroundChangesFromLevelTen) {
  game._level = 9;
  frame();
  EXPECT_EQ(drawn.front().name, "bg0");
  game._level = 10;
  frame();
  EXPECT_EQ(drawn.front().name, "bg1");
}

TEST_F(PlayFrame, TheScoreShowsBankedAndLevelPointsInBlueWithALabelByLanguage) {
  game._score = 95;
  game._score_this_level = 5;
  frame();
  auto [label, number] = score_text();
  ASSERT_EQ(number.size(), 3u);  // "100"
  EXPECT_NE(number[0].picture, number[1].picture);
  EXPECT_EQ(number[1].picture, number[2].picture);
  EXPECT_NEAR(number[0].x, 880, 2);
  ASSERT_EQ(label.size(), 6u);  // "Score:"
  EXPECT_NEAR(label[0].x, 800, 2);
  EXPECT_NEAR(label[0].y, 10, 4);
  for (const Drawn& d : drawn_kind("text")) EXPECT_EQ(d.argb, blue);
  EXPECT_EQ(drawn_kind("stay_right").at(0).argb, white);

  game._lang = "RUS";
  frame();
  EXPECT_NEAR(score_text().first.at(0).x, 800, 2);
  game._lang = "DEU";
  frame();
  EXPECT_TRUE(score_text().first.empty());
  EXPECT_EQ(score_text().second.size(), 3u);
}

TEST_F(PlayFrame, EscapeHeldLeavesPlayBeforeTheLivesAreDrawn) {
  hold(escape_key);
  EXPECT_EQ(frame(), 2);
  EXPECT_TRUE(drawn_kind("lifebar").empty());
  EXPECT_EQ(frame(), 2);  // held, not pressed
}

TEST_F(PlayFrame, ADeathInTheHedgehogsPassStopsItAndTheLaterPassesWorkOnTheNewLevel) {
  write_level(2, {hero_cell, ground_cell, {10, 2, 7}, {15, 2, 8}});
  answer_screens(1);
  hero_at(500, 500);
  place<THedgehog>(490, 480)->_move_x = 1;
  place<TStone>(520, 520)->_life = 30;  // on the first hedgehog, which kills before it is hit
  place<THedgehog>(300, 110);           // where the new level's hero will stand
  frame();
  EXPECT_EQ(game._lives, 2);
  EXPECT_EQ(plays(catalogue().shot_sound), 0);
  THedgehog* fresh = nullptr;
  game.each_object<THedgehog>([&](THedgehog& h) { fresh = &h; });
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->_x, 640.0f);  // the interrupted pass did not walk it
  TSaw* saw = nullptr;
  game.each_object<TSaw>([&](TSaw& s) { saw = &s; });
  ASSERT_NE(saw, nullptr);
  EXPECT_EQ(saw->_rotation, 2.0f);  // the saws' pass came after, on the new level
  EXPECT_EQ(hero()._anim, 1);       // and so did the new hero's frame
  EXPECT_EQ(hero()._x, 320.0f);
}

TEST_F(PlayFrame, TheExitCompletesTheLevelAndTheOldLevelsTriggersAfterItAreNotTested) {
  write_level(3, {hero_cell, ground_cell});
  answer_screens(2);  // the level-complete picture, then the map
  hero_at(500, 500);
  game._score = 100;
  game._score_this_level = 35;
  game._lives = 1;
  place<TScript>(510, 510)->_type = 2;
  place<TScript>(490, 490)->_type = 1;  // a death zone touching him too
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(game._level, 3);
  EXPECT_EQ(game._lives, 3);
  EXPECT_EQ(game._score, 135);
  EXPECT_EQ(game._score_this_level, 0);
  EXPECT_EQ(hero()._x, 320.0f);
}

TEST_F(PlayFrame, PassingTheLastLevelsExitEndsPlay) {
  game._level = 18;
  answer_screens(2);  // the level-complete picture, then Enter on the final picture
  hero_at(500, 500);
  place<TScript>(500, 500)->_type = 2;
  place<TScript>(500, 500)->_type = 1;
  EXPECT_EQ(frame(), 2);
  EXPECT_EQ(game._level, 19);
  EXPECT_EQ(game._lives, 3);
}

TEST_F(PlayFrame, TheLastLifeLostEndsPlayAfterOneDeathScreenWhateverElseHurtsHim) {
  write_level(2, {hero_cell, ground_cell, {6, 2, 4}});  // the rebuilt level kills him at once
  answer_screens(1);
  game._lives = 1;
  hero_at(500, 500);
  place<TSaw>(480, 480)->_size = 1;
  place<TBullet>(520, 520);
  EXPECT_EQ(frame(), 2);
  EXPECT_EQ(game._lives, 0);
  EXPECT_TRUE(drawn_kind("lifebar").empty());
}

TEST_F(PlayFrame, ABulletThatKillsIsTakenFromTheOldLevelAndTheNewLevelsBulletsFly) {
  write_level(2, {hero_cell, ground_cell});
  answer_screens(1);
  hero_at(500, 500);
  auto killer = place<TBullet>(520, 520);
  auto behind = place<TBullet>(530, 520);
  for (const auto& b : {killer, behind}) {
    b->_speed = 6;
    b->_dir = -1;
  }
  auto old_list = game._object_list;
  frame();
  EXPECT_EQ(game._lives, 2);
  EXPECT_FALSE(old_list->contains(killer.get()));
  EXPECT_TRUE(old_list->contains(behind.get()));  // never reached
  EXPECT_EQ(behind->_x, 530.0f);
}
