// Building a level from its file: what each cell code makes and where, the order of the lists,
// the clouds, the lowest-wall line, and files that are missing, short or long.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "level/records.h"
#include "level_text.h"
#include "media/display.h"
#include "media/input.h"
#include "media/system.h"
#include "shell/catalogue.h"
#include "shell/globals.h"
#include "support/catalogue_pictures.h"
#include "support/headless_test.h"
#include "support/level_files.h"

namespace {

using Type = media::InputEvent::Type;

std::vector<const TObject*> in_order(const TList& list) {
  std::vector<const TObject*> objects;
  list.each_object([&](const TObject& o) { objects.push_back(&o); });
  return objects;
}

template <class T>
const T& record(const TObject* object) {
  const T* typed = dynamic_cast<const T*>(object);
  if (!typed) throw std::runtime_error("a record of another kind");
  return *typed;
}

std::string rows_down(int rows) {
  return std::string(static_cast<std::size_t>(rows), '\n');
}

std::vector<unsigned char> level_bytes(const std::string& text) {
  return levels::to_file(levels::parse(text));
}

class LevelBuild : public GameTest {
 protected:
  void SetUp() override {
    test_support::fill_catalogue_pictures();
    game = std::make_unique<TGame>();
  }

  void build(const std::string& text, int level = 2) {
    test_support::write_level(level, text);
    game->initialize_level(level);
  }

  // The message of the fatal error building `level` stops with.
  std::string fatal_message(int level) {
    try {
      game->initialize_level(level);
    } catch (const media::FatalError& error) {
      return error.what();
    }
    return "no fatal error";
  }

  void press_key_at(std::int32_t ms) {
    hb.inject_at_time(ms, {Type::key_down, 32});
    hb.inject_at_time(ms + 20, {Type::key_up, 32});
  }

  std::vector<const TCloud*> clouds() {
    std::vector<const TCloud*> found;
    game->each_object<TCloud>([&](TCloud& c) { found.push_back(&c); });
    return found;
  }

  std::unique_ptr<TGame> game;
};

}  // namespace

TEST_F(LevelBuild, EveryCellCodeBuildsItsRecordAtItsCellInFileOrder) {
  hb.set_clock(4321);
  const std::string text = rows_down(3) + "@o>XE_hSsf1234TYA*+wWnm";
  build(text);
  const MediaCatalogue& c = catalogue();
  const float y = 192.0f;  // row 3

  EXPECT_EQ(game->_player->_x, 0.0f);
  EXPECT_EQ(game->_player->_y, y);
  EXPECT_EQ(game->_cam_x, -500.0f);
  EXPECT_EQ(game->_cam_y, y - 340.0f);
  EXPECT_EQ(game->_max_y, y);

  const auto walls = in_order(*game->_wall_list);
  ASSERT_EQ(walls.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const TWall& wall = record<TWall>(walls[i]);
    EXPECT_EQ(wall._x, 64.0f * static_cast<float>(10 + i));
    EXPECT_EQ(wall._y, y);
    EXPECT_EQ(wall._size_x, 64);
    EXPECT_EQ(wall._size_y, 64);
    EXPECT_EQ(wall._image, c.ground_images[i]);
  }

  const auto objects = in_order(*game->_object_list);
  ASSERT_EQ(objects.size(), 17u + 10u);
  const TBonus& coin = record<TBonus>(objects[0]);
  EXPECT_EQ(coin._x, 64.0f);
  EXPECT_EQ(coin._y, y);
  EXPECT_EQ(coin._score, 5);
  EXPECT_EQ(coin._last_frame, 4.0f);
  EXPECT_EQ(coin._frame, 0.0f);
  const TObj& sign = record<TObj>(objects[1]);
  EXPECT_EQ(sign._x, 128.0f);
  EXPECT_EQ(sign._y, y + 10.0f);
  EXPECT_EQ(sign._image, c.pointer_image);
  const TScript& death = record<TScript>(objects[2]);
  const TScript& exit = record<TScript>(objects[3]);
  EXPECT_EQ(death._x, 192.0f);
  EXPECT_EQ(death.get_value(), 1);
  EXPECT_EQ(exit._x, 256.0f);
  EXPECT_EQ(exit._y, y);
  EXPECT_EQ(exit.get_value(), 2);
  const THedgehog& hedgehog = record<THedgehog>(objects[4]);
  EXPECT_EQ(hedgehog._x, 384.0f);
  EXPECT_EQ(hedgehog._y, y);
  EXPECT_EQ(hedgehog._speed, 1.35f);
  EXPECT_EQ(hedgehog._move_x, 1.0f);
  const TSaw& large = record<TSaw>(objects[5]);
  const TSaw& small = record<TSaw>(objects[6]);
  EXPECT_EQ(large._x, 448.0f);
  EXPECT_EQ(large._size, 0);
  EXPECT_EQ(large._rotation, 0.0f);
  EXPECT_EQ(small._x, 512.0f);
  EXPECT_EQ(small._y, y);
  EXPECT_EQ(small._size, 1);
  EXPECT_EQ(small._rotation, 1.0f);
  const TFlower& flower = record<TFlower>(objects[7]);
  EXPECT_EQ(flower._x, 576.0f);
  EXPECT_EQ(flower._y, y);
  EXPECT_EQ(flower._frame, 0.0f);
  EXPECT_EQ(flower._timer, 4321.0f);

  struct Decoration {
    int column;
    float drop;
    media::Image image;
  };
  const Decoration decorations[] = {
      {14, 5, c.tree_images[0]},    {15, 5, c.tree_images[1]},    {16, 5, c.tree_images[2]},
      {17, 0, c.flowers_images[0]}, {18, 0, c.flowers_images[1]}, {19, 0, c.grass_images[0]},
      {20, 0, c.grass_images[1]},   {21, 3, c.stone_images[0]},   {22, 3, c.stone_images[1]},
  };
  for (std::size_t i = 0; i < std::size(decorations); ++i) {
    const TObj& o = record<TObj>(objects[8 + i]);
    EXPECT_EQ(o._x, 64.0f * static_cast<float>(decorations[i].column)) << i;
    EXPECT_EQ(o._y, y + decorations[i].drop) << i;
    EXPECT_EQ(o._image, decorations[i].image) << i;
  }
  for (std::size_t i = 17; i < objects.size(); ++i)
    EXPECT_EQ(objects[i]->kind(), ObjectKind::cloud);

  const levels::Grid grid = levels::parse(text);
  for (int col = 0; col < level_columns; ++col) {
    for (int row = 0; row < level_rows; ++row) {
      ASSERT_EQ(game->_map[col][row], grid.at(col, row)) << col << ", " << row;
    }
  }
}

TEST_F(LevelBuild, CodesOutsideTheTableAreKeptInTheMapAndBuildNothing) {
  build("{-7}{11}{100}{114}{2147483647}{-2147483648}");
  EXPECT_EQ(game->_wall_list->count(), 0u);
  EXPECT_EQ(game->_object_list->count(), 10u);  // the clouds
  EXPECT_EQ(game->_map[0][0], -7);
  EXPECT_EQ(game->_map[1][0], 11);
  EXPECT_EQ(game->_map[2][0], 100);
  EXPECT_EQ(game->_map[3][0], 114);
  EXPECT_EQ(game->_map[4][0], 2147483647);
  EXPECT_EQ(game->_map[5][0], -2147483648);
}

TEST_F(LevelBuild, TheFileIsReadColumnByColumn) {
  std::vector<unsigned char> bytes(levels::file_size, 0);
  bytes[4] = 101;    // column 0, row 1
  bytes[800] = 102;  // column 1, row 0
  scratch.write("data/level/map_2.dat", bytes);
  game->initialize_level(2);

  EXPECT_EQ(game->_map[0][1], 101);
  EXPECT_EQ(game->_map[1][0], 102);
  const auto walls = in_order(*game->_wall_list);
  ASSERT_EQ(walls.size(), 2u);
  EXPECT_EQ(record<TWall>(walls[0])._x, 0.0f);
  EXPECT_EQ(record<TWall>(walls[0])._y, 64.0f);
  EXPECT_EQ(record<TWall>(walls[0])._image, catalogue().ground_images[0]);
  EXPECT_EQ(record<TWall>(walls[1])._x, 64.0f);
  EXPECT_EQ(record<TWall>(walls[1])._y, 0.0f);
  EXPECT_EQ(record<TWall>(walls[1])._image, catalogue().ground_images[1]);
}

TEST_F(LevelBuild, ListsFollowTheFileNotTheRows) {
  build(".o\no");  // the coin of row 1 comes first: it is in column 0
  const auto objects = in_order(*game->_object_list);
  ASSERT_GE(objects.size(), 2u);
  EXPECT_EQ(record<TBonus>(objects[0])._x, 0.0f);
  EXPECT_EQ(record<TBonus>(objects[0])._y, 64.0f);
  EXPECT_EQ(record<TBonus>(objects[1])._x, 64.0f);
  EXPECT_EQ(record<TBonus>(objects[1])._y, 0.0f);
}

TEST_F(LevelBuild, AnEmptyLevelHasOnlyCloudsAndKeepsTheCameraAndBottomOfTheLevelBefore) {
  game->_cam_x = 123.5f;
  game->_cam_y = -45.25f;
  game->_max_y = 777.0f;
  game->_max_cam_y = 999.0f;
  game->_score_this_level = 17;
  game->_score = 40;
  game->_lives = 2;
  game->_map[5][5] = 9;
  auto old_hero = game->_player = std::make_shared<TPlayer>();
  old_hero->_x = 300.0f;
  build("");

  EXPECT_EQ(game->_wall_list->count(), 0u);
  EXPECT_EQ(game->_object_list->count(), 10u);
  ASSERT_NE(game->_player, old_hero);
  EXPECT_EQ(game->_player->_x, 0.0f);
  EXPECT_EQ(game->_player->_y, 0.0f);
  EXPECT_EQ(game->_max_cam_y, 0.0f);
  EXPECT_EQ(game->_cam_x, 123.5f);
  EXPECT_EQ(game->_cam_y, -45.25f);
  EXPECT_EQ(game->_max_y, 777.0f);
  EXPECT_EQ(game->_map[5][5], 0);
  EXPECT_EQ(game->_level, 2);
  EXPECT_EQ(game->_score_this_level, 0);
  EXPECT_EQ(game->_score, 40);
  EXPECT_EQ(game->_lives, 2);
  for (const TCloud* cloud : clouds()) {
    EXPECT_GE(cloud->_x, -700.0f);
    EXPECT_LE(cloud->_x, 300.0f);
    EXPECT_GE(cloud->_y, -450.0f);
    EXPECT_LE(cloud->_y, -200.0f);
  }
}

TEST_F(LevelBuild, CloudsComeFromFourDrawsEachInAFixedOrderAroundTheHero) {
  media::SeedRnd(90210);
  build(rows_down(5) + "..........@");
  EXPECT_EQ(game->_player->_x, 640.0f);
  EXPECT_EQ(game->_player->_y, 320.0f);
  EXPECT_EQ(game->_cam_x, 140.0f);
  EXPECT_EQ(game->_cam_y, -20.0f);

  media::SeedRnd(90210);
  const auto built = clouds();
  ASSERT_EQ(built.size(), 10u);
  for (const TCloud* cloud : built) {
    const int x = media::Rand(-60, 940);
    const int drift = media::Rand(1, 3);
    const int rise = media::Rand(-450, -200);
    const int image = media::Rand(0, 4);
    EXPECT_EQ(cloud->_x, static_cast<float>(x));
    EXPECT_EQ(cloud->_move_x, static_cast<float>(drift));
    EXPECT_EQ(cloud->_y, 320.0f + static_cast<float>(rise));
    EXPECT_EQ(cloud->_image, catalogue().cloud_images[static_cast<std::size_t>(image)]);
  }
}

TEST_F(LevelBuild, TheLastHeroStartInColumnOrderWinsAndTheCloudsGatherAroundIt) {
  // Row order would pick the start in column 3; the file's order picks the one in column 9.
  build(rows_down(2) + ".........@\n" + rows_down(5) + "...@");
  EXPECT_EQ(game->_player->_x, 576.0f);
  EXPECT_EQ(game->_player->_y, 128.0f);
  EXPECT_EQ(game->_cam_x, 76.0f);
  EXPECT_EQ(game->_cam_y, -212.0f);
  for (const TCloud* cloud : clouds()) {
    EXPECT_GE(cloud->_x, 576.0f - 700.0f);
    EXPECT_LE(cloud->_x, 576.0f + 300.0f);
    EXPECT_GE(cloud->_y, 128.0f - 450.0f);
    EXPECT_LE(cloud->_y, 128.0f - 200.0f);
  }
}

TEST_F(LevelBuild, LowestWallLineClimbsOnlyPastWallTopsBelowIt) {
  struct Case {
    const char* what;
    std::string text;
    float line;
  };
  const Case cases[] = {
      {"ground at row 10", rows_down(10) + "1111", 704.0f},
      {"ground at rows 10 and 11", rows_down(10) + "1111\n1111", 704.0f},
      {"one wall at row 3", rows_down(3) + "1", 256.0f},
      {"one column, rows 3 and 10", rows_down(3) + "1" + rows_down(7) + "1", 704.0f},
      {"lower wall first in the file", rows_down(10) + ".2\n2", 768.0f},
      {"a wall at the top left", "1", 0.0f},
  };
  for (const Case& c : cases) {
    build(c.text);
    EXPECT_EQ(game->_max_cam_y, c.line) << c.what;
  }
}

TEST_F(LevelBuild, BytesAfterTheLevelAreNotRead) {
  std::vector<unsigned char> bytes = level_bytes(rows_down(4) + ".1o@");
  bytes.resize(bytes.size() + 1000, 101);
  scratch.write("data/level/map_2.dat", bytes);
  game->initialize_level(2);
  EXPECT_EQ(game->_wall_list->count(), 1u);
  EXPECT_EQ(game->_object_list->count(), 1u + 10u);
  EXPECT_EQ(game->_player->_x, 192.0f);
  EXPECT_EQ(game->_max_cam_y, 320.0f);
}

TEST_F(LevelBuild, AShortLevelFileStopsTheGameWithTheReadErrorAndThePath) {
  std::vector<unsigned char> bytes = level_bytes("1@o");
  bytes.resize(bytes.size() - 1);
  scratch.write("data/level/map_2.dat", bytes);
  const std::string message = fatal_message(2);
  EXPECT_NE(message.find("Error reading from stream"), std::string::npos) << message;
  EXPECT_NE(message.find("data/level/map_2.dat"), std::string::npos) << message;
  // Nothing of the level is built: not its first cells, nor the clouds.
  EXPECT_EQ(game->_wall_list->count(), 0u);
  EXPECT_EQ(game->_object_list->count(), 0u);
  EXPECT_EQ(game->_player->_x, 0.0f);

  scratch.write("data/level/map_3.dat", std::vector<unsigned char>{});
  EXPECT_NE(fatal_message(3).find("Error reading from stream"), std::string::npos);
}

TEST_F(LevelBuild, AMissingLevelFileStopsTheGameNamingTheFile) {
  std::filesystem::create_directories(scratch.path() / "data" / "level" / "map_5.dat");
  EXPECT_NE(fatal_message(4).find("data/level/map_4.dat"), std::string::npos) << fatal_message(4);
  EXPECT_NE(fatal_message(5).find("data/level/map_5.dat"), std::string::npos) << "a folder";
}

TEST_F(LevelBuild, ALevelFileThatCannotBeWrittenStillLoads) {
  const auto path = test_support::write_level(2, "..@");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  game->initialize_level(2);
  EXPECT_EQ(game->_player->_x, 128.0f);
}

TEST_F(LevelBuild, ANewGameShowsTheStoryThenTheTutorialThenPlaysLevelOne) {
  media::Graphics(1024, 768, 32, 60, 0);
  const int opened = hb.frames_presented();
  test_support::write_level(1, ".@");
  press_key_at(2000);  // the story is up after 52 frames, at 866 ms
  press_key_at(6000);  // the tutorial 87 frames later
  game->initialize_level(0);
  EXPECT_EQ(hb.frames_presented() - opened, 52 + 87);
  EXPECT_EQ(game->_level, 1);
  EXPECT_EQ(game->_player->_x, 64.0f);

  // Level 1 again (after a death) shows the tutorial; other levels show nothing.
  press_key_at(9000);
  game->initialize_level(1);
  EXPECT_EQ(hb.frames_presented() - opened, 52 + 87 + 87);
  test_support::write_level(2, "@");
  game->initialize_level(2);
  EXPECT_EQ(hb.frames_presented() - opened, 52 + 87 + 87);
}
