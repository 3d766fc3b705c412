// replay_make <game folder> <levels folder> <replay> [--check yes]
//   plays the whole game through on the headless back end (the menu's start item, Enter at every
//   screen, each level by its route map_<n>.route, the final picture, the exit item), on the
//   folder's map_<n>.txt, and writes what it took in as a replay. With --check yes, the replay
//   already there must be the one made now (status 1 when it is stale).
// Status 0 when done, 1 when a route fails or the replay is stale, 2 for a wrong command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "level_files.h"
#include "play_folder.h"
#include "route.h"
#include "tool_arguments.h"
#include "whole_game.h"

namespace {

namespace fs = std::filesystem;

constexpr int last_level = 18;

void usage() {
  std::fprintf(stderr, "usage: replay_make <game folder> <levels folder> <replay> [--check yes]\n");
}

const char* comment =
    "The whole game, made by replay_make from the levels and their routes: the menu's start\n"
    "item, Enter at every screen, each level by its route, the final picture, the exit item.\n"
    "Made again by: cmake --build build --target whole_game_replay";

std::string made_replay(const std::string& game, const fs::path& levels) {
  const routes::PlayFolder folder(game);
  std::map<int, routes::Route> by_level;
  const std::map<int, fs::path> texts = routes::level_texts(levels);
  for (int n = 1; n <= last_level; ++n) {
    const auto text = texts.find(n);
    if (text == texts.end()) throw std::runtime_error("no map_" + std::to_string(n) + ".txt");
    folder.put_level(n, levels::read_level(text->second.string()));
    by_level[n] = routes::read_route(fs::path(text->second).replace_extension(".route").string());
  }
  const routes::WorkingDirectory inside(folder.path());
  return replays::whole_game_replay(by_level, comment);
}

std::optional<std::string> file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<tools::Arguments> args = tools::Arguments::read(argc, argv, {"--check"});
  if (!args || args->positional.size() != 3 || args->option("--check").value_or("yes") != "yes") {
    usage();
    return 2;
  }
  try {
    const std::string& out = args->positional[2];
    const std::string text = made_replay(args->positional[0], fs::absolute(args->positional[1]));
    if (args->option("--check")) {
      if (file_text(out) == text) return 0;
      std::fprintf(stderr,
                   "replay_make: %s is stale: the levels and routes make another replay now "
                   "(cmake --build build --target whole_game_replay makes it again)\n",
                   out.c_str());
      return 1;
    }
    std::ofstream file(out, std::ios::binary);
    file << text;
    if (!file.flush()) throw std::runtime_error(out + ": cannot be written");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "replay_make: %s\n", error.what());
    return 1;
  }
}
