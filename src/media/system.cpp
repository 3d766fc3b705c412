#include "media/system.h"

#include <cmath>
#include <cstdlib>

#include "media/detail/internal.h"

namespace media {
namespace {

constexpr std::int32_t kDefaultSeed = 0x1234;
constexpr std::int32_t kModulus = 2147483647;  // 2^31 - 1

std::int32_t g_state = kDefaultSeed;

// The clock the game reads: the back end's, less every stretch the frame loop stood still
// while the window was away. Wrapping arithmetic throughout, as the clock wraps.
struct GameClock {
  std::uint32_t left_out = 0;
  bool stopped = false;
  std::uint32_t stopped_at = 0;  // the back end's time when it stopped
};

GameClock g_clock;

std::uint32_t backend_now() {
  return static_cast<std::uint32_t>(backend().millisecs());
}

// One Park-Miller step (multiplier 48271), by Schrage's method so nothing leaves 32 bits.
std::int32_t next_step() {
  g_state = 48271 * (g_state % 44488) - 3399 * (g_state / 44488);
  if (g_state < 0) g_state += kModulus;
  return g_state;
}

// A real in [0, 1) built from two steps; exact in double precision.
double next_real() {
  const double a = next_step() & 0x1FFFFFFC;
  const double b = next_step() & 0x1FFFFFF8;
  return (a + b / 134217728.0) / 536870912.0;
}

}  // namespace

std::int32_t MilliSecs() {
  return detail::clock_taken(detail::game_clock());
}

void Delay(int ms) {
  if (ms < 0) return;
  backend().delay(ms);
}

void SeedRnd(int seed) {
  std::int32_t s = detail::seed_taken(seed) & 0x7FFFFFFF;
  if (s == 0 || s == 0x7FFFFFFF) s = kDefaultSeed;
  g_state = s;
}

int Rand(int min, int max) {
  const double r = next_real();
  // The span is worked out in 64 bits: Rand(INT_MIN, INT_MAX) must not overflow.
  const std::int64_t d = static_cast<std::int64_t>(max) - min;
  if (d > 0) return static_cast<int>(min + static_cast<std::int64_t>(std::trunc(r * (d + 1))));
  return static_cast<int>(max + static_cast<std::int64_t>(std::trunc(r * (1 - d))));
}

void End() {
  detail::program_ending(0);
  backend().end_program(0);
  std::abort();  // end_program never returns; g++ cannot see that through the virtual call
}

void Fail(const std::string& message) {
  detail::program_ending(1);
  backend().fatal(message);
  std::abort();
}

namespace detail {

std::int32_t game_clock() {
  const std::uint32_t now = g_clock.stopped ? g_clock.stopped_at : backend_now();
  return static_cast<std::int32_t>(now - g_clock.left_out);
}

void stop_game_clock() {
  if (g_clock.stopped) return;
  g_clock.stopped_at = backend_now();
  g_clock.stopped = true;
}

void restart_game_clock() {
  if (!g_clock.stopped) return;
  g_clock.left_out += backend_now() - g_clock.stopped_at;
  g_clock.stopped = false;
}

void reset_system_state() {
  g_state = kDefaultSeed;
  g_clock = GameClock{};
}

std::int32_t random_state() {
  return g_state;
}
void set_random_state(std::int32_t state) {
  g_state = state;
}

std::uint32_t game_clock_left_out() {
  return g_clock.left_out;
}
void set_game_clock_left_out(std::uint32_t ms) {
  g_clock.left_out = ms;
}

}  // namespace detail

}  // namespace media
