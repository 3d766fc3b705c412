// Counting what a level holds for the designer's overview: every kind of cell counted on its
// own, the box the level fills, and the codes a set of levels leaves unused.

#include "level_stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What rows of text hold, put `top` rows down and `left` columns in, so the box does not start
// at 0.
levels::LevelStats level(const std::vector<std::string>& rows, int top, int left) {
  std::string text(static_cast<std::size_t>(top), '\n');
  for (const std::string& row : rows)
    text += std::string(static_cast<std::size_t>(left), '.') + row + "\n";
  return levels::level_stats(levels::parse(text));
}

TEST(LevelStats, CountsEveryKindOfCellApartAndTheBoxTheyFill) {
  // A different number of each kind, so that one counted as another shows.
  const levels::LevelStats s = level(
      {
          "..sss.s.....",
          ".@..f.f.f.f.f...S",
          "oo.h.h..o...XXXXXX",
          "1234123.....T",
      },
      3, 2);
  EXPECT_EQ(s.walls, 7);
  EXPECT_EQ(s.coins, 3);
  EXPECT_EQ(s.hedgehogs, 2);
  EXPECT_EQ(s.large_saws, 1);
  EXPECT_EQ(s.small_saws, 4);
  EXPECT_EQ(s.flowers, 5);
  EXPECT_EQ(s.death_zones, 6);
  EXPECT_EQ(levels::stats_line(s),
            "18 x 4 cells (columns 2-19, rows 3-6), 7 walls, 3 coins, 2 hedgehogs, 1 large saw, "
            "4 small saws, 5 flowers, 6 death zones");
}

TEST(LevelStats, ReadsOneOfEachInTheSingularAndAnEmptyLevelAsNoCells) {
  EXPECT_EQ(levels::stats_line(level({"h", "1oXsSf"}, 0, 0)),
            "6 x 2 cells (columns 0-5, rows 0-1), 1 wall, 1 coin, 1 hedgehog, 1 large saw, "
            "1 small saw, 1 flower, 1 death zone");
  const levels::LevelStats empty = levels::level_stats(levels::Grid());
  EXPECT_EQ(levels::stats_line(empty),
            "no cells, 0 walls, 0 coins, 0 hedgehogs, 0 large saws, 0 small saws, 0 flowers, "
            "0 death zones");
  EXPECT_TRUE(empty.codes.empty());
}

TEST(LevelStats, NamesTheCodesNoLevelOfASetUsesInTheLegendsOrder) {
  const levels::LevelStats first = level({"@o>X", "1234"}, 0, 0);
  const levels::LevelStats second = level({"E_hSsf", "TYA*+wWnm{2000}"}, 0, 0);
  EXPECT_EQ(levels::unused_symbols({first}), "E_hSsfTYA*+wWnm");
  EXPECT_EQ(levels::unused_symbols({second}), "@o>X1234");
  EXPECT_EQ(levels::unused_symbols({first, second}), "");
  EXPECT_EQ(levels::unused_symbols({}).size(), levels::legend().size() - 1) << "all but '.'";
}

}  // namespace
