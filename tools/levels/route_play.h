#pragma once
// Playing a route through the game (level_session.h): the route's keys frame by frame from the
// level's first play frame, until the hero reaches the exit, dies, or the route's exit frame has
// been played.

#include <ostream>
#include <string>

#include "level_session.h"
#include "route.h"

namespace routes {

struct RouteResult {
  Outcome outcome = Outcome::playing;  // playing: the exit frame came and went
  int frame = 0;                       // the frame play ended in, or the last one played
  HeroState hero;                      // where the hero was then
  double start_seconds = 0;            // the game's start-up and the level's construction
  double play_seconds = 0;             // the frames of play
  bool passed() const { return outcome == Outcome::reached_exit; }
  // One sentence: "reached the exit in frame 480", "died in frame 212 at x ... y ...", ...
  std::string summary() const;
};

struct Trace {
  std::ostream* out = nullptr;  // none: no trace
  int every = 60;               // frames between lines; the last frame always gets one
};

// Plays `route` on `level` from `start`, in the working directory it was started in (a game
// folder or a play folder).
RouteResult play_route(GameStart& start, int level, const Route& route, const Trace& trace = {});
// The same from a start of its own, whose time is counted in the result.
RouteResult play_route(int level, const Route& route, const Trace& trace = {});

}  // namespace routes
