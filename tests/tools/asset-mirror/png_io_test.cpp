// The PNG reading, writing, packing and mirroring that the data build runs on every picture.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

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

// A picture whose rows libpng's own writer stores filtered: gradients in every channel.
void write_filtered_png(const fs::path& path, int channels) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = 40;
  png.height = 30;
  png.format = channels == 4 ? PNG_FORMAT_RGBA : channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<std::uint8_t>((i * 7 + i / 120 * 13) ^ (i % 3 == 0 ? 0x55 : 0));
  }
  ASSERT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr));
}

// The colour type in the header, and each row's filter byte from the inflated picture data.
struct StoredLayout {
  int colour_type = -1;
  std::vector<int> filters;
};

StoredLayout stored_layout(const fs::path& path, int bytes_per_row) {
  const std::string file = read_bytes(path);
  StoredLayout layout;
  layout.colour_type = static_cast<unsigned char>(file.at(25));
  std::string compressed;
  for (std::size_t at = 8; at + 8 <= file.size();) {
    const std::size_t length = (std::size_t(std::uint8_t(file[at])) << 24) |
                               (std::size_t(std::uint8_t(file[at + 1])) << 16) |
                               (std::size_t(std::uint8_t(file[at + 2])) << 8) |
                               std::size_t(std::uint8_t(file[at + 3]));
    if (file.compare(at + 4, 4, "IDAT") == 0) compressed += file.substr(at + 8, length);
    at += length + 12;
  }
  std::vector<unsigned char> rows(1 << 16);
  uLongf size = rows.size();
  if (uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                 compressed.size()) != Z_OK) {
    return layout;
  }
  for (uLongf at = 0; at < size; at += static_cast<uLongf>(bytes_per_row) + 1) {
    layout.filters.push_back(rows[at]);
  }
  return layout;
}

TEST_F(AssetPngTest, PackingKeepsThePixelsAndColourTypeWithEveryRowUnfiltered) {
  for (const int channels : {3, 4}) {
    SCOPED_TRACE(std::to_string(channels) + " channels");
    const fs::path source = folder / "source.png", packed = folder / "packed.png";
    write_filtered_png(source, channels);
    const StoredLayout before = stored_layout(source, 40 * channels);
    ASSERT_EQ(before.filters.size(), 30u);
    ASSERT_NE(std::count(before.filters.begin(), before.filters.end(), 0), 30) << "nothing to undo";

    asset::pack_png(source.string(), packed.string());
    const StoredLayout after = stored_layout(packed, 40 * channels);
    EXPECT_EQ(after.colour_type, before.colour_type);
    EXPECT_EQ(after.filters, std::vector<int>(30, 0));
    EXPECT_EQ(asset::read_png(packed.string()).pixels, asset::read_png(source.string()).pixels);
  }
  // Written pictures are stored the same way.
  asset::write_png((folder / "written.png").string(), sample_image());
  EXPECT_EQ(stored_layout(folder / "written.png", 3 * 4).filters, std::vector<int>(2, 0));
}

TEST_F(AssetPngTest, PackingRefusesWhatItCouldNotKeepExactly) {
  write_filtered_png(folder / "grey.png", 1);
  EXPECT_THROW(asset::pack_png((folder / "grey.png").string(), (folder / "out.png").string()),
               std::runtime_error);
  EXPECT_THROW(asset::pack_png((folder / "missing.png").string(), (folder / "out.png").string()),
               std::runtime_error);
  std::ofstream(folder / "damaged.png", std::ios::binary) << "\x89PNG\r\n\x1a\n not really";
  EXPECT_THROW(asset::pack_png((folder / "damaged.png").string(), (folder / "out.png").string()),
               std::runtime_error);
}

}  // namespace
