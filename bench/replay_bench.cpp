// The whole game kept as a replay (assets/replays/whole_game.replay) played through the game
// headless, from start-up to the menu's exit item, with neither pixels nor a draw log, in the
// built game folder with the levels it was made from:
//
//   BM_WholeGameReplay  x_real_time: the game's time at 60 frames a second over the time taken,
//                       start-up included (goal: at least 100); frames_per_s.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "level_files.h"
#include "play_folder.h"
#include "replay_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path source = HEDGEROW_SOURCE_DIR;

// The game's own levels once all have routes, else the test levels the replay is made from.
fs::path replay_levels() {
  const fs::path shipped = source / "assets" / "levels";
  if (fs::exists(shipped / "map_18.route")) return shipped;
  return source / "tests" / "tools" / "replays" / "levels";
}

void BM_WholeGameReplay(benchmark::State& state) {
  if (!fs::is_directory(fs::path(HEDGEROW_GAME_DIR) / "data" / "graphics")) {
    state.SkipWithError("no game data in " HEDGEROW_GAME_DIR " (build the game_data target)");
    return;
  }
  const replays::Replay replay =
      replays::read_replay((source / "assets" / "replays" / "whole_game.replay").string());
  const routes::PlayFolder folder(HEDGEROW_GAME_DIR);
  for (const auto& [n, text] : routes::level_texts(replay_levels())) {
    folder.put_level(n, levels::read_level(text.string()));
  }
  const routes::WorkingDirectory inside(folder.path());
  double frames = 0, seconds = 0;
  for (auto _ : state) {
    const replays::ReplayResult result = replays::play_replay(replay);
    frames += result.frames;
    seconds += result.seconds;
  }
  state.counters["frames_per_s"] = frames / seconds;
  state.counters["x_real_time"] = frames / 60.0 / seconds;
}
BENCHMARK(BM_WholeGameReplay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
