// The JPEG encoding of the full-screen pictures: opaque, deterministic, errors reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "jpeg_write.h"

namespace {

namespace fs = std::filesystem;

struct Decoded {
  int width = 0, height = 0, components = 0;
  std::vector<std::uint8_t> pixels;
};

Decoded decode(const fs::path& path) {
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (!file) return {};
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  Decoded d{static_cast<int>(info.output_width),
            static_cast<int>(info.output_height),
            info.output_components,
            {}};
  d.pixels.resize(static_cast<std::size_t>(d.width) * d.height * d.components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = d.pixels.data() + info.output_scanline * d.width * d.components;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return d;
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Left half solid orange, right half fully transparent orange.
asset::RgbaImage half_transparent(int w, int h) {
  asset::RgbaImage image{w, h, {}};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      image.pixels.insert(image.pixels.end(),
                          {240, 140, 40, static_cast<std::uint8_t>(x < w / 2 ? 255 : 0)});
    }
  }
  return image;
}

class AssetJpegTest : public ::testing::Test {
 protected:
  fs::path folder =
      fs::temp_directory_path() / (std::string("asset_jpeg_test_") +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
};

TEST_F(AssetJpegTest, FlattensAlphaOntoBlackAndRepeatsExactly) {
  const asset::RgbaImage image = half_transparent(32, 16);
  asset::write_jpeg((folder / "a.jpg").string(), image, 90);
  asset::write_jpeg((folder / "b.jpg").string(), image, 90);
  EXPECT_EQ(read_bytes(folder / "a.jpg"), read_bytes(folder / "b.jpg"));

  const Decoded d = decode(folder / "a.jpg");
  ASSERT_EQ(d.width, 32);
  ASSERT_EQ(d.height, 16);
  ASSERT_EQ(d.components, 3);
  const std::uint8_t* solid = &d.pixels[(8 * 32 + 4) * 3];
  const std::uint8_t* clear = &d.pixels[(8 * 32 + 28) * 3];
  EXPECT_NEAR(solid[0], 240, 8);
  EXPECT_NEAR(solid[1], 140, 8);
  EXPECT_NEAR(solid[2], 40, 8);
  EXPECT_LT(clear[0] + clear[1] + clear[2], 24);
}

TEST_F(AssetJpegTest, UnwritableTargetIsReported) {
  EXPECT_THROW(
      asset::write_jpeg((folder / "no" / "such" / "x.jpg").string(), half_transparent(4, 4), 90),
      std::runtime_error);
}

}  // namespace
