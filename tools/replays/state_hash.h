#pragma once
// A hash of the game in progress, for telling whether two runs reached the same state: the
// fields of the game record, the hero, every object of both lists in order with its kind and
// fields (a picture by the file it came from), and the music channel (there, and playing or
// not). The same state hashes the same on every build and back end.

#include <cstdint>
#include <optional>
#include <string>

#include "level/records.h"

namespace replays {

std::uint64_t state_hash(const TGame& game);

// "level 3 score 40 lives 3 hash 0123456789abcdef"
std::string state_line(const TGame& game);

// The lines a replayed or recorded run prints: "frame 1234 level 3 ..." when the game's level
// has changed since the last look (after each frame presented), and "end frame ... <how>".
class LevelWatch {
 public:
  std::optional<std::string> look(const TGame& game, int frames);
  static std::string end_line(const TGame& game, int frames, const std::string& how);

 private:
  int level_ = 0;
};

}  // namespace replays
