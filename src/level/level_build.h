#pragma once
// Building a level's world from its cell codes.

#include <cstdint>
#include <span>

#include "level/records.h"

// A level's 40 000 cell codes in file order: column by column, each from the top down.
using LevelCodes = std::span<const std::int32_t, level_columns * level_rows>;

// Builds the world from `codes`: stores them in `_map`, appends one record per cell that stands
// for something to the game's lists in that order, then ten clouds around the hero, and works
// out the lowest-wall line. The hero and the lists must be fresh.
void build_world(TGame& game, LevelCodes codes);
