// The level tools as the build and a level designer run them: compiling, turning a level file
// back into text, drawing an overview, and what they say about bad input.

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "level_text.h"
#include "support/game_files.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string errors;
};

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LevelTools : public ::testing::Test {
 protected:
  fs::path folder =
      fs::temp_directory_path() / ("level_tools_test_" + std::to_string(::getpid()) + "_" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }

  fs::path write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return folder / name;
  }

  ToolRun run(const std::string& tool, const std::string& args) {
    const fs::path errors = folder / "errors.txt";
    const int raw = std::system((tool + " " + args + " 2>" + errors.string()).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(errors)};
  }
  std::string at(const std::string& name) { return (folder / name).string(); }
};

std::string as_string(const std::vector<unsigned char>& bytes) {
  return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST_F(LevelTools, CompilingAndTurningBackAreEachOthersInverse) {
  const std::string text = "\n\n.@...o{-7}\n11112222\n_........E\n";
  write("map_4.txt", text);
  ASSERT_EQ(run(LEVEL_COMPILE_EXE, at("map_4.txt") + " " + at("map_4.dat")).status, 0);
  EXPECT_EQ(read_bytes(folder / "map_4.dat"), as_string(levels::to_file(levels::parse(text))));
  ASSERT_EQ(run(LEVEL_DECOMPILE_EXE, at("map_4.dat") + " " + at("back.txt")).status, 0);
  EXPECT_EQ(read_bytes(folder / "back.txt"), text);

  // Any file of the right size, whatever its codes, comes back to the same bytes.
  std::mt19937 random(3);
  std::string bytes(levels::file_size, '\0');
  for (char& b : bytes) b = static_cast<char>(random() % 7 == 0 ? random() : 0);
  write("odd.dat", bytes);
  ASSERT_EQ(run(LEVEL_DECOMPILE_EXE, at("odd.dat") + " " + at("odd.txt")).status, 0);
  ASSERT_EQ(run(LEVEL_COMPILE_EXE, at("odd.txt") + " " + at("again.dat")).status, 0);
  EXPECT_EQ(read_bytes(folder / "again.dat"), bytes);
}

TEST_F(LevelTools, AFaultInTheTextFailsTheBuildNamingFileLineAndColumn) {
  write("map_2.txt", "@E_\n..1\n..1 1\n");
  write("map_2.dat", "old");
  const ToolRun r = run(LEVEL_COMPILE_EXE, at("map_2.txt") + " " + at("map_2.dat"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.errors.find(at("map_2.txt") + ":3:4: error: ' ' (a space)"), std::string::npos)
      << r.errors;
  EXPECT_EQ(read_bytes(folder / "map_2.dat"), "old");
  EXPECT_FALSE(fs::exists(folder / "map_2.dat.part"));

  EXPECT_EQ(run(LEVEL_COMPILE_EXE, at("missing.txt") + " " + at("x.dat")).status, 1);
  EXPECT_EQ(run(LEVEL_COMPILE_EXE, at("map_2.txt")).status, 2);
}

TEST_F(LevelTools, LikelyMistakesAreWarningsThatDoNotFailTheBuild) {
  write("map_9.txt", "1111\n");
  const ToolRun r = run(LEVEL_COMPILE_EXE, at("map_9.txt") + " " + at("map_9.dat"));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.errors.find(at("map_9.txt") + ": warning: no hero start"), std::string::npos)
      << r.errors;
  EXPECT_EQ(fs::file_size(folder / "map_9.dat"), levels::file_size);
}

TEST_F(LevelTools, ALevelFileOfTheWrongSizeIsNotTurnedIntoText) {
  write("short.dat", std::string(159996, '\0'));
  const ToolRun r = run(LEVEL_DECOMPILE_EXE, at("short.dat") + " " + at("short.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.errors.find(at("short.dat") + ": holds 159996 bytes"), std::string::npos) << r.errors;
  EXPECT_FALSE(fs::exists(folder / "short.txt"));
}

TEST_F(LevelTools, TheOverviewIsAPictureEvenWithoutTheGamesPictures) {
  write("map_1.txt", "\n.@..X.E\n1111111\n_");
  fs::create_directories(folder / "game");
  const ToolRun r =
      run(LEVEL_OVERVIEW_EXE, at("game") + " " + at("map_1.txt") + " " + at("o.png") + " 8");
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(read_bytes(folder / "o.png").substr(1, 3), "PNG");

  EXPECT_EQ(run(LEVEL_OVERVIEW_EXE, at("game") + " " + at("map_1.txt") + " " + at("o.png") + " 17")
                .status,
            1);
  EXPECT_EQ(run(LEVEL_OVERVIEW_EXE, at("game") + " " + at("map_1.txt")).status, 2);
}

TEST_F(LevelTools, TheOverviewDrawsWithTheGameFoldersPicturesAsTheGameFindsThem) {
  // Spelled otherwise than the game spells it: the game's own look-up still finds it.
  const fs::path ground = folder / "game" / "Data" / "GRAPHICS" / "Ground_1.png";
  fs::create_directories(ground.parent_path());
  const std::array<std::uint8_t, 3> colour = {200, 40, 160};
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 64 * 64; ++i) pixels.insert(pixels.end(), colour.begin(), colour.end());
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 64;
  image.height = 64;
  image.format = PNG_FORMAT_RGB;
  ASSERT_TRUE(png_image_write_to_file(&image, ground.c_str(), 0, pixels.data(), 0, nullptr));
  write("map_1.txt", "\n.@..E\n1111111\n_");

  // Paths relative to where the tool was started, not to the game folder.
  const ToolRun r = run("cd " + folder.string() + " && " + std::string(LEVEL_OVERVIEW_EXE),
                        "game map_1.txt o.png 2");
  ASSERT_EQ(r.status, 0) << r.errors;
  png_image shot{};
  shot.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&shot, at("o.png").c_str()));
  shot.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> drawn(PNG_IMAGE_SIZE(shot));
  ASSERT_TRUE(png_image_finish_read(&shot, nullptr, drawn.data(), 0, nullptr));
  int ground_pixels = 0;
  for (std::size_t i = 0; i + 2 < drawn.size(); i += 3) {
    ground_pixels += std::equal(colour.begin(), colour.end(), drawn.begin() + i);
  }
  EXPECT_GE(ground_pixels, 7 * 28 * 28) << "seven blocks of 32 x 32, edges blended";
}

TEST_F(LevelTools, TheLintNamesEveryFaultAndFailsOnlyWhenThereIsOne) {
  write("map_1.txt", "\n.@....E\n1111111\n_\n");
  write("map_2.txt", "\n.@X...\n1111111\n_\n");
  EXPECT_EQ(run(LEVEL_LINT_EXE, at("map_1.txt")).status, 0);
  const ToolRun r = run(LEVEL_LINT_EXE, at("map_1.txt") + " " + at("map_2.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.errors,
            "map_2.txt: exit: the level has no exit (E)\n"
            "map_2.txt: (2, 1): start-hazard: the death zone touches the hero's start (1, 1)\n"
            "level_lint: 1 of 2 levels break a rule\n");
  EXPECT_EQ(run(LEVEL_LINT_EXE, "").status, 2);
}

TEST_F(LevelTools, TheLintCountsWhatEachLevelHoldsWhenAskedEvenWhenOneBreaksARule) {
  write("map_1.txt", "\n.@..o.E\n1111111\n_\n");
  write("map_2.txt", "\n.@X.h\n11111\n_\n");
  const ToolRun r =
      run(LEVEL_LINT_EXE, "--stats " + at("map_1.txt") + " " + at("map_2.txt") + " >" + at("out"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.errors.find("map_2.txt: exit: the level has no exit (E)\n"), std::string::npos);
  EXPECT_EQ(read_bytes(folder / "out"),
            "map_1.txt: 7 x 3 cells (columns 0-6, rows 1-3), 7 walls, 1 coin, 0 hedgehogs, "
            "0 large saws, 0 small saws, 0 flowers, 0 death zones\n"
            "map_2.txt: 5 x 3 cells (columns 0-4, rows 1-3), 5 walls, 0 coins, 1 hedgehog, "
            "0 large saws, 0 small saws, 0 flowers, 1 death zone\n"
            "codes none of these levels uses: >Ssf234TYA*+wWnm\n");
  EXPECT_EQ(run(LEVEL_LINT_EXE, "--stats").status, 2);
}

// The route tools, on a game folder of small pictures and sounds.
class RouteTools : public LevelTools {
 protected:
  RouteTools() {
    test_support::write_menu_pictures(game);
    test_support::write_catalogue_files(game);
  }
  std::string game_folder() const { return game.path().string(); }

  test_support::ScratchFolder game;
};

TEST_F(RouteTools, RoutePlayTellsWhetherTheRouteReachesTheExit) {
  write("map_3.txt", "\n.@....E\n1111111\n_\n");
  write("map_3.route", "0 down right\n100 exit\n");
  write("short.route", "0 down right\n50 exit\n");
  const std::string level = " --level " + at("map_3.txt");
  const ToolRun good = run(
      ROUTE_PLAY_EXE, game_folder() + " 3 " + at("map_3.route") + level + " > " + at("out.txt"));
  EXPECT_EQ(good.status, 0) << good.errors;
  EXPECT_EQ(read_bytes(folder / "out.txt")
                .rfind(at("map_3.route") + ": reached the exit in frame 65\n", 0),
            0u);
  EXPECT_EQ(run(ROUTE_PLAY_EXE, game_folder() + " 3 " + at("short.route") + level).status, 1);

  write("bad.route", "0 down right\n5 down right\n");
  const ToolRun bad = run(ROUTE_PLAY_EXE, game_folder() + " 3 " + at("bad.route") + level);
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.errors,
            "route_play: " + at("bad.route") + ":2: right goes down but is already down\n");
  // The game folder has no level 3 of its own.
  const ToolRun missing = run(ROUTE_PLAY_EXE, game_folder() + " 3 " + at("map_3.route"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.errors.find("map_3.dat"), std::string::npos) << missing.errors;

  EXPECT_EQ(run(ROUTE_PLAY_EXE, game_folder() + " 19 " + at("map_3.route")).status, 2);
  EXPECT_EQ(run(ROUTE_PLAY_EXE, game_folder() + " 3 " + at("map_3.route") + " --trace 0").status,
            2);
}

TEST_F(RouteTools, RoutePlayAllFailsALevelWithoutItsRoute) {
  fs::create_directories(folder / "levels");
  write("levels/map_1.txt", "\n.@....E\n1111111\n_\n");
  write("levels/map_1.route", "0 down right\n100 exit\n");
  write("levels/map_2.txt", "\n.@....E\n1111111\n_\n");
  ToolRun r = run(ROUTE_PLAY_EXE, game_folder() + " --all " + at("levels") + " > " + at("out.txt"));
  EXPECT_EQ(r.status, 1);
  const std::string out = read_bytes(folder / "out.txt");
  EXPECT_NE(out.find("map_1.route: reached the exit in frame 65\n"), std::string::npos) << out;
  EXPECT_NE(out.find("map_2.route: no route for map_2.txt\n"), std::string::npos) << out;
  write("levels/map_2.route", "0 down right\n100 exit\n");
  EXPECT_EQ(run(ROUTE_PLAY_EXE, game_folder() + " --all " + at("levels")).status, 0);
}

TEST_F(RouteTools, RouteSearchWritesARouteThatRoutePlayAccepts) {
  write("map_4.txt", "\n\n\n\n\n.@..........E\n1111111...111111\n2222222XXX222222\n_\n");
  const ToolRun found =
      run(ROUTE_SEARCH_EXE, game_folder() + " 4 " + at("map_4.txt") + " " + at("map_4.route"));
  EXPECT_EQ(found.status, 0) << found.errors;
  EXPECT_EQ(
      read_bytes(folder / "map_4.route").rfind("# map_4.txt as level 4: found by route_search", 0),
      0u);
  EXPECT_EQ(
      run(ROUTE_PLAY_EXE, game_folder() + " 4 " + at("map_4.route") + " --level " + at("map_4.txt"))
          .status,
      0);

  write("walled.txt", "\n\n\n\n........111\n.@......1E1\n11111111111\n_\n");
  const ToolRun none =
      run(ROUTE_SEARCH_EXE, game_folder() + " 4 " + at("walled.txt") + " " + at("walled.route") +
                                " --patience 60 > " + at("out.txt"));
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(
      read_bytes(folder / "out.txt").rfind("no route: no nearer to the exit for 60 frames", 0), 0u);
  EXPECT_FALSE(fs::exists(folder / "walled.route"));

  EXPECT_EQ(run(ROUTE_SEARCH_EXE,
                game_folder() + " 4 " + at("map_4.txt") + " " + at("x.route") + " --via 3")
                .status,
            2);
}

TEST(ShippedLevels, AreCanonicalText) {
  const fs::path folder = fs::path(HEDGEROW_SOURCE_DIR) / "assets" / "levels";
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".txt" ||
        entry.path().filename().string().rfind("map_", 0) != 0)
      continue;
    const std::string text = read_bytes(entry.path());
    EXPECT_EQ(levels::to_text(levels::parse(text)), text) << entry.path();
    EXPECT_TRUE(levels::design_warnings(levels::parse(text)).empty()) << entry.path();
  }
}
