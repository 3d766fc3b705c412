#pragma once
// Building a level's world from its cell codes.

#include <cstdint>
#include <functional>

#include "level/records.h"

// Builds the world from the 40 000 codes `next_code` hands out in file order (column by column,
// each from the top down): stores them in `_map`, appends one record per cell that stands for
// something to the game's lists in that order, then ten clouds around the hero, and works out
// the lowest-wall line. The hero and the lists must be fresh.
void build_world(TGame& game, const std::function<std::int32_t()>& next_code);
