#pragma once
// What a level is made of, counted from its cells: how much of the grid it uses and how many of
// each thing that plays a part. `level_lint --stats` prints one line per level.

#include <string>

#include "level_text.h"

namespace levels {

struct LevelStats {
  // The smallest box of cells holding every non-empty cell; all -1 for an empty level.
  int first_column = -1, last_column = -1, first_row = -1, last_row = -1;
  int walls = 0, coins = 0, hedgehogs = 0, large_saws = 0, small_saws = 0, flowers = 0;
  int death_zones = 0, exits = 0, decorations = 0;
  int columns_used() const { return first_column < 0 ? 0 : last_column - first_column + 1; }
  int rows_used() const { return first_row < 0 ? 0 : last_row - first_row + 1; }
};

LevelStats count_level(const Grid& grid);

// "map_3.txt: 120 x 14 cells (columns 0-119, rows 2-15), 812 walls, 40 coins, 3 hedgehogs,
// 4 saws (1 large, 3 small), 2 flowers, 12 death zones, 1 exit, 20 decorations"
std::string stats_line(const std::string& level_name, const LevelStats& stats);

}  // namespace levels
