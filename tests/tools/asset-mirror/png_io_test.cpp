// The PNG reading, writing and mirroring that the data build runs on every left-facing frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "png_io.h"

namespace {

namespace fs = std::filesystem;

// 3 x 2 pixels, every byte different, with partial alpha.
asset::RgbaImage sample_image() {
  asset::RgbaImage image{3, 2, {}};
  for (int i = 0; i < 3 * 2 * 4; ++i) image.pixels.push_back(static_cast<std::uint8_t>(10 * i + 5));
  return image;
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AssetPngTest : public ::testing::Test {
 protected:
  fs::path folder =
      fs::temp_directory_path() /
      ("asset_png_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
};

TEST(AssetMirror, SwapsColumnsAndIsItsOwnInverse) {
  const asset::RgbaImage image = sample_image();
  const asset::RgbaImage mirrored = asset::mirrored_left_right(image);
  ASSERT_EQ(mirrored.pixels.size(), image.pixels.size());
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(mirrored.pixels[(y * 3 + x) * 4 + c], image.pixels[(y * 3 + 2 - x) * 4 + c]);
      }
    }
  }
  EXPECT_EQ(asset::mirrored_left_right(mirrored).pixels, image.pixels);
}

TEST_F(AssetPngTest, RoundTripKeepsEveryByteAndRepeatsExactly) {
  const asset::RgbaImage image = sample_image();
  asset::write_png((folder / "a.png").string(), image);
  asset::write_png((folder / "b.png").string(), image);
  const asset::RgbaImage back = asset::read_png((folder / "a.png").string());
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.pixels, image.pixels);
  EXPECT_EQ(read_bytes(folder / "a.png"), read_bytes(folder / "b.png"));
}

TEST_F(AssetPngTest, DamagedOrMissingInputIsReported) {
  std::ofstream(folder / "damaged.png", std::ios::binary) << "\x89PNG\r\n\x1a\n not really";
  EXPECT_THROW(asset::read_png((folder / "damaged.png").string()), std::runtime_error);
  try {
    asset::read_png((folder / "missing.png").string());
    FAIL() << "no error for a missing file";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("missing.png"), std::string::npos);
  }
  asset::RgbaImage short_buffer{4, 4, std::vector<std::uint8_t>(10)};
  EXPECT_THROW(asset::write_png((folder / "short.png").string(), short_buffer), std::runtime_error);
}

TEST_F(AssetPngTest, ToolFailsTheBuildOnBadInput) {
  asset::write_png((folder / "good.png").string(), sample_image());
  const std::string tool = ASSET_MIRROR_EXE;
  const auto run = [&](const std::string& args) {
    return std::system((tool + " " + args + " 2>/dev/null").c_str());
  };
  EXPECT_EQ(run((folder / "good.png").string() + " " + (folder / "left.png").string()), 0);
  EXPECT_EQ(asset::read_png((folder / "left.png").string()).pixels,
            asset::mirrored_left_right(sample_image()).pixels);
  EXPECT_NE(run((folder / "missing.png").string() + " " + (folder / "out.png").string()), 0);
  EXPECT_NE(run((folder / "good.png").string()), 0);
}

}  // namespace
