#pragma once
// Playing a replay through the game on the headless back end, from start-up, in the working
// directory (a game folder or a play folder made from one), with neither pixels nor a draw log.

#include <string>
#include <vector>

#include "replay_journal.h"
#include "replay_text.h"

namespace replays {

struct ReplayResult {
  // A line at every change of level and one at the end (LevelWatch).
  std::vector<std::string> lines;
  int frames = 0;
  double seconds = 0;        // wall-clock time the run took
  double start_seconds = 0;  // of which the game's start-up, to its first frame with the menu
  ReplayFeed::Strays strays;
  std::string text() const;  // the lines, each ended by '\n'
};

ReplayResult play_replay(const Replay& replay);

}  // namespace replays
