// The routes of the shipped levels (assets/levels/map_<n>.route on map_<n>.txt) played through the
// game headless, with neither pixels nor a draw log, in the built game folder:
//
//   BM_ShippedRoutes   one start-up of the game, then every route from the moment after it.
//                      x_real_time: the play time of all the routes over the time taken, start-up
//                      included (goal: at least 100); play_frames_per_s: the frames of play alone.
//   BM_SearchDemoLevel a route for map_1.txt found by the search (frames played a second).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "level_files.h"
#include "play_folder.h"
#include "route_play.h"
#include "route_search.h"

namespace {

namespace fs = std::filesystem;

const fs::path levels_folder = fs::path(HEDGEROW_SOURCE_DIR) / "assets" / "levels";

bool have_game_data(benchmark::State& state) {
  if (fs::is_directory(fs::path(HEDGEROW_GAME_DIR) / "data" / "graphics")) return true;
  state.SkipWithError("no game data in " HEDGEROW_GAME_DIR " (build the game_data target)");
  return false;
}

// The shipped levels that have a route, by number.
std::map<int, routes::Route> shipped_routes(const routes::PlayFolder& folder) {
  std::map<int, routes::Route> found;
  for (int n = 1; n <= 18; ++n) {
    const fs::path text = levels_folder / ("map_" + std::to_string(n) + ".txt");
    const fs::path route = levels_folder / ("map_" + std::to_string(n) + ".route");
    if (!fs::exists(text) || !fs::exists(route)) continue;
    folder.put_level(n, levels::read_level(text.string()));
    found.emplace(n, routes::read_route(route.string()));
  }
  return found;
}

void BM_ShippedRoutes(benchmark::State& state) {
  if (!have_game_data(state)) return;
  const routes::PlayFolder folder(HEDGEROW_GAME_DIR);
  const std::map<int, routes::Route> all = shipped_routes(folder);
  const routes::WorkingDirectory inside(folder.path());
  double frames = 0, play_seconds = 0, seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    routes::GameStart game;
    for (const auto& [n, route] : all) {
      const routes::RouteResult r = routes::play_route(game, n, route);
      if (!r.passed())
        state.SkipWithError(("level " + std::to_string(n) + ": " + r.summary()).c_str());
      frames += r.frame + 1;
      play_seconds += r.play_seconds;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["routes"] = static_cast<double>(all.size());
  state.counters["x_real_time"] = frames / 60.0 / seconds;
  state.counters["play_frames_per_s"] = frames / play_seconds;
}
BENCHMARK(BM_ShippedRoutes)->Unit(benchmark::kMillisecond);

void BM_SearchDemoLevel(benchmark::State& state) {
  if (!have_game_data(state)) return;
  const levels::Grid grid = levels::read_level((levels_folder / "map_1.txt").string());
  const routes::PlayFolder folder(HEDGEROW_GAME_DIR, 1, grid);
  const routes::WorkingDirectory inside(folder.path());
  long long frames = 0;
  for (auto _ : state) {
    const routes::SearchResult r = routes::search_route(1, grid, {});
    if (!r.found) state.SkipWithError(r.reason.c_str());
    frames += r.frames_played;
  }
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SearchDemoLevel)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
