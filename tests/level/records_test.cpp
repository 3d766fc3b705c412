#include "level/records.h"

#include <gtest/gtest.h>

#include "media/sound.h"
#include "support/headless_test.h"

namespace {

class Records : public HeadlessTest {
 protected:
  TGame game;

  void add_wall(float x, float y) {
    auto w = std::make_shared<TWall>();
    w->_x = x;
    w->_y = y;
    game._wall_list->add_last(w);
  }
  void hero_at(float x, float y) {
    game._player = std::make_shared<TPlayer>();
    game._player->_x = x;
    game._player->_y = y;
  }

  void SetUp() override { game._wall_list = std::make_shared<TList>(); }
};

}  // namespace

TEST_F(Records, AFreshGameHasNoLevelNoLanguageAndASilentChannel) {
  TGame fresh;
  EXPECT_EQ(fresh._lang, "");
  EXPECT_FALSE(fresh._player);
  EXPECT_FALSE(fresh._object_list);
  EXPECT_FALSE(fresh._wall_list);
  EXPECT_EQ(fresh._level + fresh._lives + fresh._score + fresh._score_this_level + fresh._monets +
                fresh._record + fresh._last_level,
            0);
  EXPECT_EQ(fresh._map[0][0] | fresh._map[199][199] | fresh._map[17][133], 0);
  ASSERT_TRUE(fresh._channel);
  EXPECT_EQ(media::ChannelPlaying(fresh._channel), 0);
}

TEST_F(Records, AFreshHeroFacesRightWalkingWithItsDefaultLimits) {
  TPlayer p;
  EXPECT_EQ(p._dir, 1);
  EXPECT_EQ(p._run, 1.0f);
  EXPECT_EQ(p._max_move_speed, 4.0f);
  EXPECT_EQ(p._max_fall_speed, 16.0f);
  EXPECT_EQ(p._x + p._y + p._move_x + p._move_y + p._anim_frame, 0.0f);
  EXPECT_EQ(p._anim + p._anim_last_frame + p._jump, 0);
}

TEST_F(Records, AFlowerRemembersTheClockWhenItIsMade) {
  hb.set_clock(1500);
  TFlower early;
  hb.set_clock(4321);
  TFlower late;
  EXPECT_EQ(early._timer, 1500.0f);
  EXPECT_EQ(late._timer, 4321.0f);
}

TEST_F(Records, ATriggerReportsItsType) {
  TScript exit;
  exit._type = 2;
  EXPECT_EQ(exit.get_value(), 2);
}

TEST_F(Records, HeadRoomIsTheStripOfTenPixelsAboveTheHerosHead) {
  hero_at(100, 200);  // the strip is x 116...148, y 190...200
  EXPECT_EQ(game.check_up(), 0);
  add_wall(128, 64);   // ends at y 128: well above
  add_wall(192, 128);  // starts at x 192: right of the strip
  EXPECT_EQ(game.check_up(), 0);
  add_wall(128, 128);  // reaches y 192
  EXPECT_EQ(game.check_up(), 1);
}

TEST_F(Records, HeadRoomCountsAWallThatOnlyTouchesTheStripAtACorner) {
  hero_at(100.9f, 200.9f);  // truncates to the same strip as (100, 200)
  add_wall(52, 125);        // right edge at 116, bottom edge at 189: one pixel short
  EXPECT_EQ(game.check_up(), 0);
  add_wall(52, 126);  // bottom edge at 190, the strip's top
  EXPECT_EQ(game.check_up(), 1);
}
