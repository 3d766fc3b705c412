// Building a level from its file: one record per cell that stands for something, ten clouds
// around the hero, and the lowest-wall line.

#include "level/level_build.h"

#include <string>
#include <vector>

#include "level/cell_codes.h"
#include "media/files.h"
#include "media/system.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

std::string level_path(int level) {
  return "data\\level\\map_" + std::to_string(level) + ".dat";
}

template <class T>
std::shared_ptr<T> placed(float x, float y) {
  auto object = std::make_shared<T>();
  object->_x = x;
  object->_y = y;
  return object;
}

std::shared_ptr<TObj> decoration(float x, float y, const media::Image& image) {
  auto object = placed<TObj>(x, y);
  object->_image = image;
  return object;
}

std::shared_ptr<TScript> trigger(float x, float y, int type) {
  auto object = placed<TScript>(x, y);
  object->_type = type;
  return object;
}

// What one cell of the file puts into the world at (x, y).
void place_cell(TGame& game, const MediaCatalogue& c, std::int32_t code, float x, float y) {
  TList& objects = *game._object_list;
  switch (code) {
    case cell::hero_start:
      game._player = placed<TPlayer>(x, y);
      game._cam_x = x - 500.0f;
      game._cam_y = y - 340.0f;
      return;
    case cell::coin: {
      auto bonus = placed<TBonus>(x, y);
      bonus->_score = 5;
      bonus->_last_frame = 4.0f;
      objects.add_last(bonus);
      return;
    }
    case cell::pointer_sign:
      objects.add_last(decoration(x, y + 10.0f, c.pointer_image));
      return;
    case cell::death_zone:
      objects.add_last(trigger(x, y, 1));
      return;
    case cell::level_exit:
      objects.add_last(trigger(x, y, 2));
      return;
    case cell::bottom_line:
      game._max_y = y;
      return;
    case cell::hedgehog: {
      auto h = placed<THedgehog>(x, y);
      h->_speed = 1.35f;
      h->_move_x = 1.0f;
      objects.add_last(h);
      return;
    }
    case cell::large_saw:
    case cell::small_saw: {
      auto saw = placed<TSaw>(x, y);
      saw->_size = code == cell::large_saw ? 0 : 1;
      saw->_rotation = code == cell::large_saw ? 0.0f : 1.0f;
      objects.add_last(saw);
      return;
    }
    case cell::shooting_flower:
      objects.add_last(placed<TFlower>(x, y));
      return;
    default:
      break;
  }
  if (code >= cell::first_ground && code <= cell::last_ground) {
    auto wall = placed<TWall>(x, y);
    wall->_size_x = cell_size;
    wall->_size_y = cell_size;
    wall->_image = c.ground_images[code - cell::first_ground];
    game._wall_list->add_last(wall);
  } else if (code >= cell::first_tree && code <= cell::last_tree) {
    objects.add_last(decoration(x, y + 5.0f, c.tree_images[code - cell::first_tree]));
  } else if (code >= cell::first_flowers && code <= cell::last_flowers) {
    objects.add_last(decoration(x, y, c.flowers_images[code - cell::first_flowers]));
  } else if (code >= cell::first_grass && code <= cell::last_grass) {
    objects.add_last(decoration(x, y, c.grass_images[code - cell::first_grass]));
  } else if (code >= cell::first_stone && code <= cell::last_stone) {
    objects.add_last(decoration(x, y + 3.0f, c.stone_images[code - cell::first_stone]));
  }
}

// Ten clouds scattered above and around the hero, each from four random draws in a fixed order.
void scatter_clouds(TGame& game) {
  const MediaCatalogue& c = catalogue();
  const float px = game._player->_x, py = game._player->_y;
  for (int i = 0; i < 10; ++i) {
    auto cloud = std::make_shared<TCloud>();
    cloud->_x = static_cast<float>(
        media::Rand(static_cast<int>(px - 700.0f), static_cast<int>(px + 300.0f)));
    cloud->_move_x = static_cast<float>(media::Rand(1, 3));
    cloud->_y = py + static_cast<float>(media::Rand(-450, -200));
    cloud->_image = c.cloud_images[media::Rand(0, 4)];
    game._object_list->add_last(cloud);
  }
}

// The running value climbs to a wall's bottom only when the wall's top lies below it, so two
// rows of ground give the bottom of the upper row, not of the lower one.
float lowest_wall_line(TGame& game) {
  float line = 0.0f;
  game.each_wall([&](TWall& wall) {
    if (wall._y > line) line = wall._y + static_cast<float>(cell_size);
  });
  return line;
}

}  // namespace

void build_world(TGame& game, LevelCodes codes) {
  const MediaCatalogue& pictures = catalogue();
  const std::int32_t* code = codes.data();
  for (int c = 0; c < level_columns; ++c) {
    for (int r = 0; r < level_rows; ++r, ++code) {
      game._map[c][r] = *code;
      if (*code == cell::empty) continue;
      place_cell(game, pictures, *code, static_cast<float>(cell_size * c),
                 static_cast<float>(cell_size * r));
    }
  }
  scatter_clouds(game);
  game._max_cam_y = lowest_wall_line(game);
}

int TGame::initialize_level(int level) {
  _score_this_level = 0;
  _object_list = std::make_shared<TList>();
  _wall_list = std::make_shared<TList>();
  _player = std::make_shared<TPlayer>();
  _level = level;
  if (_level == 0) show_story();
  if (_level == 1) show_map(1);

  // Only read: the game never writes its levels, so an installed game needs no write access.
  const std::string path = level_path(_level);
  media::Stream file = media::OpenFile(path, 1, 0);
  if (!file)
    media::Fail("The level file " + media::map_path(path) + " is missing or cannot be read");
  // Read whole before anything is built: a file that ends early stops the program with no part
  // of its level in the world.
  std::vector<std::int32_t> codes(level_columns * level_rows);
  for (std::int32_t& code : codes) code = media::ReadInt(file);
  media::Close(file);
  build_world(*this, LevelCodes(codes.data(), codes.size()));
  return 0;
}
