#pragma once
// The codes a level file stores in its cells. Any other value is kept in the map and builds
// nothing.

#include <cstdint>

namespace cell {

enum Code : std::int32_t {
  empty = 0,
  hero_start = 1,
  coin = 2,
  pointer_sign = 3,
  death_zone = 4,
  level_exit = 5,
  bottom_line = 6,
  hedgehog = 7,
  large_saw = 8,
  small_saw = 9,
  shooting_flower = 10,
  first_ground = 101,  // ground_images 0...3
  last_ground = 104,
  first_tree = 105,  // tree_images 0...2
  last_tree = 107,
  first_flowers = 108,  // flowers_images 0, 1
  last_flowers = 109,
  first_grass = 110,  // grass_images 0, 1
  last_grass = 111,
  first_stone = 112,  // stone_images 0, 1
  last_stone = 113,
};

}  // namespace cell
