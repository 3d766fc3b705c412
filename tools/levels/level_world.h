#pragma once
// The world the game builds from a level's cells, built with the game's own level code, for the
// tools that look a level over: every record where the game puts it, the hero, the bottom line
// and the line below which a falling hero dies. Needs a media back end (media::use_headless());
// the records' pictures come from the program's catalogue, loaded or not.

#include <memory>

#include "level/records.h"
#include "level_text.h"

namespace levels {

std::unique_ptr<TGame> built_world(const Grid& grid);

// How far below the lowest-wall line a falling hero goes before he loses a life.
constexpr float fall_margin = 100.0f;
inline float fall_line(const TGame& world) {
  return world._max_cam_y + fall_margin;
}

}  // namespace levels
