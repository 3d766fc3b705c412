// The camera after the hero: a resting window, a fixed chase, and the level's bottom line.

#include "play/camera.h"

#include <gtest/gtest.h>

#include "level/records.h"
#include "support/headless_test.h"

namespace {

class Camera : public HeadlessTest {
 protected:
  TGame game;
  void SetUp() override {
    game._player = std::make_shared<TPlayer>();
    game._max_y = 100000;
  }
  // The camera of a level whose hero started at (x, y), after the hero has moved by (dx, dy).
  void start_at(float x, float y) {
    game._cam_x = x - 500;
    game._cam_y = y - 340;
    game._player->_x = x;
    game._player->_y = y;
  }
  void move_hero(float dx, float dy) {
    game._player->_x += dx;
    game._player->_y += dy;
    follow_hero(game);
  }
};

}  // namespace

TEST_F(Camera, RestsWhileTheHeroStaysWithinThreePixelsAcrossAndSixUpOrDown) {
  start_at(1000.5f, 700.25f);
  for (auto [dx, dy] : {std::pair{3.0f, 6.0f}, {-6.0f, -12.0f}}) {
    move_hero(dx, dy);
    EXPECT_EQ(game._cam_x, 500.5f);
    EXPECT_EQ(game._cam_y, 360.25f);
  }
  move_hero(-0.5f, 0);  // 3.5 left of his start
  EXPECT_EQ(game._cam_x, 500.5f - 3.5f);
  move_hero(10, -7);  // a pixel more than 6 above... of where he started, at 341 on the screen
  EXPECT_EQ(game._cam_y, 360.25f - 5);
}

TEST_F(Camera, ChasesAtThreeAndAHalfAcrossRunningFactorIncludedAndFiveUpOrDown) {
  start_at(1000, 700);
  game._player->_run = 1.5f;
  move_hero(6, 40);
  EXPECT_EQ(game._cam_x, 500 + 5.25f);  // a runner at 6 gains 0.75 a frame on the screen
  EXPECT_EQ(game._cam_y, 360 + 5);
  move_hero(-20, -80);
  EXPECT_EQ(game._cam_x, 500 + 5.25f - 5.25f);
  EXPECT_EQ(game._cam_y, 360);
}

TEST_F(Camera, NeverShowsBelowTheLevelsBottomLine) {
  start_at(1000, 700);
  game._max_y = 1133;  // the screen's bottom edge would be at 360 + 5 + 768 = 1133
  move_hero(0, 20);
  EXPECT_EQ(game._cam_y, 1133 - 768);
  game._max_y = 1139;  // room for one more step of 5 and a pixel
  move_hero(0, 20);
  EXPECT_EQ(game._cam_y, 1133 - 768 + 5);
  game._max_y = 900;  // it also pulls the camera up at once, by any distance
  move_hero(0, 0);
  EXPECT_EQ(game._cam_y, 900 - 768);
}
