// The hero against the walls through the grid gives what the four tests of every wall in list
// order give, cascades of hits included.

#include "play/hero_walls.h"

#include <gtest/gtest.h>

#include <random>

#include "level/records.h"

namespace {

struct Start {
  float x, y, move_x, move_y;
};

TPlayer hero_from(const Start& s) {
  TPlayer p;
  p._x = s.x;
  p._y = s.y;
  p._move_x = s.move_x;
  p._move_y = s.move_y;
  p._jump = 1;
  return p;
}

TPlayer scanned(TList& walls, const Start& s) {
  TPlayer p = hero_from(s);
  walls.each<TWall>([&](TWall& w) { collide_with_wall(p, w); });
  return p;
}

TPlayer through_grid(const std::shared_ptr<TList>& walls, const Start& s) {
  TPlayer p = hero_from(s);
  WallGrid grid;
  grid.track(walls);
  collide_with_walls(p, grid);
  return p;
}

void add_wall(TList& list, float x, float y) {
  auto w = std::make_shared<TWall>();
  w->_x = x;
  w->_y = y;
  list.add_last(w);
}

void expect_same(const TPlayer& a, const TPlayer& b) {
  EXPECT_EQ(a._x, b._x);
  EXPECT_EQ(a._y, b._y);
  EXPECT_EQ(a._move_x, b._move_x);
  EXPECT_EQ(a._move_y, b._move_y);
  EXPECT_EQ(a._jump, b._jump);
}

}  // namespace

TEST(HeroWalls, ACeilingHitInsideAColumnOfGroundCascadesDownItInListOrderOnly) {
  // A column listed top to bottom: each ceiling hit puts his head under the next block down.
  auto down = std::make_shared<TList>();
  for (int r = 0; r < 6; ++r) add_wall(*down, 320, 64.0f * r);
  const Start inside{310, 30, 0, -3};
  const TPlayer pushed = through_grid(down, inside);
  EXPECT_EQ(pushed._y, 5 * 64.0f + 65.0f);
  expect_same(pushed, scanned(*down, inside));

  // Listed bottom to top, the blocks below are passed before his head is put under the top one,
  // and are not looked at again.
  auto up = std::make_shared<TList>();
  for (int r = 5; r >= 0; --r) add_wall(*up, 320, 64.0f * r);
  const TPlayer once = through_grid(up, inside);
  EXPECT_EQ(once._y, 65.0f);
  expect_same(once, scanned(*up, inside));
}

TEST(HeroWalls, TheGridGivesTheSameHeroAsTheFullScanInRandomWorlds) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> cell(0, 9), odd(0, 3);
  std::uniform_real_distribution<float> at(-20, 660), speed_x(-9, 9), speed_y(-16, 16);
  for (int world = 0; world < 300; ++world) {
    auto walls = std::make_shared<TList>();
    const int count = 5 + world % 60;
    for (int i = 0; i < count; ++i) {
      // Mostly on cell corners, some anywhere: hand-made worlds need not keep to the grid.
      const bool anywhere = odd(rng) == 0;
      add_wall(*walls, anywhere ? at(rng) : 64.0f * cell(rng),
               anywhere ? at(rng) : 64.0f * cell(rng));
    }
    for (int h = 0; h < 30; ++h) {
      const Start s{at(rng), at(rng), speed_x(rng), speed_y(rng)};
      const TPlayer expected = scanned(*walls, s);
      const TPlayer got = through_grid(walls, s);
      ASSERT_EQ(got._y, expected._y) << world << " " << h;
      expect_same(got, expected);
    }
  }
}
