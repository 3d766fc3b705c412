#include "support/game_folder.h"

namespace test_support {

void link_game_files(const std::filesystem::path& folder,
                     std::initializer_list<const char*> parts) {
  for (const char* part : parts) {
    const std::filesystem::path link = folder / part;
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_directory_symlink(std::filesystem::path(HEDGEROW_GAME_DIR) / part,
                                              link);
  }
}

std::optional<std::pair<int, int>> solid_spot(const media::Image& image, int x, int y) {
  const media::TPixmap& p = image->pixmaps.at(0);
  for (int row = p.height / 3; row + 6 < p.height; ++row) {
    for (int column = 0; column + 6 < p.width; ++column) {
      bool solid = true;
      for (int dy = 0; dy < 6 && solid; ++dy) {
        for (int dx = 0; dx < 6 && solid; ++dx) solid = p.rgba(column + dx, row + dy).a == 255;
      }
      if (solid) return std::make_pair(x + column, y + row);
    }
  }
  return std::nullopt;
}

}  // namespace test_support
