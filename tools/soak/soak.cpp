#include "soak.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>

#include "level/cell_codes.h"
#include "level/records.h"
#include "level_files.h"

namespace soak {

namespace {

namespace fs = std::filesystem;

// AddressSanitizer holds freed memory back for a while before it reuses it, so the resident
// memory of a build with it grows with every allocation whether anything leaks or not.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool memory_held_back = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool memory_held_back = true;
#else
constexpr bool memory_held_back = false;
#endif
#else
constexpr bool memory_held_back = false;
#endif

// A cloud comes about once in 61 frames, 700 pixels left of the hero, drifts right at 1 to 3
// pixels a frame and goes 1000 pixels right of him.
constexpr double frames_between_clouds = 61;
constexpr float cloud_start_behind_hero = 700, cloud_end_ahead_of_hero = 1000;
// A flower shoots once in more than 3000 ms, that is every 181 frames at the least; its bullet
// flies left at 6 pixels a frame and is gone at the latest a screen's width beyond the world's
// left edge.
constexpr int frames_between_shots = 181;
constexpr int farthest_bullet_flight = level_columns * cell_size + 1024;
constexpr int bullet_speed = 6;
// A stone falls ever faster: within 600 frames of its throw it has fallen below any level.
constexpr int frames_a_stone_flies = 600;

routes::KeySet walk_keys(long long frame, int leg) {
  const long long in_leg = frame % leg;
  routes::KeySet keys{(frame / leg) % 2 == 0 ? routes::Key::right : routes::Key::left};
  if (in_leg == 0) keys.set(routes::Key::up, true);
  if (in_leg == leg / 2) keys.set(routes::Key::space, true);
  return keys;
}

int count_flowers(const TList& objects) {
  int flowers = 0;
  objects.each_object([&](const TObject& object) {
    if (object.kind() == ObjectKind::flower) ++flowers;
  });
  return flowers;
}

std::string megabytes(long long bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// "8:00 h" of game time.
std::string game_time(long long frames) {
  const long long minutes = frames / frames_per_minute;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld h", minutes / 60, minutes % 60);
  return text;
}

std::string stop_reason(routes::Outcome outcome, long long frame, const routes::HeroState& hero) {
  const std::string when = " in frame " + std::to_string(frame) + " at " + routes::describe(hero);
  switch (outcome) {
    case routes::Outcome::died:
      return "the hero lost a life" + when;
    case routes::Outcome::reached_exit:
      return "the hero reached the exit" + when;
    case routes::Outcome::left_play:
      return "play was left" + when;
    case routes::Outcome::playing:
      break;
  }
  return {};
}

void progress_line(const Options& options, long long frames, const Census& census,
                   const Result& result) {
  *options.progress << "  " << game_time(frames) << ": resident " << megabytes(resident_bytes())
                    << ", " << describe(census) << ", hero x " << result.hero_from << " to "
                    << result.hero_to << std::endl;
}

}  // namespace

const char* stay_name(Stay stay) {
  return stay == Stay::sit ? "sitting" : "walking";
}

Census Census::most(const Census& other) const {
  return {std::max(placed, other.placed), std::max(clouds, other.clouds),
          std::max(bullets, other.bullets), std::max(stones, other.stones)};
}

Census take_census(const TList& objects) {
  Census census;
  objects.each_object([&](const TObject& object) {
    switch (object.kind()) {
      case ObjectKind::cloud:
        ++census.clouds;
        break;
      case ObjectKind::bullet:
        ++census.bullets;
        break;
      case ObjectKind::stone:
        ++census.stones;
        break;
      default:
        ++census.placed;
    }
  });
  return census;
}

std::string describe(const Census& c) {
  return std::to_string(c.total()) + " objects: " + std::to_string(c.placed) + " placed, " +
         std::to_string(c.clouds) + " clouds, " + std::to_string(c.bullets) + " bullets, " +
         std::to_string(c.stones) + " stones";
}

long long resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  long long size = 0, resident = 0;
  if (!(statm >> size >> resident)) return 0;
  return resident * ::sysconf(_SC_PAGESIZE);
}

std::optional<int> level_with_most_flowers(const fs::path& level_folder) {
  static const std::regex name("map_([1-9][0-9]?)\\.dat", std::regex::icase);
  std::optional<int> best;
  long best_flowers = -1;
  for (const fs::directory_entry& entry : fs::directory_iterator(level_folder)) {
    std::smatch match;
    const std::string file = entry.path().filename().string();
    if (!std::regex_match(file, match, name)) continue;
    const int level = std::stoi(match[1]);
    if (level > 18) continue;
    const levels::Grid grid = levels::read_level_file(entry.path().string());
    const long flowers = std::count(grid.codes().begin(), grid.codes().end(),
                                    static_cast<std::int32_t>(cell::shooting_flower));
    if (flowers > best_flowers || (flowers == best_flowers && level < *best)) {
      best = level;
      best_flowers = flowers;
    }
  }
  return best;
}

Limits passing_limits(int flowers, float hero_from, float hero_to, int frames_between_throws) {
  // A cloud lives longest when it comes while the hero is farthest left and must pass him where
  // he is farthest right, at 1 pixel a frame: allowed twice the number that come in that time,
  // and ten more.
  const double cloud_life =
      cloud_start_behind_hero + cloud_end_ahead_of_hero + static_cast<double>(hero_to - hero_from);
  Limits limits;
  limits.clouds = static_cast<int>(2 * cloud_life / frames_between_clouds) + 10;
  limits.bullets = flowers * (farthest_bullet_flight / bullet_speed / frames_between_shots + 1);
  if (frames_between_throws > 0) limits.stones = frames_a_stone_flies / frames_between_throws + 1;
  return limits;
}

std::vector<std::string> Result::faults() const {
  std::vector<std::string> faults;
  if (!stopped.empty()) faults.push_back("play stopped early: " + stopped);
  if (most.placed > own.placed) {
    faults.push_back("the level's own objects grew from " + std::to_string(own.placed) + " to " +
                     std::to_string(most.placed));
  }
  auto over = [&](const char* what, int seen, int limit) {
    if (seen > limit) {
      faults.push_back(std::string(what) + ": " + std::to_string(seen) + " at once, more than " +
                       std::to_string(limit));
    }
  };
  over("clouds", most.clouds, limits.clouds);
  over("bullets", most.bullets, limits.bullets);
  over("stones", most.stones, limits.stones);
  if (memory_judged && memory_after_first_minute > 0) {
    const double growth = static_cast<double>(memory_at_end - memory_after_first_minute) /
                          static_cast<double>(memory_after_first_minute);
    if (growth > memory_growth_allowed) {
      faults.push_back("resident memory grew from " + megabytes(memory_after_first_minute) +
                       " after the first minute to " + megabytes(memory_at_end) + " at the end");
    }
  }
  if (memory_judged && memory_at_end == 0) faults.push_back("resident memory cannot be read");
  return faults;
}

Result stay_in_level(routes::GameStart& start, int level, const Options& options) {
  routes::LevelSession session(start, level);
  Result result;
  result.stay = options.stay;
  result.memory_judged = !memory_held_back;
  const TGame& game = session.game();
  result.own = take_census(*game._object_list);
  result.own.clouds = 0;  // the first ten come and go like any other
  result.flowers = count_flowers(*game._object_list);
  result.hero_from = result.hero_to = game._player->_x;
  const int leg = std::max(options.leg, 1);
  const auto began = std::chrono::steady_clock::now();
  for (long long f = 0; f < options.frames; ++f) {
    const routes::Outcome outcome =
        session.frame(options.stay == Stay::walk ? walk_keys(f, leg) : routes::KeySet{});
    if (outcome != routes::Outcome::playing) {
      result.stopped = stop_reason(outcome, f, session.hero());
      break;
    }
    result.frames = f + 1;
    result.hero_from = std::min(result.hero_from, game._player->_x);
    result.hero_to = std::max(result.hero_to, game._player->_x);
    if (result.frames % 60 == 0) result.most = result.most.most(take_census(*game._object_list));
    if (result.frames == frames_per_minute) result.memory_after_first_minute = resident_bytes();
    if (options.progress && options.report_every > 0 && result.frames % options.report_every == 0) {
      progress_line(options, result.frames, take_census(*game._object_list), result);
    }
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  result.memory_at_end = resident_bytes();
  result.at_end = take_census(*game._object_list);
  result.most = result.most.most(result.at_end);
  result.limits = passing_limits(result.flowers, result.hero_from, result.hero_to,
                                 options.stay == Stay::walk ? leg : 0);
  return result;
}

std::string report(const Result& r) {
  char pace[128];
  std::snprintf(pace, sizeof pace,
                "%lld frames (%s of game time) in %.1f s of wall time, %.0f a second", r.frames,
                game_time(r.frames).c_str(), r.seconds,
                r.seconds > 0 ? static_cast<double>(r.frames) / r.seconds : 0.0);
  std::string text = std::string(stay_name(r.stay)) + ": " + pace;
  text += "\n  resident memory " + megabytes(r.memory_after_first_minute) +
          " after the first minute, " + megabytes(r.memory_at_end) + " at the end";
  if (r.memory_after_first_minute > 0) {
    char growth[48];
    std::snprintf(growth, sizeof growth, " (%+.2f %%)",
                  100.0 * static_cast<double>(r.memory_at_end - r.memory_after_first_minute) /
                      static_cast<double>(r.memory_after_first_minute));
    text += growth;
  }
  if (!r.memory_judged) text += ", not judged: this build holds freed memory back";
  text += "\n  the level's own objects: " + std::to_string(r.own.placed) + ", " +
          std::to_string(r.flowers) + " flowers among them\n  at the end " + describe(r.at_end) +
          "\n  the most at once: " + std::to_string(r.most.placed) + " placed, " +
          std::to_string(r.most.clouds) + " clouds (limit " + std::to_string(r.limits.clouds) +
          "), " + std::to_string(r.most.bullets) + " bullets (limit " +
          std::to_string(r.limits.bullets) + "), " + std::to_string(r.most.stones) +
          " stones (limit " + std::to_string(r.limits.stones) + ")\n";
  char hero[96];
  std::snprintf(hero, sizeof hero, "  the hero's x from %.2f to %.2f\n",
                static_cast<double>(r.hero_from), static_cast<double>(r.hero_to));
  text += hero;
  for (const std::string& fault : r.faults()) text += "  FAULT: " + fault + "\n";
  return text;
}

}  // namespace soak
