// From the program's start to its first menu frame, headless, in the built game folder without
// splash pictures: every load and construction the player waits for before the menu shows (the
// real display's own start is not in it). Goal: under 150 ms of wall time. Start-up decodes on
// several threads, so the CPU time is the whole process's, the sum over its threads.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "media/files.h"
#include "media/headless.h"
#include "media/media.h"
#include "media/sound.h"
#include "menu/menu.h"
#include "shell/catalogue.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"

namespace {

// The game folder as the working directory; false (and the benchmark skipped) without the data.
bool enter_game_folder(benchmark::State& state) {
  std::error_code ec;
  std::filesystem::current_path(HEDGEROW_GAME_DIR, ec);
  if (ec || media::FileType("data\\graphics") != 2) {
    state.SkipWithError("no game data in " HEDGEROW_GAME_DIR " (build the game_data target)");
    return false;
  }
  return true;
}

// A fresh run: the media layer and the program's state as at exec.
void fresh_program() {
  media::use_headless().set_rasterise(false);
  reset_globals();
}

// In milliseconds, the CPU time of every thread of the process; wall time decides the runs.
void timed_as_start_up(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

void BM_StartUpToFirstMenuFrame(benchmark::State& state) {
  if (!enter_game_folder(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    fresh_program();
    state.ResumeTiming();
    shell::start_up();
    benchmark::DoNotOptimize(globals().manager->update());
  }
}
BENCHMARK(BM_StartUpToFirstMenuFrame)->Apply(timed_as_start_up);

// Its parts.
void BM_LoadMenuPictures(benchmark::State& state) {
  if (!enter_game_folder(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    fresh_program();
    state.ResumeTiming();
    load_menu_pictures();
  }
}
BENCHMARK(BM_LoadMenuPictures)->Apply(timed_as_start_up);

void BM_LoadCatalogue(benchmark::State& state) {
  if (!enter_game_folder(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    fresh_program();
    state.ResumeTiming();
    load_catalogue();
  }
}
BENCHMARK(BM_LoadCatalogue)->Apply(timed_as_start_up);

// The largest single part: the 76 s of level music decoded completely at load.
void BM_LoadLevelMusic(benchmark::State& state) {
  if (!enter_game_folder(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    fresh_program();
    state.ResumeTiming();
    benchmark::DoNotOptimize(media::LoadSound("Data\\Sound\\world_1.ogg", 1));
  }
}
BENCHMARK(BM_LoadLevelMusic)->Apply(timed_as_start_up);

void BM_CreateGameManager(benchmark::State& state) {
  if (!enter_game_folder(state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    fresh_program();
    state.ResumeTiming();
    benchmark::DoNotOptimize(TGameManager().load_data());
  }
}
BENCHMARK(BM_CreateGameManager)->Apply(timed_as_start_up);

}  // namespace
