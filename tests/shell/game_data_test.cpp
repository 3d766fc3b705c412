// The built game folder: every picture, sound and font the game loads is there under the game's
// own spellings, decodes with our loaders, and has the sizes the drawing code assumes; every
// level written as text is there, compiled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "level/cell_codes.h"
#include "level_text.h"
#include "media/decode/sound_decode.h"
#include "media/detail/game_file.h"
#include "media/files.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/text.h"
#include "menu/menu.h"
#include "shell/catalogue.h"
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

// The files of one entry of the catalogue or group of the menu's pictures, as the game spells
// them.
std::vector<std::string> files_of(std::string_view name) {
  std::vector<std::string> files;
  for (const CatalogueEntry& entry : catalogue_entries()) {
    if (entry.name != name) continue;
    for (const CatalogueFile& file : entry.files) files.emplace_back(file.path);
  }
  for (const MenuPictureEntry& entry : menu_picture_entries()) {
    if (entry.name != name) continue;
    for (std::string_view file : entry.files) files.emplace_back(file);
  }
  return files;
}

std::string file_of(std::string_view name, std::size_t element) {
  return files_of(name).at(element);
}

std::vector<std::string> files_of(std::initializer_list<std::string_view> names) {
  std::vector<std::string> files;
  for (std::string_view name : names) {
    for (std::string& file : files_of(name)) files.push_back(std::move(file));
  }
  return files;
}

// The pictures the drawing code assumes a size of.
struct FixedSize {
  std::string_view entry;
  int element;  // -1: every element
  int width, height;
};
const FixedSize fixed_sizes[] = {
    {"ground_images", -1, 64, 64},
    {"saw_images", 0, 128, 128},
    {"saw_images", 1, 64, 64},
    {"flower_images", -1, 64, 64},
    {"flowers_images", -1, 64, 64},
    {"grass_images", -1, 64, 64},
    {"pointer_image", -1, 64, 54},
    {"hero_jump_right_image", -1, 64, 64},
    {"hero_jump_left_image", -1, 64, 64},
    {"hero_fall_right_image", -1, 64, 64},
    {"hero_fall_left_image", -1, 64, 64},
    {"hero_stay_right_images", -1, 64, 62},
    {"hero_stay_left_images", -1, 64, 62},
    {"hero_move_right_images", -1, 64, 60},
    {"hero_move_left_images", -1, 64, 60},
    {"hedgehog_right_images", -1, 64, 45},
    {"hedgehog_left_images", -1, 64, 45},
    {"coin_images", -1, 64, 64},
    // Whole screens, drawn unscaled at the top-left corner.
    {"story_image", -1, 1024, 768},
    {"death_image", -1, 1024, 768},
    {"theend_image", -1, 1024, 768},
    {"tutorial_image", -1, 1024, 768},
    {"map_images", 0, 1024, 768},
    {"bg_images", -1, 1024, 768},
    {"menu_images", 0, 1024, 768},
    {"menu_eng_images", 3, 1024, 768},
};

class GameDataTest : public HeadlessTest {};

TEST_F(GameDataTest, EveryPictureAndSoundOfTheCatalogueAndTheMenuLoads) {
  for (const CatalogueEntry& entry : catalogue_entries()) {
    const bool pictures = std::holds_alternative<PictureSlots>(entry.slots);
    for (const CatalogueFile& file : entry.files) {
      const std::string path(file.path);
      EXPECT_TRUE(pictures ? static_cast<bool>(load_picture(path))
                           : static_cast<bool>(media::LoadSound(in_game_folder(path), 0)))
          << path << " is missing or undecodable";
    }
  }
  for (const MenuPictureEntry& entry : menu_picture_entries()) {
    for (std::string_view file : entry.files) {
      EXPECT_TRUE(load_picture(std::string(file))) << file << " is missing or undecodable";
    }
  }
  for (const char* path : {"Fonts\\Arial.ttf", "Fonts\\Kabarett Simp.ttf"}) {
    EXPECT_TRUE(media::LoadImageFont(in_game_folder(path), 18, media::font_smooth)) << path;
  }
}

TEST_F(GameDataTest, TheLevelMusicDecodesInTwoHalvesExactlyAsInOnePass) {
  const auto bytes = media::detail::read_game_file(
      media::map_path(in_game_folder(file_of("sounds", 2))), media::detail::max_sound_file_bytes);
  ASSERT_TRUE(bytes);
  const auto halves = media::detail::decode_ogg(bytes->data(), bytes->size(), 0);
  const auto one_pass = media::detail::decode_ogg(bytes->data(), bytes->size(), SIZE_MAX);
  ASSERT_TRUE(halves);
  ASSERT_TRUE(one_pass);
  EXPECT_GT(halves->frames, media::detail::ogg_split_from_frames);
  EXPECT_TRUE(halves->bytes == one_pass->bytes);
}

TEST_F(GameDataTest, PicturesDrawnAtAFixedSizeHaveIt) {
  for (const FixedSize& fixed : fixed_sizes) {
    const std::vector<std::string> files = files_of(fixed.entry);
    ASSERT_FALSE(files.empty()) << fixed.entry;
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (fixed.element >= 0 && i != static_cast<std::size_t>(fixed.element)) continue;
      SCOPED_TRACE(files[i]);
      const media::Image image = load_picture(files[i]);
      ASSERT_TRUE(image);
      EXPECT_EQ(media::ImageWidth(image), fixed.width);
      EXPECT_EQ(media::ImageHeight(image), fixed.height);
    }
  }
}

TEST_F(GameDataTest, MenuItemsAndFlagsFitTheirPlaces) {
  const std::vector<std::string> items = {
      file_of("menu_images", 1),     file_of("menu_images", 2),     file_of("menu_images", 3),
      file_of("menu_eng_images", 0), file_of("menu_eng_images", 1), file_of("menu_eng_images", 2)};
  for (const std::string& path : items) {
    const media::Image item = load_picture(path);
    ASSERT_TRUE(item) << path;
    EXPECT_LE(media::ImageHeight(item), 56) << path << " would touch the item below it";
    EXPECT_TRUE(pixels_of(item).has_alpha()) << path << " needs alpha for the pointer hit-test";
  }
  for (const std::string& path : files_of("flag_images")) {
    const media::Image flag = load_picture(path);
    ASSERT_TRUE(flag) << path;
    EXPECT_LE(media::ImageWidth(flag), 80) << path;
    EXPECT_LE(media::ImageHeight(flag), 60) << path;
  }
}

TEST_F(GameDataTest, DecorationsStandOnTheirCellBottom) {
  // Trees are drawn 5 px into their top cell, stones 3 px, the signpost 10 px.
  for (const std::string& path : files_of("tree_images")) {
    const media::Image tree = load_picture(path);
    ASSERT_TRUE(tree) << path;
    EXPECT_EQ(media::ImageHeight(tree) % 64, 59) << path;
  }
  for (const std::string& path : files_of("stone_images")) {
    const media::Image image = load_picture(path);
    ASSERT_TRUE(image) << path;
    EXPECT_EQ(media::ImageHeight(image), 61) << path;
  }
  for (const std::string& path : files_of(
           {"tree_images", "stone_images", "pointer_image", "flowers_images", "grass_images"})) {
    const media::Image image = load_picture(path);
    ASSERT_TRUE(image) << path;
    EXPECT_EQ(visible_extent(pixels_of(image)).bottom, media::ImageHeight(image) - 1)
        << path << " floats above the ground";
  }
}

TEST_F(GameDataTest, FiguresKeepToTheirBoxes) {
  for (const std::string& path : files_of({"hero_stay_right_images", "hero_move_right_images",
                                           "hero_jump_right_image", "hero_fall_right_image"})) {
    const media::Image image = load_picture(path);
    ASSERT_TRUE(image) << path;
    const Extent e = visible_extent(pixels_of(image));
    // x 14..49 here keeps the mirrored left frame inside 14..49 too.
    EXPECT_GE(e.left, 14) << path;
    EXPECT_LE(e.right, 49) << path;
    EXPECT_EQ(e.bottom, media::ImageHeight(image) - 1) << path << " does not stand on the ground";
  }
  for (const std::string& path : files_of("coin_images")) {
    const media::Image coin = load_picture(path);
    ASSERT_TRUE(coin) << path;
    const Extent e = visible_extent(pixels_of(coin));
    EXPECT_TRUE(e.left >= 10 && e.right <= 53 && e.top >= 10 && e.bottom <= 53) << path;
  }
  // Saws and the thrown stone turn about the picture's centre.
  for (const std::string& path : files_of({"saw_images", "stone_image"})) {
    const media::Image image = load_picture(path);
    ASSERT_TRUE(image) << path;
    const Extent e = visible_extent(pixels_of(image));
    const int w = media::ImageWidth(image), h = media::ImageHeight(image);
    EXPECT_NEAR(e.left + e.right, w - 1, 2) << path;
    EXPECT_NEAR(e.top + e.bottom, h - 1, 2) << path;
  }
}

TEST_F(GameDataTest, LeftFramesMirrorTheRightOnes) {
  const std::pair<std::string_view, std::string_view> sides[] = {
      {"hero_stay_right_images", "hero_stay_left_images"},
      {"hero_move_right_images", "hero_move_left_images"},
      {"hedgehog_right_images", "hedgehog_left_images"},
      {"hero_jump_right_image", "hero_jump_left_image"},
      {"hero_fall_right_image", "hero_fall_left_image"}};
  for (const auto& [right_entry, left_entry] : sides) {
    const std::vector<std::string> rights = files_of(right_entry), lefts = files_of(left_entry);
    ASSERT_EQ(rights.size(), lefts.size()) << right_entry;
    for (std::size_t i = 0; i < rights.size(); ++i) {
      SCOPED_TRACE(rights[i]);
      const media::Image right = load_picture(rights[i]);
      const media::Image left = load_picture(lefts[i]);
      ASSERT_TRUE(right && left);
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
      EXPECT_EQ(differing, 0);
    }
  }
}

TEST_F(GameDataTest, OpaqueScreensHaveNoMaskWhite) {
  // The catalogue loads with white as the mask colour: a pure white pixel in a picture without
  // alpha would be punched out.
  for (const std::string& path : files_of({"story_image", "death_image", "theend_image"})) {
    const media::Image image = load_picture(path);
    ASSERT_TRUE(image) << path;
    const media::TPixmap& p = pixels_of(image);
    EXPECT_FALSE(p.has_alpha()) << path;
    int white = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const auto c = p.rgba(x, y);
        white += c.r == 255 && c.g == 255 && c.b == 255;
      }
    }
    EXPECT_EQ(white, 0) << path;
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

TEST_F(GameDataTest, EveryLevelWrittenAsTextShipsCompiledWithAStartAnExitAndABottomLine) {
  const std::filesystem::path texts =
      std::filesystem::path(HEDGEROW_SOURCE_DIR) / "assets" / "levels";
  const std::regex level_text(R"(map_([0-9]+)\.txt)");
  int shipped = 0;
  for (const auto& entry : std::filesystem::directory_iterator(texts)) {
    const std::string name = entry.path().filename().string();
    std::smatch number;
    if (!std::regex_match(name, number, level_text)) continue;
    ++shipped;
    const std::string game_path = "data\\level\\map_" + number[1].str() + ".dat";
    SCOPED_TRACE(game_path);
    const int level = std::stoi(number[1].str());
    EXPECT_TRUE(level >= 1 && level <= 18) << "the game never reads it";
    ASSERT_EQ(media::FileSize(in_game_folder(game_path)), 160000);

    std::ifstream file(media::map_path(in_game_folder(game_path)), std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file),
                                           std::istreambuf_iterator<char>()};
    const levels::Grid grid = levels::from_file(bytes);
    std::ifstream text_file(entry.path(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(text_file),
                           std::istreambuf_iterator<char>()};
    EXPECT_TRUE(grid == levels::parse(text)) << "not compiled from " << name;

    const std::vector<std::int32_t>& codes = grid.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), cell::hero_start), 1);
    EXPECT_GE(std::count(codes.begin(), codes.end(), cell::level_exit), 1);
    EXPECT_GE(std::count(codes.begin(), codes.end(), cell::bottom_line), 1);
  }
  EXPECT_GE(shipped, 1) << "no level in " << texts;
}

TEST_F(GameDataTest, MixedCaseSpellingsFindTheLowerCaseFiles) {
  const std::string mapped = media::map_path(in_game_folder("Data\\Graphics\\ground_1.png"));
  EXPECT_EQ(mapped, std::string(HEDGEROW_GAME_DIR) + "/data/graphics/ground_1.png");
  EXPECT_EQ(media::FileType(in_game_folder("Fonts\\Kabarett Simp.ttf")), 1);
  EXPECT_EQ(media::FileType(in_game_folder("DATA\\GRAPHICS")), 2);
}

}  // namespace
