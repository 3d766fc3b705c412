// soak <game folder> [--level <1-18>] [--file <level.txt | map_n.dat>] [--minutes M]
//      [--stay sit|walk|both] [--leg F] [--report-every M]
//   stays in a level for M minutes of game time (default 480, eight hours; at least 2) sitting,
//   walking, or both one after the other (the default), and checks that nothing piles up: the
//   resident memory at the end within 5 % of its value after the first minute, and the object
//   list holding only the level's own objects, clouds, bullets in flight and stones thrown.
//   The level: the game folder's level with the most shooting flowers, or --level n; --file
//   plays that file instead, as level n (1 unless given) in a folder of its own beside the game
//   folder's data. --leg: frames each way of the walk (default 60). A progress line every
//   --report-every game-minutes (default 60).
// Status 0 when every stay passed, 1 when one did not, 2 for a wrong command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "level_files.h"
#include "play_folder.h"
#include "soak.h"
#include "tool_arguments.h"

namespace {

namespace fs = std::filesystem;

void usage() {
  std::fprintf(stderr,
               "usage: soak <game folder> [--level <1-18>] [--file <level.txt | map_n.dat>] "
               "[--minutes M] [--stay sit|walk|both] [--leg F] [--report-every M]\n");
}

std::optional<std::vector<soak::Stay>> stays_named(const std::string& name) {
  if (name == "sit") return std::vector{soak::Stay::sit};
  if (name == "walk") return std::vector{soak::Stay::walk};
  if (name == "both") return std::vector{soak::Stay::sit, soak::Stay::walk};
  return std::nullopt;
}

struct Plan {
  std::string game_folder;
  std::optional<int> level;
  std::optional<std::string> file;
  std::vector<soak::Stay> stays;
  soak::Options options;
};

std::optional<Plan> plan_of(const tools::Arguments& args) {
  if (args.positional.size() != 1) return std::nullopt;
  Plan plan;
  plan.game_folder = args.positional[0];
  plan.file = args.option("--file");
  if (const auto level = args.option("--level")) {
    plan.level = tools::level_number(*level);
    if (!plan.level) return std::nullopt;
  }
  const auto minutes = tools::whole_number(args.option("--minutes").value_or("480"));
  const auto leg = tools::whole_number(args.option("--leg").value_or("60"));
  const auto every = tools::whole_number(args.option("--report-every").value_or("60"));
  const auto stays = stays_named(args.option("--stay").value_or("both"));
  if (!minutes || *minutes < 2 || !leg || *leg < 2 || !every || *every < 1 || !stays) {
    return std::nullopt;
  }
  plan.stays = *stays;
  plan.options.frames = static_cast<long long>(*minutes) * soak::frames_per_minute;
  plan.options.leg = *leg;
  plan.options.report_every = static_cast<long long>(*every) * soak::frames_per_minute;
  plan.options.progress = &std::cout;
  return plan;
}

int soak_with(Plan plan) {
  if (!fs::is_directory(fs::path(plan.game_folder) / "data")) {
    std::fprintf(stderr, "soak: %s is not a game folder: it has no data folder\n",
                 plan.game_folder.c_str());
    return 1;
  }
  std::unique_ptr<routes::PlayFolder> folder;
  std::string where;
  if (plan.file) {
    plan.level = plan.level.value_or(1);
    folder = std::make_unique<routes::PlayFolder>(plan.game_folder, *plan.level,
                                                  levels::read_level(*plan.file));
    where = *plan.file;
  } else if (!plan.level) {
    plan.level = soak::level_with_most_flowers(fs::path(plan.game_folder) / "data" / "level");
    if (!plan.level) {
      std::fprintf(stderr, "soak: %s/data/level holds no level\n", plan.game_folder.c_str());
      return 1;
    }
    where = "the level with the most flowers";
  }
  const routes::WorkingDirectory inside(folder ? folder->path() : fs::path(plan.game_folder));
  std::printf("soak: level %d (%s)\n", *plan.level, where.empty() ? "as asked" : where.c_str());
  routes::GameStart start;
  bool passed = true;
  for (soak::Stay stay : plan.stays) {
    plan.options.stay = stay;
    std::printf("%s in level %d:\n", soak::stay_name(stay), *plan.level);
    std::fflush(stdout);
    const soak::Result result = soak::stay_in_level(start, *plan.level, plan.options);
    std::cout << soak::report(result) << std::flush;
    passed = passed && result.passed();
  }
  std::printf("soak: %s\n", passed ? "passed" : "FAILED");
  return passed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<tools::Arguments> args = tools::Arguments::read(
      argc, argv, {"--level", "--file", "--minutes", "--stay", "--leg", "--report-every"});
  const std::optional<Plan> plan = args ? plan_of(*args) : std::nullopt;
  if (!plan) {
    usage();
    return 2;
  }
  try {
    return soak_with(*plan);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "soak: %s\n", error.what());
    return 1;
  }
}
