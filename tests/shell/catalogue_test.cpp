// The catalogue's table and its load: every field filled from its own files, the default flags,
// the centred pictures, the looping sounds, and files that cannot be loaded.

#include "shell/catalogue.h"

#include <filesystem>
#include <set>
#include <string>

#include "media/detail/sound_internal.h"
#include "media/display.h"
#include "shell/globals.h"
#include "support/game_files.h"
#include "support/headless_test.h"

namespace {

std::size_t element_count(const CatalogueEntry& entry) {
  return std::visit([](auto slots_of) { return slots_of(catalogue()).size(); }, entry.slots);
}

bool is_centred(std::string_view entry, std::size_t element) {
  return (entry == "map_images" && element == 1) || entry == "stone_image" || entry == "saw_images";
}

using CatalogueTest = GameTest;

TEST_F(CatalogueTest, TheTableFillsEveryFieldOnceWithOneFilePerElement) {
  const std::vector<CatalogueEntry>& entries = catalogue_entries();
  EXPECT_EQ(entries.size(), 35u);
  std::set<const void*> slots;
  std::set<std::string_view> paths;
  std::size_t elements = 0;
  for (const CatalogueEntry& entry : entries) {
    SCOPED_TRACE(std::string(entry.name));
    EXPECT_EQ(entry.files.size(), element_count(entry));
    std::visit(
        [&](auto slots_of) {
          for (auto& slot : slots_of(catalogue())) EXPECT_TRUE(slots.insert(&slot).second);
        },
        entry.slots);
    for (const CatalogueFile& file : entry.files) EXPECT_TRUE(paths.insert(file.path).second);
    elements += element_count(entry);
  }
  // Pictures and sounds are handles of one size: a field the table forgot leaves a gap.
  EXPECT_EQ(elements * sizeof(media::Image), sizeof(MediaCatalogue));
  static_assert(sizeof(media::Image) == sizeof(media::Sound));
}

TEST_F(CatalogueTest, PicturesLoadWithFlags11AndWhiteAndOnlyFourAreCentred) {
  test_support::write_catalogue_files(scratch);
  media::SetMaskColor(255, 255, 255);  // as the menu's loads leave it
  load_catalogue();
  int picture = 0;
  for (const CatalogueEntry& entry : catalogue_entries()) {
    if (!std::holds_alternative<PictureSlots>(entry.slots)) continue;
    const std::span<media::Image> images = std::get<PictureSlots>(entry.slots)(catalogue());
    for (std::size_t i = 0; i < images.size(); ++i) {
      SCOPED_TRACE(std::string(entry.name) + " " + std::to_string(i));
      const media::Image& image = images[i];
      ASSERT_TRUE(image);
      const int width = test_support::catalogue_picture_width(picture++);
      EXPECT_EQ(media::ImageWidth(image), width) << "another entry's file";
      EXPECT_EQ(image->flags, 11);
      EXPECT_EQ(image->mask_r + image->mask_g + image->mask_b, 3 * 255);
      const bool centred = is_centred(entry.name, i);
      EXPECT_FLOAT_EQ(image->handle_x, centred ? width * 0.5f : 0.0f);
      EXPECT_FLOAT_EQ(image->handle_y, centred ? 3.0f : 0.0f);
    }
  }
}

TEST_F(CatalogueTest, OnlyTheLevelMusicAndTheUnusedTuneLoop) {
  test_support::write_catalogue_files(scratch);
  load_catalogue();
  const MediaCatalogue& c = catalogue();
  struct Played {
    const char* name;
    const media::Sound& sound;
    bool loops;
  };
  const Played sounds[] = {{"coin", c.sounds[0], false},  {"jump", c.sounds[1], false},
                           {"music", c.sounds[2], true},  {"world", c.world_sound, true},
                           {"shot", c.shot_sound, false}, {"throw", c.throw_sound, false}};
  for (const Played& s : sounds) {
    const media::Channel channel = media::PlaySound(s.sound);
    hb.set_clock(hb.millisecs() + 2500);  // past the end of every file
    EXPECT_EQ(media::ChannelPlaying(channel), s.loops ? 1 : 0) << s.name;
  }
}

TEST_F(CatalogueTest, AFileThatCannotBeLoadedIsNamedOnceAndPlaysDrawsAndHitsNothing) {
  test_support::write_catalogue_files(scratch);
  scratch.write("data/graphics/stone.png", std::string("not a picture"));
  std::filesystem::remove("data/sound/jump.wav");
  testing::internal::CaptureStderr();
  load_catalogue();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said,
            "Hedgerow: cannot load data\\graphics\\stone.png; the game goes on without it\n"
            "Hedgerow: cannot load Data\\Sound\\jump.wav; the game goes on without it\n");

  const MediaCatalogue& c = catalogue();
  EXPECT_FALSE(c.stone_image);
  EXPECT_FALSE(c.sounds[1]);
  EXPECT_TRUE(c.sounds[2]) << "loading stopped at the missing file";
  media::Graphics(1024, 768, 32, 60, 0);
  media::DrawImage(c.stone_image, 100, 100);
  EXPECT_TRUE(hb.draws_since_present().empty());
  EXPECT_EQ(media::ImagesCollide(c.stone_image, 100, 100, 0, c.ground_images[0], 100, 100, 0), 0);
  EXPECT_EQ(media::ImagesCollide(c.ground_images[0], 100, 100, 0, c.stone_image, 100, 100, 0), 0);
  EXPECT_EQ(media::ChannelPlaying(media::PlaySound(c.sounds[1])), 0);
}

TEST_F(CatalogueTest, SoundsPrefetchedAtStartUpAreTakenByTheLoadWithTheSameOutcome) {
  test_support::write_catalogue_files(scratch);
  std::filesystem::remove("data/sound/jump.wav");
  prefetch_catalogue_sounds();
  EXPECT_EQ(media::detail::prefetched_sound_count(), 6);
  testing::internal::CaptureStderr();
  load_catalogue();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Hedgerow: cannot load Data\\Sound\\jump.wav; the game goes on without it\n");
  EXPECT_EQ(media::detail::prefetched_sound_count(), 0);
  const MediaCatalogue& c = catalogue();
  EXPECT_FALSE(c.sounds[1]);
  for (const media::Sound& s :
       {c.sounds[0], c.sounds[2], c.world_sound, c.shot_sound, c.throw_sound}) {
    EXPECT_TRUE(s);
  }
}

}  // namespace
