// A level file from arbitrary bytes: the game builds it and plays 30 frames of whatever it
// built. A file that is too short must stop with the read error and nothing else; any level must
// play without a crash, its deaths and its exit included. Enter is pressed after every frame, so
// the screens a death or the exit brings up move on.
//
// The first byte says how the rest becomes the level file:
//   odd   the rest is the file as it is (short files, and long ones whose tail is never read);
//   even  each byte of the rest is one cell of a band 16 rows high, filled from the top left
//         column by column, as one of the codes that build something (or empty); the rest of
//         the level is empty. Small inputs make small, dense levels.

#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "level/cell_codes.h"
#include "level/records.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/media.h"
#include "shell/globals.h"
#include "support/catalogue_pictures.h"

namespace {

constexpr int level = 18;  // finishing it ends play, where another level would need its file
constexpr int play_frames = 30;
constexpr int band_rows = 16;
constexpr std::size_t file_size = 4 * level_columns * level_rows;

constexpr std::array<std::int32_t, 24> band_codes = {
    cell::empty,
    cell::hero_start,
    cell::coin,
    cell::pointer_sign,
    cell::death_zone,
    cell::level_exit,
    cell::bottom_line,
    cell::hedgehog,
    cell::large_saw,
    cell::small_saw,
    cell::shooting_flower,
    cell::first_ground,
    cell::first_ground + 1,
    cell::first_ground + 2,
    cell::last_ground,
    cell::first_tree,
    cell::first_tree + 1,
    cell::last_tree,
    cell::first_flowers,
    cell::last_flowers,
    cell::first_grass,
    cell::last_grass,
    cell::first_stone,
    cell::last_stone,
};

// The game reads its level from the working folder: each run works in a scratch folder of its
// own and goes back afterwards, where the fuzzer keeps its corpus.
class InProgramFolder {
 public:
  InProgramFolder() : previous_(std::filesystem::current_path()) {
    static const std::filesystem::path folder = make_folder();
    std::filesystem::current_path(folder);
  }
  ~InProgramFolder() { std::filesystem::current_path(previous_); }
  InProgramFolder(const InProgramFolder&) = delete;
  InProgramFolder& operator=(const InProgramFolder&) = delete;

 private:
  static std::filesystem::path make_folder() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("hedgerow-fuzz-level-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "data" / "level");
    return folder;
  }
  std::filesystem::path previous_;
};

std::vector<std::uint8_t> band_level(const std::uint8_t* cells, std::size_t count) {
  std::vector<std::uint8_t> file(file_size, 0);
  const std::size_t band_cells = static_cast<std::size_t>(level_columns) * band_rows;
  for (std::size_t i = 0; i < count && i < band_cells; ++i) {
    const auto code = static_cast<std::uint32_t>(band_codes[cells[i] % band_codes.size()]);
    const std::size_t at = 4 * (i / band_rows * level_rows + i % band_rows);
    for (int b = 0; b < 4; ++b) file[at + b] = static_cast<std::uint8_t>(code >> (8 * b));
  }
  return file;
}

void write_level_file(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file;
  if (size > 0 && data[0] % 2 == 1) {
    file.assign(data + 1, data + size);
  } else {
    file = band_level(data + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
  }
  std::ofstream out("data/level/map_" + std::to_string(level) + ".dat",
                    std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// Pressed and let go just after each frame, so a screen that waits after its last frame (a key
// wait, or polling for Enter on the final picture) gets it at once.
void press_enter_after_every_frame(media::HeadlessBackend& hb) {
  hb.set_frame_hook([&hb](int) {
    const std::int32_t now = hb.millisecs();
    hb.inject_at_time(now + 2, {media::InputEvent::Type::key_down, 13});
    hb.inject_at_time(now + 4, {media::InputEvent::Type::key_up, 13});
  });
}

// A fresh headless media layer for the run. The run lets go of everything it made before it
// returns: the pictures first, then the media layer they were made on (a new one takes its
// place). A run that keeps more than it frees is run a second time by the fuzzer, looking for a
// leak.
class FreshMedia {
 public:
  FreshMedia() : backend_(media::use_headless()) {}
  ~FreshMedia() {
    reset_globals();
    media::use_headless();
  }
  FreshMedia(const FreshMedia&) = delete;
  FreshMedia& operator=(const FreshMedia&) = delete;

  media::HeadlessBackend& backend() { return backend_; }

 private:
  media::HeadlessBackend& backend_;
};

}  // namespace

// A crash happens inside the scratch folder: its test case still goes where the fuzzer started.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<char*> args(*argv, *argv + *argc);
  static std::string prefix = "-artifact_prefix=" + std::filesystem::current_path().string() + "/";
  for (char* arg : args) {
    if (std::string(arg).rfind("-artifact_prefix=", 0) == 0) return 0;
  }
  args.push_back(prefix.data());
  args.push_back(nullptr);
  *argc += 1;
  *argv = args.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const InProgramFolder in_program_folder;
  write_level_file(data, size);

  FreshMedia media_layer;
  media::HeadlessBackend& hb = media_layer.backend();
  hb.set_rasterise(false);
  hb.set_draw_log(false);
  media::Graphics(1024, 768, 32, 60, 0);
  media::SetBlend(3);
  test_support::fill_catalogue_pictures();
  press_enter_after_every_frame(hb);

  TGame game;
  game._lang = "ENG";
  game._lives = 3;
  try {
    game.initialize_level(level);
  } catch (const media::FatalError&) {
    return 0;  // too short: the game stops here with the read error
  }
  // A screen that waited for input without a frame before it would starve here: a fault.
  for (int frame = 0; frame < play_frames && game.update() == 0; ++frame) {
    media::Flip(-1);
    media::Cls();
  }
  return 0;
}
