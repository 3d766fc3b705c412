#include "level_world.h"

#include "level/level_build.h"

namespace levels {

std::unique_ptr<TGame> built_world(const Grid& grid) {
  auto game = std::make_unique<TGame>();
  game->_object_list = std::make_shared<TList>();
  game->_wall_list = std::make_shared<TList>();
  game->_player = std::make_shared<TPlayer>();
  build_world(*game, LevelCodes(grid.codes().data(), grid.codes().size()));
  return game;
}

}  // namespace levels
