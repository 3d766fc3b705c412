// The overview: pictures at their cells, shrunk, and the marks of what play does not show.

#include "overview.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "media/headless.h"
#include "media/image.h"
#include "media/media.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr std::uint32_t ground = 0xFF8B5A2B;

media::Image solid(int side, std::uint32_t argb) {
  media::TPixmap pixmap(side, side, media::PixelFormat::rgba8);
  for (std::size_t i = 0; i < pixmap.pixels.size(); i += 4) {
    pixmap.pixels[i] = static_cast<std::uint8_t>(argb >> 16);
    pixmap.pixels[i + 1] = static_cast<std::uint8_t>(argb >> 8);
    pixmap.pixels[i + 2] = static_cast<std::uint8_t>(argb);
    pixmap.pixels[i + 3] = 255;
  }
  return media::image_from_pixmap(std::move(pixmap), 0);
}

struct Rgb {
  int r, g, b;
};

class Overview : public ::testing::Test {
 protected:
  media::HeadlessBackend& hb = media::use_headless();

  void SetUp() override {
    reset_globals();
    catalogue().ground_images[0] = solid(64, ground);
  }
  void TearDown() override { reset_globals(); }

  // The first pixel of the ground's colour, row by row from the top.
  std::pair<int, int> first_ground_pixel(levels::OverviewSize size) {
    for (int y = 0; y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) {
        if (hb.pixel(x, y) == ground) return {x, y};
      }
    }
    return {-1, -1};
  }

  Rgb at(int x, int y) const {
    const std::uint32_t p = hb.pixel(x, y);
    return {static_cast<int>(p >> 16 & 255), static_cast<int>(p >> 8 & 255),
            static_cast<int>(p & 255)};
  }
};

}  // namespace

TEST_F(Overview, PicturesSitAtTheirCellsShrunk) {
  const auto size = levels::draw_overview(levels::parse("\n\n\n\n\n.....1\n\n.........1"), "t", 4);
  const auto [x, y] = first_ground_pixel(size);
  ASSERT_GE(x, 0);
  EXPECT_EQ(hb.pixel(x + 15, y + 15), ground) << "a cell is 16 pixels at 1/4";
  EXPECT_NE(hb.pixel(x + 16, y), ground);
  EXPECT_NE(hb.pixel(x, y + 16), ground);
  EXPECT_EQ(hb.pixel(x + 4 * 16, y + 2 * 16), ground) << "four columns right, two rows down";
  EXPECT_NE(hb.pixel(x + 4 * 16 - 1, y + 2 * 16), ground);
}

TEST_F(Overview, MarksWhatPlayDoesNotShow) {
  // Row 5: wall, unknown code, death zone, exit; the hero's start two rows above the wall and
  // the bottom line three rows below the exit.
  const auto size =
      levels::draw_overview(levels::parse("\n\n\n.....@\n\n.....1{55}XE\n\n\n........_"), "t", 4);
  const auto [x, y] = first_ground_pixel(size);
  ASSERT_GE(x, 0);
  // Captured by copy: clang 14 cannot capture a structured binding.
  const auto centre = [&, x = x, y = y](int columns_right, int rows_down) {
    return at(x + 16 * columns_right + 8, y + 16 * rows_down + 8);
  };
  const Rgb unknown = centre(1, 0), death = centre(2, 0), exit = centre(3, 0),
            bottom = centre(3, 3);
  EXPECT_TRUE(unknown.r > unknown.g + 60 && unknown.b > unknown.g + 60) << "purple";
  EXPECT_TRUE(death.r > death.g + 80 && death.r > death.b + 80) << "red";
  EXPECT_TRUE(exit.g > exit.r + 60 && exit.g > exit.b + 40) << "green";
  EXPECT_TRUE(bottom.b > bottom.r + 60 && bottom.b > bottom.g + 40) << "blue";
  const Rgb start = at(x, y - 2 * 16);
  EXPECT_TRUE(start.r > 200 && start.g > 180 && start.b < 80) << "yellow frame of the start";
}

TEST_F(Overview, RefusesAShrinkOutOfRangeAndAPictureTooLargeToDraw) {
  const levels::Grid corners =
      levels::parse("1" + std::string(199, '\n') + std::string(199, '.') + "1");
  EXPECT_THROW(levels::draw_overview(corners, "t", 0), std::runtime_error);
  EXPECT_THROW(levels::draw_overview(corners, "t", 17), std::runtime_error);
  EXPECT_THROW(levels::draw_overview(corners, "t", 1), std::runtime_error);
  const auto size = levels::draw_overview(corners, "t", 16);
  EXPECT_GT(size.width, 800) << "200 columns of 4 pixels and the margins";
  EXPECT_LT(size.width, 900);
}
