// The packing step as the data build runs it: a good picture comes out with its pixels, and any
// trouble fails the build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "png_io.h"

namespace {

namespace fs = std::filesystem;

TEST(AssetPngPack, PacksAGoodPictureAndFailsTheBuildOnBadInput) {
  const fs::path folder =
      fs::temp_directory_path() /
      ("asset_png_pack_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(folder);
  const asset::RgbaImage image{2, 1, {1, 2, 3, 4, 250, 240, 230, 0}};
  asset::write_png((folder / "good.png").string(), image);
  const auto run = [&](const std::string& args) {
    return std::system((std::string(ASSET_PNG_PACK_EXE) + " " + args + " 2>/dev/null").c_str());
  };
  EXPECT_EQ(run((folder / "good.png").string() + " " + (folder / "packed.png").string()), 0);
  EXPECT_EQ(asset::read_png((folder / "packed.png").string()).pixels, image.pixels);
  EXPECT_NE(run((folder / "missing.png").string() + " " + (folder / "out.png").string()), 0);
  EXPECT_NE(run((folder / "good.png").string()), 0);
  fs::remove_all(folder);
}

}  // namespace
