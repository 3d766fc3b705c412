#include "support/catalogue_pictures.h"

#include <array>

#include "shell/catalogue.h"
#include "shell/globals.h"

namespace test_support {

namespace {

class PictureMaker {
 public:
  PictureMaker(int width, int height) : width_(width), height_(height) {}
  void operator()(media::Image& entry) {
    // Colours spread out over the cube, so that neighbours are easy to tell apart by eye too.
    rgb_ += 0x3A1F0B;
    entry = solid_picture(width_, height_, rgb_ & 0xFFFFFF);
  }
  template <std::size_t n>
  void operator()(std::array<media::Image, n>& entries) {
    for (media::Image& entry : entries) (*this)(entry);
  }

 private:
  int width_, height_;
  std::uint32_t rgb_ = 0x102030;
};

}  // namespace

media::Image solid_picture(int width, int height, std::uint32_t rgb) {
  media::TPixmap pixmap(width, height, media::PixelFormat::rgba8);
  for (std::size_t i = 0; i < pixmap.pixels.size(); i += 4) {
    pixmap.pixels[i] = static_cast<std::uint8_t>(rgb >> 16);
    pixmap.pixels[i + 1] = static_cast<std::uint8_t>(rgb >> 8);
    pixmap.pixels[i + 2] = static_cast<std::uint8_t>(rgb);
    pixmap.pixels[i + 3] = 255;
  }
  return media::image_from_pixmap(std::move(pixmap), 0);
}

void fill_catalogue_pictures(int width, int height) {
  MediaCatalogue& c = catalogue();
  PictureMaker make(width, height);
  make(c.ground_images);
  make(c.tree_images);
  make(c.flowers_images);
  make(c.grass_images);
  make(c.stone_images);
  make(c.saw_images);
  make(c.story_image);
  make(c.stone_image);
  make(c.flower_images);
  make(c.map_images);
  make(c.tutorial_image);
  make(c.death_image);
  make(c.life_big_image);
  make(c.theend_image);
  make(c.hedgehog_right_images);
  make(c.hedgehog_left_images);
  make(c.bg_images);
  make(c.hero_stay_right_images);
  make(c.hero_stay_left_images);
  make(c.hero_move_right_images);
  make(c.hero_jump_right_image);
  make(c.hero_jump_left_image);
  make(c.hero_fall_right_image);
  make(c.hero_fall_left_image);
  make(c.hero_move_left_images);
  make(c.level_complete_image);
  make(c.level_complete_eng_image);
  make(c.coin_images);
  make(c.life_images);
  make(c.pointer_image);
  make(c.cloud_images);
}

}  // namespace test_support
