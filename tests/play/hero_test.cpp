// The hero's frame: speeds, jumps, the walls, the animation he is drawn with, stones, falling out.

#include <gtest/gtest.h>

#include <vector>

#include "media/backend.h"
#include "play/play_fixture.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int left_key = 37, up_key = 38, right_key = 39, space_key = 32, shift_key = 160;

class Hero : public PlayTest {
 protected:
  // Ground blocks along `row` from column `first` to `last`.
  void ground(int row, int first, int last) {
    for (int c = first; c <= last; ++c) place<TWall>(64.0f * c, 64.0f * row);
  }
  // The hero's x speed after each of `n` frames.
  std::vector<float> speeds(int n) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i) {
      frame();
      v.push_back(hero()._move_x);
    }
    return v;
  }
  void stick(float x, std::uint32_t buttons = 0) {
    media::JoystickReading r;
    r.axes[0] = x;
    r.buttons = buttons;
    hb.set_joystick(0, r);
  }
};

using V = std::vector<float>;

}  // namespace

TEST_F(Hero, WalksAtFourAfterTwoFramesAndFrictionStopsHimOneAFrame) {
  ground(10, 0, 20);
  hero_at(320, 576);
  hold(right_key);
  EXPECT_EQ(speeds(3), (V{2, 4, 4}));
  EXPECT_EQ(hero()._x, 330.0f);
  release(right_key);
  EXPECT_EQ(speeds(5), (V{3, 2, 1, 0, 0}));
  EXPECT_EQ(hero()._x, 336.0f);
  hold(left_key);
  EXPECT_EQ(speeds(3), (V{-2, -4, -4}));
  EXPECT_EQ(hero()._dir, 0);
}

TEST_F(Hero, RunsAtSixFromRestSevenFromWalkingAndSlowsBackToFour) {
  ground(10, 0, 40);
  hero_at(320, 576);
  hold(shift_key);
  hold(right_key);
  EXPECT_EQ(speeds(3), (V{3, 6, 6}));
  release(shift_key);
  EXPECT_EQ(speeds(3), (V{5, 4, 4}));
  hold(shift_key);  // the limit 6 is tested before the step of 3
  EXPECT_EQ(speeds(2), (V{7, 7}));
}

TEST_F(Hero, AJumpRises258Point75PixelsOver45FramesAndLandsOnTheGround) {
  ground(10, 0, 20);
  hero_at(320, 576);
  frame();
  hold(up_key);
  frame();
  release(up_key);
  EXPECT_EQ(hero()._jump, 1);
  EXPECT_EQ(plays(catalogue().sounds[1]), 1);
  int rising_frames = 1;  // the frame of the jump moved him up already
  for (float last = hero()._y;; last = hero()._y) {
    frame();
    if (hero()._y >= last) break;
    ++rising_frames;
  }
  EXPECT_EQ(rising_frames, 45);
  EXPECT_EQ(hero()._y, 576.0f - 258.75f);
  frames_until([&] { return hero()._jump == 0; }, 100);
  EXPECT_EQ(hero()._y, 576.0f);
  EXPECT_EQ(hero()._move_y, 0.0f);
}

TEST_F(Hero, AFallingHeroIsSnappedOntoTheWallAndStaysThere) {
  ground(10, 0, 20);
  hero_at(320.5f, 401.3f);
  frames_until([&] { return hero()._move_y == 0.0f; }, 100);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(hero()._y, 576.0f);
    EXPECT_EQ(hero()._jump, 0);
    frame();
  }
}

TEST_F(Hero, AWallWithinTenPixelsAboveHisHeadRefusesTheJump) {
  ground(10, 0, 20);
  place<TWall>(320, 576 - 64 - 10);  // its bottom edge at his head's strip top
  hero_at(320, 576);
  hold(up_key);
  frame();
  frame();
  EXPECT_EQ(hero()._jump, 0);
  EXPECT_EQ(hero()._y, 576.0f);
}

TEST_F(Hero, HeJumpsInTheFirstFrameOffALedgeButNotInTheSecond) {
  for (int late : {0, 1}) {
    hero_at(320, 576);  // standing in mid-air as if his ground had just ended
    game._wall_list = std::make_shared<TList>();
    for (int i = 0; i < late; ++i) frame();
    hold(up_key);
    frame();
    release(up_key);
    EXPECT_EQ(hero()._jump, 1 - late) << late;
  }
}

TEST_F(Hero, HittingACeilingStopsTheRiseButLeavesTheJumpFlagUntilLanding) {
  ground(10, 0, 20);
  place<TWall>(320, 320);  // bottom edge at 384: the head meets it on the way up
  hero_at(320, 576);
  frame();
  hold(up_key);
  frame();
  release(up_key);
  frames_until([&] { return hero()._move_y >= 0.0f; }, 100);
  EXPECT_EQ(hero()._y, 320.0f + 65.0f);
  EXPECT_EQ(hero()._jump, 1);
  frames_until([&] { return hero()._jump == 0; }, 100);
  EXPECT_EQ(hero()._y, 576.0f);
}

TEST_F(Hero, ASideWallStopsHisSpeedWithoutPushingHim) {
  ground(10, 0, 20);
  place<TWall>(400, 576);
  hero_at(330, 576);  // body ends at 380; the strip ahead reaches the wall at 400 in a few frames
  hold(right_key);
  frames_until([&] { return hero()._x >= 346.0f; }, 10);
  const float stopped_at = hero()._x;
  frame();
  frame();
  EXPECT_EQ(hero()._x, stopped_at);
  EXPECT_LE(hero()._x + 50.0f, 400.0f);
}

TEST_F(Hero, LeftAndRightHeldTogetherLeaveHimStandingFacingRightOnTheFirstLeftWalkingImage) {
  ground(10, 0, 20);
  hero_at(320, 576);
  hold(left_key);
  hold(right_key);
  for (int i = 0; i < 12; ++i) {
    frame();
    ASSERT_EQ(drawn_named("move_left0").size(), 1u) << i;
  }
  EXPECT_EQ(hero()._x, 320.0f);
  EXPECT_EQ(hero()._dir, 1);
}

TEST_F(Hero, OnlyAStickPushedAllTheWayWalksHim) {
  ground(10, 0, 20);
  hero_at(320, 576);
  stick(0.99f);
  EXPECT_EQ(speeds(2), (V{0, 0}));
  stick(-1.0f);
  EXPECT_EQ(speeds(2), (V{-2, -4}));
  stick(1.0f, 1u << 7);  // button 7 runs
  EXPECT_EQ(speeds(2), (V{-1, 2}));
}

TEST_F(Hero, IsDrawnWithThePictureAndDropOfHisAnimationWhereTheLastFrameLeftHim) {
  ground(10, 0, 20);
  hero_at(320, 576);
  game._cam_x = 100.5f;
  game._cam_y = 300.25f;
  frame();  // standing, drawn 2 lower; the camera then starts to chase him
  auto d = drawn_named("stay_right0");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_FLOAT_EQ(d[0].x, 320 - 100.5f);
  EXPECT_FLOAT_EQ(d[0].y, 576 + 2 - 300.25f);
  const float cam_x = game._cam_x, cam_y = game._cam_y;
  hold(left_key);
  frame();  // walking left, drawn 4 lower, where he stood
  d = drawn_named("move_left0");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_FLOAT_EQ(d[0].x, 320 - cam_x);
  EXPECT_FLOAT_EQ(d[0].y, 576 + 4 - cam_y);
  release(left_key);
  hold(up_key);
  frame();
  frame();  // rising, facing left
  EXPECT_EQ(drawn_named("jump_left").size(), 1u);
  release(up_key);
  frames_until([&] { return hero()._move_y > 0.0f; }, 100);
  frame();
  EXPECT_EQ(drawn_named("fall_left").size(), 1u);
  hold(right_key);
  frame();  // in the air the walking pictures wait; he turns round
  EXPECT_EQ(drawn_named("fall_right").size(), 1u);
}

TEST_F(Hero, StandingShowsEachOfItsTwoPicturesForTenFrames) {
  ground(10, 0, 20);
  hero_at(320, 576);
  std::vector<std::string> seen;
  for (int i = 0; i < 40; ++i) {
    frame();
    seen.push_back(drawn_named("stay_right1").empty() ? "0" : "1");
  }
  std::string run;
  for (const std::string& s : seen) run += s;
  EXPECT_EQ(run, "0000000000111111111100000000001111111111");
}

TEST_F(Hero, TwoThrowPressesInOneFrameThrowOneStoneFromTheSideHeFaces) {
  hero_at(300, 100);
  press(space_key);
  press(space_key);
  frame();
  std::vector<TStone*> stones;
  game.each_object<TStone>([&](TStone& s) { stones.push_back(&s); });
  ASSERT_EQ(stones.size(), 1u);
  EXPECT_EQ(stones[0]->_x, 342.0f);
  EXPECT_EQ(stones[0]->_y, 120.0f);
  EXPECT_EQ(stones[0]->_dir, 1);
  EXPECT_EQ(plays(catalogue().throw_sound), 1);

  hero()._dir = 0;
  const float x = hero()._x;
  press(space_key);
  frame();
  TStone* second = nullptr;
  game.each_object<TStone>([&](TStone& s) { second = &s; });
  ASSERT_NE(second, stones[0]);
  EXPECT_EQ(second->_x, x + 22.0f);
  EXPECT_EQ(second->_dir, -1);
}

TEST_F(Hero, FallingOneHundredPixelsBelowTheLowestWallLineIsSurvivedButOneMoreIsNot) {
  game._max_cam_y = 300;
  hero_at(640, 399.75f);  // gravity brings him to exactly 400
  frame();
  EXPECT_EQ(hero()._y, 400.0f);
  EXPECT_EQ(game._lives, 3);

  write_level(2, {{10, 3, 1}});
  hero_at(640, 400.75f);
  answer_screens(1);
  frame();
  EXPECT_EQ(game._lives, 2);
  EXPECT_EQ(hero()._x, 640.0f);  // the new hero of the rebuilt level
  EXPECT_EQ(hero()._y, 192.0f);
}
