// level_overview <game folder> <level.txt | map_n.dat> <overview.png> [shrink]: the whole
// level on one picture, drawn with the game folder's pictures, `shrink` world pixels to a pixel
// (default 4), with death zones, exits, the hero's start and the bottom line marked.
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "level_files.h"
#include "media/headless.h"
#include "media/media.h"
#include "media/text.h"
#include "overview.h"
#include "shell/catalogue.h"

namespace {

namespace fs = std::filesystem;

// The game's catalogue and font, loaded as the game loads them: by the game's own paths, with
// the game folder as the working directory.
media::Font load_game_media(const fs::path& game_folder) {
  std::error_code error;
  fs::current_path(game_folder, error);
  if (error) {
    throw std::runtime_error("cannot enter the game folder " + game_folder.string() + ": " +
                             error.message());
  }
  load_catalogue();
  return media::LoadImageFont("Fonts\\Arial.ttf", 13, media::font_smooth);
}

// 0 for anything but a whole number, which the drawing then refuses.
int shrink_argument(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr,
                 "usage: level_overview <game folder> <level.txt | map_n.dat> <overview.png> "
                 "[shrink 1-16, default 4]\n");
    return 2;
  }
  try {
    const int shrink = argc == 5 ? shrink_argument(argv[4]) : 4;
    const levels::Grid grid = levels::read_level(argv[2]);
    const fs::path out = fs::absolute(argv[3]);
    media::HeadlessBackend& hb = media::use_headless();
    const media::Font font = load_game_media(argv[1]);
    levels::draw_overview(grid, fs::path(argv[2]).filename().string(), shrink, font);
    if (!hb.save_png(out.string())) {
      std::fprintf(stderr, "level_overview: cannot write %s\n", argv[3]);
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "level_overview: %s\n", error.what());
    return 1;
  }
  return 0;
}
