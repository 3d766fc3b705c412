#pragma once
// Tests over the built game folder (HEDGEROW_GAME_DIR): its files brought into a test's program
// folder, and the places on its pictures where a player would click.

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <utility>

#include "media/image.h"

namespace test_support {

// Links each of `parts` ("data/graphics", "fonts") of the built game folder into `folder` under
// the same relative path, making the folders above it.
void link_game_files(const std::filesystem::path& folder, std::initializer_list<const char*> parts);

// A point of `image`, drawn at (x, y), where the pointer's tip lands on a solid 6 x 6 block of
// the picture: a fair place for a player to click. None if the picture has no such block.
std::optional<std::pair<int, int>> solid_spot(const media::Image& image, int x, int y);

}  // namespace test_support
