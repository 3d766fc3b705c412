// The level tools as the build and a level designer run them: compiling, turning a level file
// back into text, drawing an overview, and what they say about bad input.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "level_text.h"

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

TEST(ShippedLevels, AreCanonicalText) {
  const fs::path folder = fs::path(HEDGEROW_SOURCE_DIR) / "assets" / "levels";
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("map_", 0) != 0) continue;
    const std::string text = read_bytes(entry.path());
    EXPECT_EQ(levels::to_text(levels::parse(text)), text) << entry.path();
    EXPECT_TRUE(levels::design_warnings(levels::parse(text)).empty()) << entry.path();
  }
}
