// Counting what a level is made of: every kind of cell in its own count, and the box of cells
// the level uses.

#include "level_stats.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using levels::count_level;
using levels::LevelStats;
using levels::parse;

TEST(LevelStats, EachKindOfCellHasItsOwnCount) {
  // Three coins, two hedgehogs, one large and four small saws, five flowers, six death zones,
  // seven exits: a count that takes in a neighbouring code shows.
  const LevelStats s =
      count_level(parse("......\n"
                        "ooo.hh\n"
                        "Sssss.\n"
                        "fffff.\n"
                        "XXXXXX\n"
                        "EEEEEEE\n"
                        "1234{105}{113}>*+wWnm\n"
                        "@{114}{100}{6}_\n"));
  EXPECT_EQ(s.coins, 3);
  EXPECT_EQ(s.hedgehogs, 2);
  EXPECT_EQ(s.large_saws, 1);
  EXPECT_EQ(s.small_saws, 4);
  EXPECT_EQ(s.flowers, 5);
  EXPECT_EQ(s.death_zones, 6);
  EXPECT_EQ(s.exits, 7);
  EXPECT_EQ(s.walls, 4) << "ground blocks 1 to 4, not the tree beside them";
  EXPECT_EQ(s.decorations, 9) << "trees, flowers, grasses, stones and the pointer sign; codes "
                                 "that build nothing are not decorations";
}

TEST(LevelStats, TheSizeUsedIsTheBoxAroundEveryNonEmptyCell) {
  const LevelStats s =
      count_level(parse("\n\n"
                        "..........o\n"
                        "\n"
                        ".....1\n"
                        "...{-7}\n"));
  EXPECT_EQ(s.first_column, 3);
  EXPECT_EQ(s.last_column, 10);
  EXPECT_EQ(s.first_row, 2);
  EXPECT_EQ(s.last_row, 5);
  EXPECT_EQ(s.columns_used(), 8);
  EXPECT_EQ(s.rows_used(), 4);

  const LevelStats corner =
      count_level(parse(std::string(199, '\n') + std::string(199, '.') + "1"));
  EXPECT_EQ(corner.columns_used(), 1);
  EXPECT_EQ(corner.rows_used(), 1);
  EXPECT_EQ(corner.first_column, 199);
  EXPECT_EQ(corner.first_row, 199);
}

TEST(LevelStats, AnEmptyLevelUsesNoCellsAndSaysSo) {
  const LevelStats s = count_level(parse(""));
  EXPECT_EQ(s.columns_used(), 0);
  EXPECT_EQ(s.rows_used(), 0);
  EXPECT_EQ(levels::stats_line("map_5.txt", s),
            "map_5.txt: 0 x 0 cells, 0 walls, 0 coins, 0 hedgehogs, 0 saws (0 large, 0 small), "
            "0 flowers, 0 death zones, 0 exits, 0 decorations");
}

TEST(LevelStats, TheLineNamesOneOfAThingInTheSingular) {
  LevelStats s = count_level(parse("ohSsfXE>\n1\n"));
  EXPECT_EQ(levels::stats_line("map_6.txt", s),
            "map_6.txt: 8 x 2 cells (columns 0-7, rows 0-1), 1 wall, 1 coin, 1 hedgehog, 2 saws "
            "(1 large, 1 small), 1 flower, 1 death zone, 1 exit, 1 decoration");
}

}  // namespace
