#pragma once
// The whole game played from the menu to its end by a driver instead of a player, and written
// down as a replay: the menu's start item clicked, Enter at every screen that waits (the story,
// the tutorial, each level complete, the map, the final picture), each level played by its route,
// then back in the menu the exit item. It runs on the headless back end, with the game's
// start-up and main loop, in the working directory (a game folder or a play folder made from
// one). Throws WholeGameError when a route does not reach its exit or costs a life.

#include <map>
#include <stdexcept>
#include <string>

#include "route.h"

namespace replays {

class WholeGameError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// `routes` by level, 1 to 18. The replay's text, `comment` (lines) first.
std::string whole_game_replay(const std::map<int, routes::Route>& routes,
                              const std::string& comment);

}  // namespace replays
