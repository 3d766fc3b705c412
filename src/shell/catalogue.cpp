#include "shell/catalogue.h"

#include <string>

#include "shell/globals.h"
#include "shell/loading.h"

namespace {

using shell::slots;
using C = MediaCatalogue;

}  // namespace

const std::vector<CatalogueEntry>& catalogue_entries() {
  static const std::vector<CatalogueEntry> entries = {
      {"ground_images",
       slots<&C::ground_images>,
       {{"Data\\Graphics\\ground_1.png"},
        {"data\\graphics\\ground_2.png"},
        {"data\\graphics\\ground_3.png"},
        {"data\\graphics\\ground_4.png"}}},
      {"tree_images",
       slots<&C::tree_images>,
       {{"Data\\Graphics\\tree_1.png"},
        {"Data\\Graphics\\tree_2.png"},
        {"Data\\Graphics\\tree_3.png"}}},
      {"flowers_images",
       slots<&C::flowers_images>,
       {{"Data\\graphics\\flowers_1.png"}, {"Data\\graphics\\flowers_2.png"}}},
      {"grass_images",
       slots<&C::grass_images>,
       {{"Data\\graphics\\grass_1.png"}, {"Data\\graphics\\grass_2.png"}}},
      {"stone_images",
       slots<&C::stone_images>,
       {{"Data\\graphics\\stone_1.png"}, {"Data\\graphics\\stone_2.png"}}},
      {"saw_images",
       slots<&C::saw_images>,
       {{"data\\graphics\\saw_1.png"}, {"data\\graphics\\saw_2.png"}}},
      {"story_image", slots<&C::story_image>, {{"data\\graphics\\story.jpg"}}},
      {"stone_image", slots<&C::stone_image>, {{"data\\graphics\\stone.png"}}},
      {"flower_images",
       slots<&C::flower_images>,
       {{"data\\graphics\\flower_1.png"}, {"data\\graphics\\flower_2.png"}}},
      {"map_images",
       slots<&C::map_images>,
       {{"data\\graphics\\map.png"}, {"data\\graphics\\player_location.png"}}},
      {"tutorial_image", slots<&C::tutorial_image>, {{"data\\graphics\\tutorial.png"}}},
      {"death_image", slots<&C::death_image>, {{"data\\graphics\\death.jpg"}}},
      {"life_big_image", slots<&C::life_big_image>, {{"data\\graphics\\life_big.png"}}},
      {"theend_image", slots<&C::theend_image>, {{"data\\graphics\\theend.jpg"}}},
      {"hedgehog_right_images",
       slots<&C::hedgehog_right_images>,
       {{"data\\graphics\\hedgehog_right_1.png"},
        {"data\\graphics\\hedgehog_right_2.png"},
        {"data\\graphics\\hedgehog_right_3.png"},
        {"data\\graphics\\hedgehog_right_4.png"}}},
      {"hedgehog_left_images",
       slots<&C::hedgehog_left_images>,
       {{"data\\graphics\\hedgehog_left_1.png"},
        {"data\\graphics\\hedgehog_left_2.png"},
        {"data\\graphics\\hedgehog_left_3.png"},
        {"data\\graphics\\hedgehog_left_4.png"}}},
      {"sounds",
       slots<&C::sounds>,
       {{"Data\\Sound\\pick-up-coin.wav", 0},
        {"Data\\Sound\\jump.wav", 0},
        {"Data\\Sound\\world_1.ogg", 1}}},
      {"world_sound", slots<&C::world_sound>, {{"Data\\Sound\\world.wav", 1}}},
      {"shot_sound", slots<&C::shot_sound>, {{"data\\sound\\shot.wav", 0}}},
      {"throw_sound", slots<&C::throw_sound>, {{"data\\sound\\throw.wav", 0}}},
      {"bg_images",
       slots<&C::bg_images>,
       {{"data\\graphics\\bg_1.png"}, {"data\\graphics\\bg_2.png"}}},
      {"hero_stay_right_images",
       slots<&C::hero_stay_right_images>,
       {{"data\\graphics\\hero_stay_right_1.png"}, {"data\\graphics\\hero_stay_right_2.png"}}},
      {"hero_stay_left_images",
       slots<&C::hero_stay_left_images>,
       {{"data\\graphics\\hero_stay_left_1.png"}, {"data\\graphics\\hero_stay_left_2.png"}}},
      {"hero_move_right_images",
       slots<&C::hero_move_right_images>,
       {{"data\\graphics\\hero_move_right_1.png"},
        {"data\\graphics\\hero_move_right_2.png"},
        {"data\\graphics\\hero_move_right_3.png"},
        {"data\\graphics\\hero_move_right_4.png"}}},
      {"hero_jump_right_image",
       slots<&C::hero_jump_right_image>,
       {{"data\\graphics\\hero_jump_right.png"}}},
      {"hero_jump_left_image",
       slots<&C::hero_jump_left_image>,
       {{"data\\graphics\\hero_jump_left.png"}}},
      {"hero_fall_right_image",
       slots<&C::hero_fall_right_image>,
       {{"data\\graphics\\hero_fall_right.png"}}},
      {"hero_fall_left_image",
       slots<&C::hero_fall_left_image>,
       {{"data\\graphics\\hero_fall_left.png"}}},
      {"hero_move_left_images",
       slots<&C::hero_move_left_images>,
       {{"data\\graphics\\hero_move_left_1.png"},
        {"data\\graphics\\hero_move_left_2.png"},
        {"data\\graphics\\hero_move_left_3.png"},
        {"data\\graphics\\hero_move_left_4.png"}}},
      {"level_complete_image",
       slots<&C::level_complete_image>,
       {{"data\\graphics\\level_complete.png"}}},
      {"level_complete_eng_image",
       slots<&C::level_complete_eng_image>,
       {{"data\\graphics\\level_complete_eng.png"}}},
      {"coin_images",
       slots<&C::coin_images>,
       {{"data\\graphics\\coin_1.png"},
        {"data\\graphics\\coin_2.png"},
        {"data\\graphics\\coin_3.png"},
        {"data\\graphics\\coin_4.png"}}},
      {"life_images",
       slots<&C::life_images>,
       {{"data\\graphics\\lifebar.png"}, {"data\\graphics\\life.png"}}},
      {"pointer_image", slots<&C::pointer_image>, {{"data\\graphics\\pointer.png"}}},
      {"cloud_images",
       slots<&C::cloud_images>,
       {{"data\\graphics\\cloud_1.png"},
        {"data\\graphics\\cloud_2.png"},
        {"data\\graphics\\cloud_3.png"},
        {"data\\graphics\\cloud_4.png"},
        {"data\\graphics\\cloud_5.png"}}},
  };
  return entries;
}

namespace {

void load_into(media::Image& slot, const CatalogueFile& file) {
  slot = shell::load_picture(std::string(file.path));
}
void load_into(media::Sound& slot, const CatalogueFile& file) {
  slot = shell::load_sound(std::string(file.path), file.flags);
}

void load_entry(const CatalogueEntry& entry, MediaCatalogue& c) {
  std::visit(
      [&](auto slots_of) {
        const auto elements = slots_of(c);
        for (std::size_t i = 0; i < entry.files.size() && i < elements.size(); ++i) {
          load_into(elements[i], entry.files[i]);
        }
      },
      entry.slots);
}

struct CentredPicture {
  PictureSlots slots;
  std::size_t element;
};

// Their handles move once the first 14 entries are in, in this order.
constexpr std::size_t entries_before_centring = 14;
constexpr std::array<CentredPicture, 4> centred_pictures = {{{slots<&C::map_images>, 1},
                                                             {slots<&C::stone_image>, 0},
                                                             {slots<&C::saw_images>, 0},
                                                             {slots<&C::saw_images>, 1}}};

void centre_handles(MediaCatalogue& c) {
  for (const CentredPicture& picture : centred_pictures) {
    media::MidHandleImage(picture.slots(c)[picture.element]);
  }
}

}  // namespace

void prefetch_catalogue_sounds() {
  for (const CatalogueEntry& entry : catalogue_entries()) {
    if (!std::holds_alternative<SoundSlots>(entry.slots)) continue;
    for (const CatalogueFile& file : entry.files) media::PrefetchSound(std::string(file.path));
  }
}

void load_catalogue() {
  MediaCatalogue& c = catalogue();
  media::AutoImageFlags(11);
  const std::vector<CatalogueEntry>& entries = catalogue_entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == entries_before_centring) centre_handles(c);
    load_entry(entries[i], c);
  }
}
