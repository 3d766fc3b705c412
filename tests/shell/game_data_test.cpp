// The built game folder: every picture, sound and font the game loads is there under the game's
// own spellings, decodes with our loaders, and has the sizes the drawing code assumes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "media/files.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/text.h"
#include "support/headless_test.h"

namespace {

std::string in_game_folder(const std::string& game_path) {
  return std::string(HEDGEROW_GAME_DIR) + "\\" + game_path;
}

media::Image load_picture(const std::string& game_path) {
  return media::LoadImage(in_game_folder(game_path), 0);
}

// The columns and rows that hold any visible pixel.
struct Extent {
  int left = 0, right = -1, top = 0, bottom = -1;
  bool empty() const { return right < left; }
};

Extent visible_extent(const media::TPixmap& p) {
  Extent e{p.width, -1, p.height, -1};
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (p.rgba(x, y).a == 0) continue;
      e.left = std::min(e.left, x);
      e.right = std::max(e.right, x);
      e.top = std::min(e.top, y);
      e.bottom = std::max(e.bottom, y);
    }
  }
  return e;
}

const media::TPixmap& pixels_of(const media::Image& image) {
  return image->pixmaps.at(0);
}

std::vector<std::string> numbered(const std::string& stem, int count, const std::string& ext) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(stem + std::to_string(i) + ext);
  return names;
}

struct Picture {
  std::string path;
  int width, height;
};

// The pictures with a fixed size, spelled as the game spells them.
std::vector<Picture> fixed_size_pictures() {
  std::vector<Picture> list = {
      {"Data\\Graphics\\ground_1.png", 64, 64},
      {"data\\graphics\\ground_2.png", 64, 64},
      {"data\\graphics\\ground_3.png", 64, 64},
      {"data\\graphics\\ground_4.png", 64, 64},
      {"data\\graphics\\saw_1.png", 128, 128},
      {"data\\graphics\\saw_2.png", 64, 64},
      {"data\\graphics\\flower_1.png", 64, 64},
      {"data\\graphics\\flower_2.png", 64, 64},
      {"Data\\graphics\\flowers_1.png", 64, 64},
      {"Data\\graphics\\flowers_2.png", 64, 64},
      {"Data\\graphics\\grass_1.png", 64, 64},
      {"Data\\graphics\\grass_2.png", 64, 64},
      {"data\\graphics\\pointer.png", 64, 54},
      {"data\\graphics\\hero_jump_right.png", 64, 64},
      {"data\\graphics\\hero_jump_left.png", 64, 64},
      {"data\\graphics\\hero_fall_right.png", 64, 64},
      {"data\\graphics\\hero_fall_left.png", 64, 64},
  };
  for (const char* side : {"right", "left"}) {
    const std::string stem = std::string("data\\graphics\\hero_");
    for (const std::string& p : numbered(stem + "stay_" + side + "_", 2, ".png")) {
      list.push_back({p, 64, 62});
    }
    for (const std::string& p : numbered(stem + "move_" + side + "_", 4, ".png")) {
      list.push_back({p, 64, 60});
    }
    for (const std::string& p :
         numbered(std::string("data\\graphics\\hedgehog_") + side + "_", 4, ".png")) {
      list.push_back({p, 64, 45});
    }
  }
  for (const std::string& p : numbered("data\\graphics\\coin_", 4, ".png")) {
    list.push_back({p, 64, 64});
  }
  for (const char* screen : {"story.jpg", "death.jpg", "theend.jpg", "tutorial.png", "map.png",
                             "bg_1.png", "bg_2.png", "menu.png", "menu_eng.png"}) {
    list.push_back({std::string("data\\graphics\\") + screen, 1024, 768});
  }
  return list;
}

// Pictures whose size is the artist's choice within limits.
std::vector<std::string> free_size_pictures() {
  std::vector<std::string> list = {
      "Data\\Graphics\\tree_1.png",          "Data\\Graphics\\tree_2.png",
      "Data\\Graphics\\tree_3.png",          "Data\\graphics\\stone_1.png",
      "Data\\graphics\\stone_2.png",         "data\\graphics\\stone.png",
      "data\\graphics\\player_location.png", "data\\graphics\\life_big.png",
      "data\\graphics\\level_complete.png",  "data\\graphics\\level_complete_eng.png",
      "data\\graphics\\lifebar.png",         "data\\graphics\\life.png",
      "data\\graphics\\point.png",           "data\\graphics\\tesvar.png",
      "data\\graphics\\facebook.png"};
  for (const std::string& p : numbered("data\\graphics\\cloud_", 5, ".png")) list.push_back(p);
  return list;
}

const std::vector<std::string> menu_items = {
    "data\\graphics\\menu_1.png",     "data\\graphics\\menu_2.png",
    "data\\graphics\\menu_3.png",     "data\\graphics\\menu_1_eng.png",
    "data\\graphics\\menu_2_eng.png", "data\\graphics\\menu_3_eng.png"};

class GameDataTest : public HeadlessTest {};

TEST_F(GameDataTest, PicturesLoadWithTheirSizes) {
  for (const Picture& picture : fixed_size_pictures()) {
    SCOPED_TRACE(picture.path);
    const media::Image image = load_picture(picture.path);
    if (!image) {
      ADD_FAILURE() << "missing or undecodable";
      continue;
    }
    EXPECT_EQ(media::ImageWidth(image), picture.width);
    EXPECT_EQ(media::ImageHeight(image), picture.height);
  }
  for (const std::string& path : free_size_pictures()) {
    EXPECT_TRUE(load_picture(path)) << path << " is missing or undecodable";
  }
}

TEST_F(GameDataTest, MenuItemsAndFlagsFitTheirPlaces) {
  for (const std::string& path : menu_items) {
    const media::Image item = load_picture(path);
    ASSERT_TRUE(item) << path;
    EXPECT_LE(media::ImageHeight(item), 56) << path << " would touch the item below it";
    EXPECT_TRUE(pixels_of(item).has_alpha()) << path << " needs alpha for the pointer hit-test";
  }
  for (const char* path : {"data\\graphics\\rus.png", "data\\graphics\\usa.png"}) {
    const media::Image flag = load_picture(path);
    ASSERT_TRUE(flag) << path;
    EXPECT_LE(media::ImageWidth(flag), 80) << path;
    EXPECT_LE(media::ImageHeight(flag), 60) << path;
  }
}

TEST_F(GameDataTest, DecorationsStandOnTheirCellBottom) {
  // Trees are drawn 5 px into their top cell, stones 3 px, the signpost 10 px.
  for (int i = 1; i <= 3; ++i) {
    const media::Image tree = load_picture("Data\\Graphics\\tree_" + std::to_string(i) + ".png");
    ASSERT_TRUE(tree);
    EXPECT_EQ(media::ImageHeight(tree) % 64, 59) << "tree_" << i;
  }
  for (const char* stone : {"stone_1.png", "stone_2.png"}) {
    const media::Image image = load_picture(std::string("Data\\graphics\\") + stone);
    ASSERT_TRUE(image);
    EXPECT_EQ(media::ImageHeight(image), 61) << stone;
  }
  for (const char* name : {"tree_1", "tree_2", "tree_3", "stone_1", "stone_2", "pointer",
                           "flowers_1", "flowers_2", "grass_1", "grass_2"}) {
    const media::Image image = load_picture(std::string("data\\graphics\\") + name + ".png");
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(visible_extent(pixels_of(image)).bottom, media::ImageHeight(image) - 1)
        << name << " floats above the ground";
  }
}

TEST_F(GameDataTest, FiguresKeepToTheirBoxes) {
  std::vector<std::string> hero = numbered("hero_stay_right_", 2, "");
  for (const std::string& n : numbered("hero_move_right_", 4, "")) hero.push_back(n);
  hero.insert(hero.end(), {"hero_jump_right", "hero_fall_right"});
  for (const std::string& name : hero) {
    const media::Image image = load_picture("data\\graphics\\" + name + ".png");
    ASSERT_TRUE(image) << name;
    const Extent e = visible_extent(pixels_of(image));
    // x 14..49 here keeps the mirrored left frame inside 14..49 too.
    EXPECT_GE(e.left, 14) << name;
    EXPECT_LE(e.right, 49) << name;
    EXPECT_EQ(e.bottom, media::ImageHeight(image) - 1) << name << " does not stand on the ground";
  }
  for (const std::string& name : numbered("coin_", 4, "")) {
    const media::Image coin = load_picture("data\\graphics\\" + name + ".png");
    ASSERT_TRUE(coin) << name;
    const Extent e = visible_extent(pixels_of(coin));
    EXPECT_TRUE(e.left >= 10 && e.right <= 53 && e.top >= 10 && e.bottom <= 53) << name;
  }
  // Saws and the thrown stone turn about the picture's centre.
  for (const char* name : {"saw_1", "saw_2", "stone"}) {
    const media::Image image = load_picture(std::string("data\\graphics\\") + name + ".png");
    ASSERT_TRUE(image) << name;
    const Extent e = visible_extent(pixels_of(image));
    const int w = media::ImageWidth(image), h = media::ImageHeight(image);
    EXPECT_NEAR(e.left + e.right, w - 1, 2) << name;
    EXPECT_NEAR(e.top + e.bottom, h - 1, 2) << name;
  }
}

TEST_F(GameDataTest, LeftFramesMirrorTheRightOnes) {
  std::vector<std::string> stems;
  for (const std::string& n : numbered("hero_stay_", 2, "")) stems.push_back(n);
  for (const std::string& n : numbered("hero_move_", 4, "")) stems.push_back(n);
  for (const std::string& n : numbered("hedgehog_", 4, "")) stems.push_back(n);
  stems.insert(stems.end(), {"hero_jump", "hero_fall"});
  for (const std::string& stem : stems) {
    // numbered frames are "<what>_<side>_<n>", single ones "<what>_<side>"
    const std::size_t cut = stem.find_last_of('_');
    const bool has_number = std::isdigit(static_cast<unsigned char>(stem.back()));
    const std::string head = has_number ? stem.substr(0, cut + 1) : stem + "_";
    const std::string tail = has_number ? "_" + stem.substr(cut + 1) : "";
    const media::Image right = load_picture("data\\graphics\\" + head + "right" + tail + ".png");
    const media::Image left = load_picture("data\\graphics\\" + head + "left" + tail + ".png");
    ASSERT_TRUE(right && left) << stem;
    const media::TPixmap& r = pixels_of(right);
    const media::TPixmap& l = pixels_of(left);
    ASSERT_EQ(r.width, l.width);
    ASSERT_EQ(r.height, l.height);
    int differing = 0;
    for (int y = 0; y < r.height; ++y) {
      for (int x = 0; x < r.width; ++x) {
        const auto a = r.rgba(x, y);
        const auto b = l.rgba(r.width - 1 - x, y);
        differing += a.a != b.a || (a.a != 0 && (a.r != b.r || a.g != b.g || a.b != b.b));
      }
    }
    EXPECT_EQ(differing, 0) << stem;
  }
}

TEST_F(GameDataTest, OpaqueScreensHaveNoMaskWhite) {
  // The catalogue loads with white as the mask colour: a pure white pixel in a picture without
  // alpha would be punched out.
  for (const char* name : {"story.jpg", "death.jpg", "theend.jpg"}) {
    const media::Image image = load_picture(std::string("data\\graphics\\") + name);
    ASSERT_TRUE(image) << name;
    const media::TPixmap& p = pixels_of(image);
    EXPECT_FALSE(p.has_alpha()) << name;
    int white = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const auto c = p.rgba(x, y);
        white += c.r == 255 && c.g == 255 && c.b == 255;
      }
    }
    EXPECT_EQ(white, 0) << name;
  }
}

TEST_F(GameDataTest, SoundsAndFontsLoad) {
  for (const char* path :
       {"Data\\Sound\\pick-up-coin.wav", "Data\\Sound\\jump.wav", "Data\\Sound\\world_1.ogg",
        "Data\\Sound\\world.wav", "data\\sound\\shot.wav", "data\\sound\\throw.wav"}) {
    EXPECT_TRUE(media::LoadSound(in_game_folder(path), 0)) << path;
  }
  for (const char* path : {"Fonts\\Arial.ttf", "Fonts\\Kabarett Simp.ttf"}) {
    EXPECT_TRUE(media::LoadImageFont(in_game_folder(path), 18, media::font_smooth)) << path;
  }
}

TEST_F(GameDataTest, SaveFileHoldsTwoZeros) {
  const media::Stream save = media::OpenFile(in_game_folder("data\\save.dat"), 1, 0);
  ASSERT_TRUE(save);
  EXPECT_EQ(media::ReadInt(save), 0);
  EXPECT_EQ(media::ReadInt(save), 0);
  EXPECT_TRUE(media::Eof(save));
  media::Close(save);
}

TEST_F(GameDataTest, MixedCaseSpellingsFindTheLowerCaseFiles) {
  const std::string mapped = media::map_path(in_game_folder("Data\\Graphics\\ground_1.png"));
  EXPECT_EQ(mapped, std::string(HEDGEROW_GAME_DIR) + "/data/graphics/ground_1.png");
  EXPECT_EQ(media::FileType(in_game_folder("Fonts\\Kabarett Simp.ttf")), 1);
  EXPECT_EQ(media::FileType(in_game_folder("DATA\\GRAPHICS")), 2);
}

}  // namespace
