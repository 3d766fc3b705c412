#include "level_stats.h"

#include <algorithm>

#include "level/cell_codes.h"

namespace levels {

namespace {

void take_in(LevelStats& s, std::int32_t code) {
  if (code >= cell::first_ground && code <= cell::last_ground) ++s.walls;
  // Trees, flowers, grasses and stones lie next to each other among the codes.
  if (code >= cell::first_tree && code <= cell::last_stone) ++s.decorations;
  switch (code) {
    case cell::coin:
      ++s.coins;
      break;
    case cell::pointer_sign:
      ++s.decorations;
      break;
    case cell::death_zone:
      ++s.death_zones;
      break;
    case cell::level_exit:
      ++s.exits;
      break;
    case cell::hedgehog:
      ++s.hedgehogs;
      break;
    case cell::large_saw:
      ++s.large_saws;
      break;
    case cell::small_saw:
      ++s.small_saws;
      break;
    case cell::shooting_flower:
      ++s.flowers;
      break;
    default:
      break;
  }
}

void widen(int& first, int& last, int at) {
  first = first < 0 ? at : std::min(first, at);
  last = std::max(last, at);
}

std::string counted(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

LevelStats count_level(const Grid& grid) {
  LevelStats s;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      const std::int32_t code = grid.at(c, r);
      if (code == 0) continue;
      widen(s.first_column, s.last_column, c);
      widen(s.first_row, s.last_row, r);
      take_in(s, code);
    }
  }
  return s;
}

std::string stats_line(const std::string& level_name, const LevelStats& s) {
  std::string line = level_name + ": " + std::to_string(s.columns_used()) + " x " +
                     std::to_string(s.rows_used()) + " cells";
  if (s.first_column >= 0) {
    line += " (columns " + std::to_string(s.first_column) + "-" + std::to_string(s.last_column) +
            ", rows " + std::to_string(s.first_row) + "-" + std::to_string(s.last_row) + ")";
  }
  line += ", " + counted(s.walls, "wall", "walls") + ", " + counted(s.coins, "coin", "coins") +
          ", " + counted(s.hedgehogs, "hedgehog", "hedgehogs") + ", " +
          counted(s.large_saws + s.small_saws, "saw", "saws") + " (" +
          std::to_string(s.large_saws) + " large, " + std::to_string(s.small_saws) + " small), " +
          counted(s.flowers, "flower", "flowers") + ", " +
          counted(s.death_zones, "death zone", "death zones") + ", " +
          counted(s.exits, "exit", "exits") + ", " +
          counted(s.decorations, "decoration", "decorations");
  return line;
}

}  // namespace levels
