// Each kind of object in its pass: how it moves, what it is drawn with, what it touches.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "media/system.h"
#include "play/play_fixture.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

class Objects : public PlayTest {
 protected:
  template <class T>
  int count() {
    int n = 0;
    game.each_object<T>([&](T&) { ++n; });
    return n;
  }
  // Lives lost in one pass of the objects; a death screen is answered.
  int lives_lost_in_pass() {
    write_level(2, {{30, 20, 1}, {30, 21, 101}});  // far from anything the tests place
    answer_screens(1);
    const int before = game._lives;
    game.update_objects();
    return before - game._lives;
  }
};

}  // namespace

TEST_F(Objects, ACoinDriftsTowardsANearHeroByFourPlusHisSpeedATieMovingRightAndDown) {
  hero_at(500, 300)._move_x = -2.5f;
  hero()._move_y = 1.25f;
  auto tie = place<TBonus>(500, 300);  // level with him both ways
  auto above_right = place<TBonus>(595.5f, 204.5f);
  auto too_far = place<TBonus>(596, 300);  // 96 across: out of reach
  game.update_objects();
  EXPECT_EQ(tie->_x, 506.5f);
  EXPECT_EQ(tie->_y, 305.25f);
  EXPECT_EQ(above_right->_x, 595.5f - 6.5f);
  EXPECT_EQ(above_right->_y, 204.5f + 5.25f);
  EXPECT_EQ(too_far->_x, 596.0f);
}

TEST_F(Objects, ACoinPickedUpScoresAndSoundsAndIsStillDrawnInThatFrame) {
  hero_at(500, 300);
  auto coin = place<TBonus>(548, 300);  // drifts 4 left: its box's left edge meets his right
  coin->_score = 5;
  coin->_last_frame = 4;
  frame();
  EXPECT_EQ(count<TBonus>(), 0);
  EXPECT_EQ(game._score_this_level, 5);
  EXPECT_EQ(plays(catalogue().sounds[0]), 1);
  EXPECT_EQ(drawn_named("coin0").size(), 1u);
}

TEST_F(Objects, ACoinTurnsThroughItsFourPicturesAndStartsAgain) {
  hero_at(5000, 300);
  auto coin = place<TBonus>(500, 300);
  coin->_last_frame = 4;
  std::string seen;
  for (int i = 0; i < 24; ++i) {
    frame();
    for (const Drawn& d : drawn_kind("coin")) seen += d.name.substr(4);
  }
  EXPECT_EQ(seen, "000000111111222222333330");  // 23 steps of 0.175 reach 4
}

TEST_F(Objects, ACloudIsSpawnedFromItsFourDrawsInOrderAndDriftsInTheSameFrame) {
  int seed = 1;
  for (;; ++seed) {  // a seed whose first draw brings a cloud
    media::SeedRnd(seed);
    if (media::Rand(0, 60) == 10) break;
  }
  const int drift = media::Rand(1, 3), rise = media::Rand(-450, -200), look = media::Rand(0, 4);
  hero_at(1000.5f, 2000.25f);
  media::SeedRnd(seed);
  game.update_objects();
  std::vector<TCloud*> clouds;
  game.each_object<TCloud>([&](TCloud& c) { clouds.push_back(&c); });
  ASSERT_EQ(clouds.size(), 1u);
  EXPECT_EQ(clouds[0]->_x, 1000.5f - 700 + static_cast<float>(drift));
  EXPECT_EQ(clouds[0]->_move_x, static_cast<float>(drift));
  EXPECT_EQ(clouds[0]->_y, 2000.25f + static_cast<float>(rise));
  EXPECT_EQ(clouds[0]->_image, catalogue().cloud_images[static_cast<std::size_t>(look)]);
}

TEST_F(Objects, ACloudGoesOnceItIsMoreThanAThousandPixelsRightOfTheHero) {
  hero_at(100, 0);
  auto cloud = place<TCloud>(1098, 0);
  cloud->_move_x = 1;
  game.update_objects();  // at 1099
  game.update_objects();  // at 1100: not beyond
  EXPECT_TRUE(game._object_list->contains(cloud.get()));
  game.update_objects();
  EXPECT_FALSE(game._object_list->contains(cloud.get()));
}

TEST_F(Objects, AStoneRisesFiftySevenPixelsOverThirtyFramesAndIsBackAtItsHeightAfterFiftyNine) {
  hero_at(5000, 0);
  auto stone = place<TStone>(200.5f, 300);
  stone->_dir = -1;
  for (int i = 0; i < 30; ++i) game.update_objects();
  EXPECT_NEAR(stone->_y, 300 - 8555.0f / 150, 1e-3);  // 29² + 28² + ... + 1² over 150
  EXPECT_EQ(stone->_x, 200.5f - 120);
  for (int i = 30; i < 59; ++i) game.update_objects();
  EXPECT_NEAR(stone->_y, 300, 1e-3);
  EXPECT_EQ(stone->_rotation, std::fmod(59.0f * 5, 360.0f));
}

TEST_F(Objects, AStoneIsUsedUpOnAWallOrBelowTheLowestWallLineButIsDrawnInThatFrame) {
  hero_at(5000, 0);
  place<TWall>(400, 360);
  auto hits = place<TStone>(400 - 15 - 4, 380);  // its box's right edge reaches 400 after 4
  auto misses = place<TStone>(400 - 16 - 4, 380);
  hits->_dir = misses->_dir = 1;
  hits->_life = misses->_life = 30;  // at the top of its arc
  frame();
  EXPECT_EQ(drawn_named("stone").size(), 2u);
  EXPECT_FALSE(game._object_list->contains(hits.get()));
  EXPECT_TRUE(game._object_list->contains(misses.get()));

  auto falls = place<TStone>(100, 380);
  falls->_life = 30;
  game._max_cam_y = 380;  // it sinks by 1/150 in the next frame
  frame();
  EXPECT_EQ(drawn_named("stone").size(), 2u);
  EXPECT_FALSE(game._object_list->contains(falls.get()));
}

TEST_F(Objects, AStoneNeverHurtsTheHero) {
  hero_at(300, 300);
  place<TStone>(332, 332)->_life = 30;
  EXPECT_EQ(lives_lost_in_pass(), 0);
}

TEST_F(Objects, AHedgehogTurnsInTheFirstFrameItIsAPixelPastItsLastBlock) {
  hero_at(5000, 0);
  place<TWall>(576, 640);
  place<TWall>(640, 640);  // the last block, at X = 640
  auto h = place<THedgehog>(600, 576);
  h->_move_x = 1;
  h->_speed = 1.35f;
  float before = h->_x;
  while (h->_move_x == 1.0f) {
    before = h->_x;
    game.update_objects();
  }
  EXPECT_GE(h->_x, 641.0f);
  EXPECT_LT(before, 641.0f);
  const float cam_y = game._cam_y;
  frame();
  const auto d = drawn_kind("hedgehog_left");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_FLOAT_EQ(d[0].y, 576 + 19 - cam_y);
}

TEST_F(Objects, TwoStonesOnOneHedgehogAreBothUsedUpEachWithItsSound) {
  hero_at(5000, 0);
  auto h = place<THedgehog>(600, 576);
  auto a = place<TStone>(620, 610);
  auto b = place<TStone>(640, 620);
  a->_life = b->_life = 30;
  game.update_objects();
  EXPECT_EQ(count<THedgehog>(), 0);
  EXPECT_EQ(count<TStone>(), 0);
  EXPECT_EQ(plays(catalogue().shot_sound), 2);
}

TEST_F(Objects, ASawKillsFromTheEdgeOfItsBladeLargeOrSmall) {
  auto large = place<TSaw>(1000, 1000);
  auto small = place<TSaw>(3000, 1000);
  small->_size = 1;
  hero_at(1000 + 12 - 54 - 1, 1000);  // a pixel short of the large blade's left edge
  EXPECT_EQ(lives_lost_in_pass(), 0);
  hero_at(1000 + 12 - 54, 1000);
  EXPECT_EQ(lives_lost_in_pass(), 1);
  game._object_list->add_last(small);
  hero_at(3000 + 6 + 52 - 10 + 1, 1000);
  EXPECT_EQ(lives_lost_in_pass(), 0);
  hero_at(3000 + 6 + 52 - 10, 1000);
  EXPECT_EQ(lives_lost_in_pass(), 1);
}

TEST_F(Objects, AFlowerFiresOnlyWhenMoreThanThreeSecondsHavePassedAndItsBulletMovesAtOnce) {
  hero_at(5000, 0);
  hb.set_clock(7000);
  auto flower = place<TFlower>(400.5f, 300);
  hb.set_clock(10000);
  game.update_objects();
  EXPECT_EQ(count<TBullet>(), 0);
  hb.set_clock(10001);
  const float cam_x = game._cam_x, cam_y = game._cam_y;
  frame();
  const auto ovals = drawn_named("oval");
  ASSERT_EQ(ovals.size(), 1u);
  EXPECT_FLOAT_EQ(ovals[0].x, 400.5f - 3 - cam_x);
  EXPECT_FLOAT_EQ(ovals[0].y, 300 + 17 - cam_y);
  EXPECT_EQ(flower->_timer, 10001.0f);
  // The shot shows the open flower for four frames, then the closed one again.
  std::string seen;
  for (int i = 0; i < 16; ++i) {
    frame();
    seen += drawn_named("flower1").empty() ? "0" : "1";
  }
  EXPECT_EQ(seen, "1111000000000000");
  EXPECT_LT(flower->_frame, 0.0f);  // at rest a hair below zero, still the closed flower
  EXPECT_GT(flower->_frame, -0.001f);
}

TEST_F(Objects, AFlowerKeepsFiringWhenTheClockWrapsPastItsLargestValue) {
  // The clock is the machine's time since it started: after 24.8 days it turns negative.
  hero_at(5000, 0);
  hb.set_clock(2147483647 - 1000);
  place<TFlower>(400.5f, 300);
  hb.set_clock(-2147483647 + 1700);  // 2700 ms later, round the wrap
  game.update_objects();
  EXPECT_EQ(count<TBullet>(), 0);
  hb.set_clock(-2147483647 + 2500);  // 3500 ms later
  game.update_objects();
  EXPECT_EQ(count<TBullet>(), 1);
}

TEST_F(Objects, ABulletIsGoneOnAWallOrFarPastTheWorldsLeftEdge) {
  hero_at(5000, 0);
  place<TWall>(0, 300);
  auto walled = place<TBullet>(70, 310);  // reaches the wall's edge at 64
  auto lost = place<TBullet>(-1020, 310);
  auto kept = place<TBullet>(-1018, 310);
  for (const auto& b : {walled, lost, kept}) {
    b->_speed = 6;
    b->_dir = -1;
  }
  game.update_objects();
  EXPECT_FALSE(game._object_list->contains(walled.get()));
  EXPECT_FALSE(game._object_list->contains(lost.get()));
  EXPECT_TRUE(game._object_list->contains(kept.get()));
  EXPECT_EQ(kept->_x, -1024.0f);
}

TEST_F(Objects, ABulletHittingAWallStillHurtsTheHeroInThatFrame) {
  hero_at(200, 300);
  place<TWall>(200, 280);
  auto b = place<TBullet>(200 + 54 + 6, 310);  // reaches his body's right edge
  b->_speed = 6;
  b->_dir = -1;
  EXPECT_EQ(lives_lost_in_pass(), 1);
}
