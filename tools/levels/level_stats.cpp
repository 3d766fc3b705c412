#include "level_stats.h"

#include <algorithm>

#include "level/cell_codes.h"

namespace levels {

namespace {

bool is_ground(std::int32_t code) {
  return code >= cell::first_ground && code <= cell::last_ground;
}

void count(LevelStats& stats, std::int32_t code) {
  stats.walls += is_ground(code);
  stats.coins += code == cell::coin;
  stats.hedgehogs += code == cell::hedgehog;
  stats.large_saws += code == cell::large_saw;
  stats.small_saws += code == cell::small_saw;
  stats.flowers += code == cell::shooting_flower;
  stats.death_zones += code == cell::death_zone;
}

void widen_box(LevelStats& stats, int column, int row) {
  if (stats.last_column < stats.first_column) {
    stats.first_column = stats.last_column = column;
    stats.first_row = stats.last_row = row;
    return;
  }
  stats.first_column = std::min(stats.first_column, column);
  stats.last_column = std::max(stats.last_column, column);
  stats.first_row = std::min(stats.first_row, row);
  stats.last_row = std::max(stats.last_row, row);
}

// "1 flower", "2 flowers".
std::string counted(int n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string span(const LevelStats& s) {
  if (s.last_column < s.first_column) return "no cells";
  return std::to_string(s.last_column - s.first_column + 1) + " x " +
         std::to_string(s.last_row - s.first_row + 1) + " cells (columns " +
         std::to_string(s.first_column) + "-" + std::to_string(s.last_column) + ", rows " +
         std::to_string(s.first_row) + "-" + std::to_string(s.last_row) + ")";
}

}  // namespace

LevelStats level_stats(const Grid& grid) {
  LevelStats stats;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      const std::int32_t code = grid.at(c, r);
      if (code == cell::empty) continue;
      widen_box(stats, c, r);
      count(stats, code);
      stats.codes.insert(code);
    }
  }
  return stats;
}

std::string stats_line(const LevelStats& s) {
  return span(s) + ", " + counted(s.walls, "wall", "walls") + ", " +
         counted(s.coins, "coin", "coins") + ", " + counted(s.hedgehogs, "hedgehog", "hedgehogs") +
         ", " + counted(s.large_saws, "large saw", "large saws") + ", " +
         counted(s.small_saws, "small saw", "small saws") + ", " +
         counted(s.flowers, "flower", "flowers") + ", " +
         counted(s.death_zones, "death zone", "death zones");
}

std::string unused_symbols(const std::vector<LevelStats>& set) {
  std::string unused;
  for (const LegendEntry& entry : legend()) {
    if (entry.code == cell::empty) continue;
    const bool used = std::any_of(
        set.begin(), set.end(), [&](const LevelStats& s) { return s.codes.count(entry.code) > 0; });
    if (!used) unused += entry.symbol;
  }
  return unused;
}

}  // namespace levels
