// route_search <game folder> <level 1-18> <level.txt | map_n.dat> <out.route>
//              [--via column,row]... [--beam N] [--step frames] [--max-frames N] [--patience N]
//              [--after start.route]
// looks for a route through the level, played as level n beside the game folder's data, and
// writes it once it has been played again from a fresh start. With --after it first plays the keys
// of a route already written, to its last line's frame, and searches on from where that leaves the
// hero; the route written holds both. Progress goes to standard error.
// Status 0 with a route written, 1 without one, 2 for a wrong command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "level_files.h"
#include "play_folder.h"
#include "route_search.h"
#include "tool_arguments.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: route_search <game folder> <level 1-18> <level.txt | map_n.dat> "
               "<out.route> [--via column,row]... [--beam N] [--step frames] [--max-frames N] "
               "[--patience frames] [--after start.route]\n");
}

std::optional<routes::Waypoint> waypoint(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto column = tools::whole_number(std::string_view(text).substr(0, comma));
  const auto row = tools::whole_number(std::string_view(text).substr(comma + 1));
  if (!column || !row || *column < 0 || *column >= levels::columns || *row < 0 ||
      *row >= levels::rows)
    return std::nullopt;
  return routes::Waypoint{*column, *row};
}

// A positive whole number from the option, or its default.
bool read_count(const tools::Arguments& args, const char* name, int& value) {
  const auto text = args.option(name);
  if (!text) return true;
  const auto n = tools::whole_number(*text);
  if (!n || *n < 1) return false;
  value = *n;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = tools::Arguments::read(
      argc, argv, {"--via", "--beam", "--step", "--max-frames", "--patience", "--after"});
  if (!args || args->positional.size() != 4) {
    usage();
    return 2;
  }
  const auto level = tools::level_number(args->positional[1]);
  routes::SearchOptions options;
  options.progress = &std::cerr;
  bool good = level && read_count(*args, "--beam", options.beam) &&
              read_count(*args, "--step", options.step) &&
              read_count(*args, "--max-frames", options.max_frames) &&
              read_count(*args, "--patience", options.patience);
  for (const std::string& via : args->all("--via")) {
    const auto w = waypoint(via);
    good = good && w.has_value();
    if (w) options.via.push_back(*w);
  }
  if (!good) {
    usage();
    return 2;
  }
  try {
    const std::string level_path = args->positional[2];
    const std::string out = std::filesystem::absolute(args->positional[3]).string();
    const levels::Grid grid = levels::read_level(level_path);
    if (const auto after = args->option("--after"))
      options.lead = routes::read_route(*after).held_by_frame();
    const routes::PlayFolder folder(args->positional[0], *level, grid);
    const routes::WorkingDirectory inside(folder.path());
    const routes::SearchResult result = routes::search_route(*level, grid, options);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", result.seconds);
    const std::string effort =
        std::to_string(result.frames_played) + " frames played in " + seconds + " s";
    if (!result.found) {
      std::printf("no route: %s (%s); nearest to the exit in frame %d, the hero at %s\n",
                  result.reason.c_str(), effort.c_str(), result.closest_frame,
                  routes::describe(result.closest).c_str());
      return 1;
    }
    const routes::Route route = routes::route_of(result.held);
    const std::string comment =
        std::filesystem::path(level_path).filename().string() + " as level " +
        std::to_string(*level) + ": found by route_search (beam " + std::to_string(options.beam) +
        ", moves of " + std::to_string(options.step) + " frames; " + effort +
        ")\nand played again from a fresh start: the hero reaches the exit in frame " +
        std::to_string(route.exit_frame) + ".";
    const std::string text = routes::route_text(route, comment);
    levels::write_whole_file(out, text);
    std::printf("%s: reaches the exit in frame %d (%s)\n", out.c_str(), route.exit_frame,
                effort.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "route_search: %s\n", error.what());
    return 1;
  }
}
