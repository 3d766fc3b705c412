#pragma once
// The pictures and sounds the level, play and flow-screen code draw and play, loaded once at
// start-up and read by name afterwards. An entry whose file could not be loaded holds none; it
// then draws and plays nothing.

#include <array>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "media/image.h"
#include "media/sound.h"

struct MediaCatalogue {
  std::array<media::Image, 4> ground_images;
  std::array<media::Image, 3> tree_images;
  std::array<media::Image, 2> flowers_images;
  std::array<media::Image, 2> grass_images;
  std::array<media::Image, 2> stone_images;
  std::array<media::Image, 2> saw_images;  // drawn centred
  media::Image story_image;
  media::Image stone_image;  // drawn centred
  std::array<media::Image, 2> flower_images;
  std::array<media::Image, 2> map_images;  // 0 the map, 1 the marker (drawn centred)
  media::Image tutorial_image;
  media::Image death_image;
  media::Image life_big_image;
  media::Image theend_image;
  std::array<media::Image, 4> hedgehog_right_images;
  std::array<media::Image, 4> hedgehog_left_images;
  std::array<media::Sound, 3> sounds;  // 0 coin, 1 jump, 2 the level music
  media::Sound world_sound;
  media::Sound shot_sound;
  media::Sound throw_sound;
  std::array<media::Image, 2> bg_images;
  std::array<media::Image, 2> hero_stay_right_images;
  std::array<media::Image, 2> hero_stay_left_images;
  std::array<media::Image, 4> hero_move_right_images;
  media::Image hero_jump_right_image;
  media::Image hero_jump_left_image;
  media::Image hero_fall_right_image;
  media::Image hero_fall_left_image;
  std::array<media::Image, 4> hero_move_left_images;
  media::Image level_complete_image;
  media::Image level_complete_eng_image;
  std::array<media::Image, 4> coin_images;
  std::array<media::Image, 2> life_images;  // 0 the bar, 1 one life
  media::Image pointer_image;               // the signpost placed in levels
  std::array<media::Image, 5> cloud_images;
};

// One file of an entry: its path as the game spells it, and the flags it is loaded with
// (LoadImage's, -1 for the default flags; LoadSound's, 1 for a sound that loops).
struct CatalogueFile {
  std::string_view path;
  int flags = -1;
};

// Where an entry's pictures or sounds are kept in the catalogue: one element per file.
using PictureSlots = std::span<media::Image> (*)(MediaCatalogue&);
using SoundSlots = std::span<media::Sound> (*)(MediaCatalogue&);

struct CatalogueEntry {
  std::string_view name;
  std::variant<PictureSlots, SoundSlots> slots;
  std::vector<CatalogueFile> files;  // file n goes into element n - 1
};

// Every entry, in loading order.
const std::vector<CatalogueEntry>& catalogue_entries();

// Starts decoding every sound of the catalogue on threads of their own (media::PrefetchSound),
// so that the level music decodes while the pictures load; load_catalogue then takes them.
void prefetch_catalogue_sounds();

// Loads every entry, in its fixed order, into the program's catalogue, with the default image
// flags set to 11 first (they stay so for every picture loaded later). The saws, the thrown
// stone and the map's marker are drawn about their centre.
void load_catalogue();
