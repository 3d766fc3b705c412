// The grid of where walls stand answers as a scan of the whole wall list would.

#include "level/wall_grid.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "level/records.h"

namespace {

std::shared_ptr<TWall> wall_at(float x, float y) {
  auto w = std::make_shared<TWall>();
  w->_x = x;
  w->_y = y;
  return w;
}

bool scan_finds(TList& walls, const Box& b) {
  bool found = false;
  walls.each<TWall>([&](TWall& w) { found = found || overlap(b, box(w._x, w._y, 64, 64)); });
  return found;
}

// Walls placed at random in a region, at cell corners or anywhere, including negative places.
std::shared_ptr<TList> random_walls(std::mt19937& rng, int count, float spread, bool on_cells) {
  auto list = std::make_shared<TList>();
  std::uniform_real_distribution<float> at(-spread, spread);
  for (int i = 0; i < count; ++i) {
    float x = at(rng), y = at(rng);
    if (on_cells) {
      x = 64.0f * std::floor(x / 64.0f);
      y = 64.0f * std::floor(y / 64.0f);
    }
    list->add_last(wall_at(x, y));
  }
  return list;
}

}  // namespace

TEST(WallGrid, FindsAWallTouchingABoxExactlyWhenAScanOfTheListDoes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    const bool on_cells = round % 2 == 0;
    const float spread = round < 20 ? 800.0f : 60000.0f;  // the far one needs wider cells
    auto walls = random_walls(rng, 1 + round * 10, spread, on_cells);
    WallGrid grid;
    grid.track(walls);
    std::uniform_real_distribution<float> at(-spread - 200, spread + 200), size(-80, 140);
    for (int q = 0; q < 400; ++q) {
      const Box b = box(at(rng), at(rng), size(rng), size(rng));
      ASSERT_EQ(grid.any_overlaps(b), scan_finds(*walls, b)) << round << " " << q;
    }
  }
}

TEST(WallGrid, CountsTouchingEdgesAndCornersAsOverlap) {
  auto walls = std::make_shared<TList>();
  walls->add_last(wall_at(640.9f, 128));  // its square starts at 640
  WallGrid grid;
  grid.track(walls);
  EXPECT_TRUE(grid.any_overlaps({704, 192, 2, 2}));   // the far corner
  EXPECT_FALSE(grid.any_overlaps({705, 100, 2, 2}));  // one past the right edge
  EXPECT_TRUE(grid.any_overlaps({630, 100, 10, 28}));
  EXPECT_FALSE(grid.any_overlaps({630, 100, 9, 28}));
}

TEST(WallGrid, ListsTheWallsTouchingAnyOfSeveralBoxesInListOrderAfterAPosition) {
  auto walls = std::make_shared<TList>();
  for (float x : {640.0f, 0.0f, 128.0f, 640.0f, 0.0f}) walls->add_last(wall_at(x, 0));
  WallGrid grid;
  grid.track(walls);
  const Box boxes[] = {{10, 10, 2, 2}, {700, 10, 2, 2}};
  auto found = grid.overlapping(boxes, -1);
  EXPECT_EQ(std::vector<int>(found.begin(), found.end()), (std::vector<int>{0, 1, 3, 4}));
  found = grid.overlapping(boxes, 1);
  EXPECT_EQ(std::vector<int>(found.begin(), found.end()), (std::vector<int>{3, 4}));
  EXPECT_EQ(grid.wall(3)._x, 640.0f);
}

TEST(WallGrid, FollowsItsListWhenItChangesOrIsReplaced) {
  auto walls = std::make_shared<TList>();
  WallGrid grid;
  grid.track(walls);
  EXPECT_FALSE(grid.any_overlaps({0, 0, 1, 1}));
  auto w = wall_at(0, 0);
  walls->add_last(w);
  grid.track(walls);
  EXPECT_TRUE(grid.any_overlaps({0, 0, 1, 1}));
  walls->remove(w.get());
  walls->add_last(wall_at(500, 0));  // the same count, another wall
  grid.track(walls);
  EXPECT_FALSE(grid.any_overlaps({0, 0, 1, 1}));

  auto other = std::make_shared<TList>();
  other->add_last(wall_at(0, 0));
  grid.track(other);
  EXPECT_TRUE(grid.any_overlaps({0, 0, 1, 1}));
  grid.track(nullptr);
  EXPECT_FALSE(grid.any_overlaps({0, 0, 1, 1}));
}

TEST(WallGrid, AGameAsksAboutTheWallListItHasNow) {
  TGame game;
  game._wall_list = std::make_shared<TList>();
  game._wall_list->add_last(wall_at(0, 0));
  EXPECT_TRUE(game.wall_grid().any_overlaps({10, 10, 1, 1}));
  game._wall_list = std::make_shared<TList>();  // a rebuilt level
  EXPECT_FALSE(game.wall_grid().any_overlaps({10, 10, 1, 1}));
}
