#pragma once
// Finding a route by playing the game: a beam search over short moves (walk or run left or
// right, stand, each with or without the jump key held, and a stone thrown where there are
// hedgehogs), each played for a few frames through the game's own frame from a snapshot of the
// moment it starts (level_session.h), so hedgehogs walking, flowers firing on the clock and
// everything else move exactly as in play. A move that costs a life is dropped. The moves that
// bring the hero nearest the exit, by a distance measured along the level (around the ground,
// upwards only within a jump of some ground, never through death zones or saw blades), go on to
// the next round; the hero's positions are kept varied so that the search does not crowd into
// one dead end. Waypoints (cells to pass on the way, in order) help it past a spot where the
// nearest way is not the right one.
//
// A search may go on from where a route already written leaves the hero (its keys played first),
// so that a level grown longer keeps its first stretches as they were.
//
// The route found is played again from a fresh start of the game before it is handed back.

#include <ostream>
#include <string>
#include <vector>

#include "level_session.h"
#include "level_text.h"
#include "route.h"

namespace routes {

struct Waypoint {
  int column, row;
};

struct SearchOptions {
  int beam = 48;              // positions kept from one round to the next
  int step = 8;               // frames of each move
  int max_frames = 60 * 180;  // the longest route looked for after the lead
  int patience = 60 * 20;     // frames without getting nearer the exit before giving up
  std::vector<Waypoint> via;  // cells the hero must touch first, in order
  std::vector<KeySet> lead;   // keys of the frames played before the search starts
  std::ostream* progress = nullptr;
};

struct SearchResult {
  bool found = false;
  std::vector<KeySet> held;  // the keys of each frame, the lead's first; the last reaches the exit
  std::string reason;        // why there is no route
  HeroState closest;         // the hero nearest the exit the search saw
  int closest_frame = 0;
  long long frames_played = 0;  // by the search, over every move it tried
  double seconds = 0;
};

// Searches `level`, whose cells are `grid`, in the working directory (a game folder or a play
// folder holding that level).
SearchResult search_route(int level, const levels::Grid& grid, const SearchOptions& options);

}  // namespace routes
