// One play frame of a crowded level, headless with neither pixels nor draw log: the logic and the
// draw calls. A 200 x 200 level with ground on every fourth row across the whole width (10 000
// walls), 2 000 coins, 500 hedgehogs, 200 saws and 200 flowers that all fire every three seconds.
//
//   BM_PlayFrame        frames once the bullets in flight have settled (after 40 s of play)
//   BM_PlayTenMinutes   36 000 frames in one run: the 99th percentile over the whole run and
//                       over its first, second and last minutes; the bullets in flight settle
//                       within the first 40 s, and from then on nothing should grow
//   BM_PlayShippedLevel/N  level N of the built game folder played with its route's keys
//                       (assets/levels/map_N.route), from its first frame to the exit and again;
//                       the level's own objects: the crowding a player meets (goal: 99th
//                       percentile under 1 ms)
//
// Times are the thread's processor time per frame (logic, draw calls and the present).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "level_session.h"
#include "play_folder.h"
#include "route.h"

#include "level/records.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/media.h"
#include "media/system.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int frames_per_minute = 60 * 60;
constexpr int hero_column = 100, hero_row = 2;  // the top band is the hero's and the coins'

media::Image picture(std::uint8_t shade) {
  media::TPixmap p(64, 64, media::PixelFormat::rgba8);
  std::fill(p.pixels.begin(), p.pixels.end(), shade);
  return media::image_from_pixmap(std::move(p), 0);
}

void fill_catalogue() {
  MediaCatalogue& c = catalogue();
  std::uint8_t shade = 10;
  auto all = [&](auto& images) {
    for (media::Image& image : images) image = picture(shade += 3);
  };
  all(c.ground_images);
  all(c.saw_images);
  all(c.flower_images);
  all(c.hedgehog_right_images);
  all(c.hedgehog_left_images);
  all(c.bg_images);
  all(c.hero_stay_right_images);
  all(c.hero_stay_left_images);
  all(c.hero_move_right_images);
  all(c.hero_move_left_images);
  all(c.coin_images);
  all(c.life_images);
  all(c.cloud_images);
  c.stone_image = picture(shade += 3);
}

template <class T>
std::shared_ptr<T> at_cell(TGame& game, int column, int row) {
  auto object = std::make_shared<T>();
  object->_x = static_cast<float>(cell_size * column);
  object->_y = static_cast<float>(cell_size * row);
  if constexpr (std::is_same_v<T, TWall>) {
    object->_image = catalogue().ground_images[static_cast<std::size_t>(column % 4)];
    game._wall_list->add_last(object);
  } else {
    game._object_list->add_last(object);
  }
  return object;
}

// The walls in the level file's order, column by column; the objects stand on the ground rows
// (rows 2, 6, 10 ... have ground under them), hazards below the hero's band only.
std::unique_ptr<TGame> crowded_level() {
  auto game = std::make_unique<TGame>();
  game->_lang = "ENG";
  game->_lives = 3;
  game->_level = 2;
  game->_object_list = std::make_shared<TList>();
  game->_wall_list = std::make_shared<TList>();
  for (int c = 0; c < level_columns; ++c) {
    for (int r = 3; r < level_rows; r += 4) at_cell<TWall>(*game, c, r);
  }
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> column(0, level_columns - 1), band(0, level_rows / 4 - 1),
      lower_band(1, level_rows / 4 - 1);
  for (int i = 0; i < 2000; ++i) {
    auto coin = at_cell<TBonus>(*game, column(rng), 4 * band(rng) + 2);
    coin->_score = 5;
    coin->_last_frame = 4;
  }
  for (int i = 0; i < 500; ++i) {
    auto h = at_cell<THedgehog>(*game, column(rng), 4 * lower_band(rng) + 2);
    h->_speed = 1.35f;
    h->_move_x = 1;
  }
  for (int i = 0; i < 200; ++i) {
    at_cell<TSaw>(*game, column(rng), 4 * lower_band(rng) + 1)->_size = i % 2;
  }
  for (int i = 0; i < 200; ++i) at_cell<TFlower>(*game, column(rng), 4 * lower_band(rng) + 2);

  game->_player = std::make_shared<TPlayer>();
  game->_player->_x = static_cast<float>(cell_size * hero_column);
  game->_player->_y = static_cast<float>(cell_size * hero_row);
  game->_cam_x = game->_player->_x - 500;
  game->_cam_y = game->_player->_y - 340;
  game->_max_cam_y = static_cast<float>(cell_size * level_rows);
  game->_max_y = game->_max_cam_y;
  return game;
}

// The time is the thread's processor time: on a shared machine the wall clock mostly measures
// the other programs.
double thread_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Play {
  Play() {
    media::HeadlessBackend& hb = media::use_headless();
    reset_globals();
    media::Graphics(1024, 768, 32, 60, 0);
    hb.set_rasterise(false);
    hb.set_draw_log(false);
    fill_catalogue();
    game = crowded_level();
  }
  ~Play() { reset_globals(); }

  // One pass of the main loop: the frame, then the present that moves the clock 1/60 s on.
  double frame_ms() {
    const double start = thread_ms();
    if (game->update() != 0) std::abort();  // the hero must not die or leave
    media::Flip(-1);
    media::Cls();
    return thread_ms() - start;
  }

  int count_bullets() {
    int n = 0;
    game->each_object<TBullet>([&](TBullet&) { ++n; });
    return n;
  }

  std::unique_ptr<TGame> game;
};

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k];
}

void BM_PlayFrame(benchmark::State& state) {
  Play play;
  for (int i = 0; i < 40 * 60; ++i) play.frame_ms();
  std::vector<double> times;
  for (auto _ : state) {
    const double ms = play.frame_ms();
    times.push_back(ms);
    state.SetIterationTime(ms / 1000);
  }
  state.counters["p50_ms"] = percentile(times, 0.50);
  state.counters["p99_ms"] = percentile(times, 0.99);
  state.counters["bullets"] = play.count_bullets();
}

void BM_PlayTenMinutes(benchmark::State& state) {
  for (auto _ : state) {
    Play play;
    std::vector<double> times;
    times.reserve(10 * frames_per_minute);
    for (int i = 0; i < 10 * frames_per_minute; ++i) times.push_back(play.frame_ms());
    double total = 0;
    for (double t : times) total += t;
    state.SetIterationTime(total / 1000);
    const auto minute = [&](int m) {
      return std::vector<double>(times.begin() + m * frames_per_minute,
                                 times.begin() + (m + 1) * frames_per_minute);
    };
    state.counters["p99_ms"] = percentile(times, 0.99);
    state.counters["p99_first_min_ms"] = percentile(minute(0), 0.99);
    state.counters["p99_second_min_ms"] = percentile(minute(1), 0.99);  // bullets settled
    state.counters["p99_last_min_ms"] = percentile(minute(9), 0.99);
    state.counters["max_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["bullets_at_end"] = play.count_bullets();
    state.counters["objects_at_end"] = static_cast<double>(play.game->_object_list->count());
  }
}

void BM_PlayShippedLevel(benchmark::State& state) {
  namespace fs = std::filesystem;
  const int level = static_cast<int>(state.range(0));
  const std::string name = "map_" + std::to_string(level);
  const fs::path game_folder = HEDGEROW_GAME_DIR;
  const fs::path route_file =
      fs::path(HEDGEROW_SOURCE_DIR) / "assets" / "levels" / (name + ".route");
  if (!fs::exists(game_folder / "data" / "level" / (name + ".dat")) || !fs::exists(route_file)) {
    state.SkipWithError(
        ("no " + name + ".dat in the game folder or no " + name + ".route").c_str());
    return;
  }
  const std::vector<routes::KeySet> held = routes::read_route(route_file.string()).held_by_frame();
  const routes::WorkingDirectory inside(game_folder);
  routes::GameStart start;
  auto session = std::make_unique<routes::LevelSession>(start, level);
  std::size_t frame = 0;
  int most_objects = 0;
  std::vector<double> times;
  for (auto _ : state) {
    if (frame == held.size()) {  // the exit: the level again from its start
      session.reset();           // the old session lets go of the game's frames first
      session = std::make_unique<routes::LevelSession>(start, level);
      frame = 0;
    }
    const double begin = thread_ms();
    const routes::Outcome outcome = session->frame(held[frame++]);
    const double ms = thread_ms() - begin;
    if (outcome == routes::Outcome::died || outcome == routes::Outcome::left_play) {
      state.SkipWithError((name + ".route no longer reaches the exit").c_str());
      break;
    }
    state.SetIterationTime(ms / 1000);
    if (outcome == routes::Outcome::reached_exit) {  // that frame showed the level-complete screen
      frame = held.size();
      continue;
    }
    most_objects = std::max(most_objects, static_cast<int>(session->game()._object_list->count()));
    times.push_back(ms);
  }
  state.counters["p50_ms"] = percentile(times, 0.50);
  state.counters["p99_ms"] = percentile(times, 0.99);
  state.counters["route_frames"] = static_cast<double>(held.size());
  state.counters["most_objects"] = most_objects;  // clouds, stones and bullets included
  state.counters["walls"] = static_cast<double>(session->game()._wall_list->count());
}

}  // namespace

BENCHMARK(BM_PlayFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_PlayTenMinutes)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayShippedLevel)
    ->DenseRange(1, 18)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
