#include "route_play.h"

#include <chrono>

namespace routes {

namespace {

void trace_line(const Trace& trace, int frame, const HeroState& hero) {
  *trace.out << "frame " << frame << ": " << describe(hero) << "\n";
}

}  // namespace

std::string RouteResult::summary() const {
  const std::string in_frame = " in frame " + std::to_string(frame);
  switch (outcome) {
    case Outcome::reached_exit:
      return "reached the exit" + in_frame;
    case Outcome::died:
      return "the hero lost a life" + in_frame + " at " + describe(hero);
    case Outcome::left_play:
      return "play was left (Escape)" + in_frame;
    case Outcome::playing:
      break;
  }
  return "the route ran out after frame " + std::to_string(frame) +
         " without reaching the exit; the hero at " + describe(hero);
}

RouteResult play_route(GameStart& game, int level, const Route& route, const Trace& trace) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  LevelSession session(game, level);
  const auto started = Clock::now();
  const std::vector<KeySet> held = route.held_by_frame();
  RouteResult result;
  for (int f = 0; f <= route.exit_frame; ++f) {
    result.outcome = session.frame(held[static_cast<std::size_t>(f)]);
    result.frame = f;
    const bool last = result.outcome != Outcome::playing || f == route.exit_frame;
    if (trace.out && (last || (trace.every > 0 && f % trace.every == 0)))
      trace_line(trace, f, session.hero());
    if (result.outcome != Outcome::playing) break;
  }
  result.hero = session.hero();
  result.start_seconds = std::chrono::duration<double>(started - start).count();
  result.play_seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return result;
}

RouteResult play_route(int level, const Route& route, const Trace& trace) {
  const auto start = std::chrono::steady_clock::now();
  GameStart game;
  const double start_up =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RouteResult result = play_route(game, level, route, trace);
  result.start_seconds += start_up;
  return result;
}

}  // namespace routes
