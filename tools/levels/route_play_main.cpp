// route_play <game folder> <level 1-18> <route> [--level <level.txt | map_n.dat>] [--trace N]
//   plays the route through the game on level n of the game folder, or on the level file given
//   (played as level n in a folder of its own beside the game folder's data). With --trace, the
//   hero's position, speeds and animation every N frames and at the end.
// route_play <game folder> --all <levels folder>
//   plays map_<n>.route on the text map_<n>.txt for every level of the folder, each from the
//   moment just after one start-up of the game; a level without its route fails.
// Status 0 when the hero reaches the exit by the route's exit frame without losing a life (on
// every level), 1 when he does not, 2 for a wrong command line.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "level_files.h"
#include "play_folder.h"
#include "route_play.h"
#include "tool_arguments.h"

namespace {

namespace fs = std::filesystem;

void usage() {
  std::fprintf(stderr,
               "usage: route_play <game folder> <level 1-18> <route> "
               "[--level <level.txt | map_n.dat>] [--trace N]\n"
               "       route_play <game folder> --all <levels folder>\n");
}

void print_speed(double frames, double start_seconds, double play_seconds) {
  std::printf(
      "start-up %.3f s, %.0f frames of play in %.3f s (%.0f a second); all told %.0f times real "
      "time\n",
      start_seconds, frames, play_seconds, frames / play_seconds,
      frames / 60.0 / (start_seconds + play_seconds));
}

int play_one(const tools::Arguments& args) {
  const std::optional<int> level = tools::level_number(args.positional[1]);
  const std::optional<int> every = tools::whole_number(args.option("--trace").value_or("60"));
  if (!level || !every || *every < 1) {
    usage();
    return 2;
  }
  const routes::Route route = routes::read_route(args.positional[2]);
  std::unique_ptr<routes::PlayFolder> folder;
  if (const auto file = args.option("--level")) {
    folder =
        std::make_unique<routes::PlayFolder>(args.positional[0], *level, levels::read_level(*file));
  }
  const routes::WorkingDirectory inside(folder ? folder->path() : fs::path(args.positional[0]));
  routes::Trace trace;
  if (args.option("--trace")) trace = {&std::cout, *every};
  const routes::RouteResult result = routes::play_route(*level, route, trace);
  std::printf("%s: %s\n", args.positional[2].c_str(), result.summary().c_str());
  print_speed(result.frame + 1, result.start_seconds, result.play_seconds);
  return result.passed() ? 0 : 1;
}

// One start-up of the game for every level: each route begins from the moment just after it.
int play_all(const std::string& game_folder, const fs::path& levels_folder) {
  const std::map<int, fs::path> texts = routes::level_texts(fs::absolute(levels_folder));
  const routes::PlayFolder folder(game_folder);
  for (const auto& [n, text] : texts) folder.put_level(n, levels::read_level(text.string()));
  const routes::WorkingDirectory inside(folder.path());
  const auto start = std::chrono::steady_clock::now();
  routes::GameStart game;
  double start_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int failed = 0;
  double frames = 0, play_seconds = 0;
  for (const auto& [n, text] : texts) {
    const fs::path route_path = fs::path(text).replace_extension(".route");
    const std::string name = route_path.filename().string();
    if (!fs::exists(route_path)) {
      std::printf("%s: no route for %s\n", name.c_str(), text.filename().string().c_str());
      ++failed;
      continue;
    }
    const routes::RouteResult result =
        routes::play_route(game, n, routes::read_route(route_path.string()));
    std::printf("%s: %s\n", name.c_str(), result.summary().c_str());
    if (!result.passed()) ++failed;
    frames += result.frame + 1;
    play_seconds += result.play_seconds;
    start_seconds += result.start_seconds;
  }
  if (frames > 0) print_speed(frames, start_seconds, play_seconds);
  return failed == 0 && !texts.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<tools::Arguments> args =
      tools::Arguments::read(argc, argv, {"--level", "--trace", "--all"});
  if (!args) {
    usage();
    return 2;
  }
  try {
    if (const auto all = args->option("--all")) {
      if (args->positional.size() != 1 || args->options.size() != 1) {
        usage();
        return 2;
      }
      return play_all(args->positional[0], *all);
    }
    if (args->positional.size() != 3) {
      usage();
      return 2;
    }
    return play_one(*args);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "route_play: %s\n", error.what());
    return 1;
  }
}
