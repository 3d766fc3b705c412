#pragma once
// What a level holds, counted for the designer: how much of the grid it spans and how many
// walls, coins and dangers it has, and which codes a set of levels leaves unused.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "level_text.h"

namespace levels {

struct LevelStats {
  // The smallest box of cells that holds every non-empty cell; none (last < first) when the
  // level is empty.
  int first_column = 0, last_column = -1, first_row = 0, last_row = -1;
  int walls = 0, coins = 0, hedgehogs = 0, large_saws = 0, small_saws = 0, flowers = 0,
      death_zones = 0;
  std::set<std::int32_t> codes;  // every code other than the empty cell's
};

LevelStats level_stats(const Grid& grid);

// "184 x 15 cells (columns 0-183, rows 0-14), 2345 walls, 120 coins, 7 hedgehogs, 1 large saw,
// 3 small saws, 2 flowers, 20 death zones"; an empty level spans "no cells".
std::string stats_line(const LevelStats& stats);

// The characters of the codes that have one (the empty cell's aside) that no level of the set
// uses, in the legend's order.
std::string unused_symbols(const std::vector<LevelStats>& set);

}  // namespace levels
