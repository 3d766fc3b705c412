#pragma once
// A long stay in one level, played through the game headless (neither pixels nor draw log) as
// the main loop plays it, to show that nothing piles up over hours of play: the process's
// resident memory at the end is within 5 % of what it was after the first game-minute, and the
// object list holds nothing but the level's own objects (which only ever go), the clouds, the
// bullets in flight and the stones thrown, each kind no more than its way of coming and going
// allows.
//
// Two ways to stay: sitting where the hero starts, with no key pressed; and walking, right for a
// leg, then left for one, and so on (from rest the legs come back to where they began), jumping
// as each leg starts and throwing a stone halfway through it. A life lost ends the stay: the
// level must let the hero stand and walk there.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "level/object_list.h"
#include "level_session.h"

namespace soak {

enum class Stay { sit, walk };
const char* stay_name(Stay stay);  // "sitting", "walking"

// What the object list holds, by the way each thing came into it.
struct Census {
  int placed = 0;  // by the level file: everything but clouds, bullets and stones
  int clouds = 0;
  int bullets = 0;
  int stones = 0;
  int total() const { return placed + clouds + bullets + stones; }
  // The larger of each count.
  Census most(const Census& other) const;
};
Census take_census(const TList& objects);
// "84 objects: 57 placed, 26 clouds, 1 bullets, 0 stones"
std::string describe(const Census& census);

// The process's resident memory in bytes; 0 where it cannot be read.
long long resident_bytes();

// The level of `level_folder` (files map_<n>.dat, n from 1 to 18) with the most shooting
// flowers, the lowest number among equals; none when the folder holds no level.
std::optional<int> level_with_most_flowers(const std::filesystem::path& level_folder);

constexpr int frames_per_minute = 60 * 60;

struct Options {
  Stay stay = Stay::sit;
  long long frames = 8LL * 60 * frames_per_minute;  // eight hours of game time
  int leg = 60;                                     // frames of each leg of the walk
  // A progress line every so many frames (none when 0 or without a stream).
  long long report_every = 60LL * frames_per_minute;
  std::ostream* progress = nullptr;
};

// How many of each passing kind the list may hold at once, from how they come and go.
struct Limits {
  int clouds = 0;
  int bullets = 0;
  int stones = 0;
};
// `flowers` of the level, the hero's x over the stay from `hero_from` to `hero_to`, and the
// stones thrown at most once every `frames_between_throws` frames (0: none thrown).
Limits passing_limits(int flowers, float hero_from, float hero_to, int frames_between_throws);

struct Result {
  Stay stay = Stay::sit;
  long long frames = 0;  // frames played
  Census own;            // the level's own objects, as it was built
  int flowers = 0;       // among them
  Census most;           // the most of each kind seen at once
  Census at_end;
  Limits limits;
  long long memory_after_first_minute = 0;  // bytes; 0 when the stay was shorter
  long long memory_at_end = 0;
  bool memory_judged = true;         // false where freed memory is held back (AddressSanitizer)
  float hero_from = 0, hero_to = 0;  // the hero's x, least and most
  double seconds = 0;                // wall time of the frames
  std::string stopped;               // why play stopped before the end; empty when it did not

  // One line for each thing that went wrong; none when the stay passed.
  std::vector<std::string> faults() const;
  bool passed() const { return faults().empty(); }
};

// Growth of the resident memory beyond this share of its first-minute value fails the stay.
constexpr double memory_growth_allowed = 0.05;

// Plays `level` from `start` (in the working directory it was started in) as `options` say.
Result stay_in_level(routes::GameStart& start, int level, const Options& options);

// The figures of a stay, several lines, each ending in '\n'.
std::string report(const Result& result);

}  // namespace soak
