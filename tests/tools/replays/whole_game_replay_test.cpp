// The whole game made into a replay from eighteen levels and their routes, and played back: the
// same lines every time, to the end with status 0; one input moved by one frame shows in the
// hash; the clock the game reads is the replay's.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "replay_run.h"
#include "replay_text.h"
#include "route.h"
#include "support/game_files.h"
#include "support/headless_test.h"
#include "support/level_files.h"
#include "whole_game.h"

namespace {

const std::string levels_folder = HEDGEROW_SOURCE_DIR "/tests/tools/replays/levels/";

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::map<int, routes::Route> level_routes() {
  std::map<int, routes::Route> routes;
  for (int n = 1; n <= 18; ++n) {
    routes[n] = routes::read_route(levels_folder + "map_" + std::to_string(n) + ".route");
  }
  return routes;
}

// "frame 1234 level 3 score 40 lives 3 hash ..." -> the level.
int level_of(const std::string& line) {
  std::smatch m;
  std::regex_search(line, m, std::regex("level ([0-9]+)"));
  return std::stoi(m[1]);
}

// Moves the moment of the last line that reads `what` one frame later.
std::string moved_one_frame(const std::string& text, const std::string& what) {
  const std::size_t at = text.rfind(what);
  const std::size_t start = text.rfind('\n', at) + 1;
  const int frame = std::stoi(text.substr(start));
  const std::size_t end_of_number = text.find_first_of(". ", start);
  return text.substr(0, start) + std::to_string(frame + 1) + text.substr(end_of_number);
}

}  // namespace

class WholeGameReplay : public GameTest {
 protected:
  WholeGameReplay() {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
    for (int n = 1; n <= 18; ++n) {
      test_support::write_level(n, file_text(levels_folder + "map_" + std::to_string(n) + ".txt"));
    }
  }

  replays::ReplayResult play(const std::string& text) {
    return replays::play_replay(replays::parse_replay(text));
  }
};

TEST_F(WholeGameReplay, PlaysFromTheMenuThroughEveryLevelToTheExitItemTheSameEveryTime) {
  const std::string text = replays::whole_game_replay(level_routes(), "made by a test");
  EXPECT_EQ(text.rfind("# made by a test\n", 0), 0u);
  EXPECT_EQ(replays::whole_game_replay(level_routes(), "made by a test"), text)
      << "made again, the same";

  const replays::ReplayResult first = play(text);
  ASSERT_EQ(first.lines.size(), 20u) << first.text();
  for (int level = 1; level <= 19; ++level) {
    EXPECT_EQ(level_of(first.lines[static_cast<std::size_t>(level - 1)]), level) << first.text();
  }
  EXPECT_NE(first.lines.back().find("level 19 score 180 lives 3"), std::string::npos)
      << first.lines.back();
  EXPECT_NE(first.lines.back().find("status 0"), std::string::npos) << first.lines.back();
  EXPECT_FALSE(first.strays.any());

  const replays::ReplayResult second = play(text);
  EXPECT_EQ(second.text(), first.text());
}

TEST_F(WholeGameReplay, OneInputMovedByOneFrameChangesTheHashFromThereOn) {
  const std::string text = replays::whole_game_replay(level_routes(), "");
  const replays::ReplayResult before = play(text);
  // Running starts a frame later on the last level: the hero, kept after the game, ends
  // elsewhere.
  const std::string shifted = moved_one_frame(text, " down shift\n");
  ASSERT_NE(shifted, text);
  const replays::ReplayResult after = play(shifted);
  ASSERT_EQ(after.lines.size(), before.lines.size()) << after.text();
  for (std::size_t i = 0; i < before.lines.size(); ++i) {
    if (level_of(before.lines[i]) <= 18) {
      EXPECT_EQ(after.lines[i], before.lines[i]);
    } else {
      EXPECT_NE(after.lines[i].substr(after.lines[i].find("hash")),
                before.lines[i].substr(before.lines[i].find("hash")));
    }
  }
}

TEST_F(WholeGameReplay, AReplayThatRunsOutInPlayEndsThereRatherThanPlayingOnForEver) {
  const std::string text = replays::whole_game_replay(level_routes(), "");
  const std::string cut = text.substr(0, text.find(" down shift\n"));
  const replays::ReplayResult result = play(cut.substr(0, cut.rfind('\n') + 1));
  EXPECT_NE(result.lines.back().find("the replay ran out"), std::string::npos)
      << result.lines.back();
  EXPECT_EQ(level_of(result.lines.back()), 1);
}

TEST_F(WholeGameReplay, TheGameReadsTheReplaysClockNotItsOwn) {
  const std::string text = replays::whole_game_replay(level_routes(), "");
  // As if the recorded run's clock had run 250 ms ahead of this one from frame 1000 on.
  replays::Replay replay = replays::parse_replay(text);
  for (replays::ClockReadings& clock : replay.clocks) {
    if (clock.frame < 1000) continue;
    for (std::int32_t& ms : clock.readings) ms += 250;
  }
  const replays::ReplayResult own = play(text);
  const replays::ReplayResult late = replays::play_replay(replay);
  EXPECT_FALSE(late.strays.any());
  ASSERT_EQ(late.lines.size(), own.lines.size());
  EXPECT_EQ(late.lines.front(), own.lines.front());
  // The flowers of the levels after frame 1000 keep the time they were made at.
  EXPECT_NE(late.lines.back(), own.lines.back());
  EXPECT_NE(late.lines.back().find("level 19 score 180 lives 3"), std::string::npos);
}

TEST_F(WholeGameReplay, ARouteThatFallsShortOfItsExitIsNamed) {
  std::map<int, routes::Route> routes = level_routes();
  routes[4] = routes::parse_route("0 down right\n20 exit\n");
  try {
    replays::whole_game_replay(routes, "");
    FAIL() << "made a replay";
  } catch (const replays::WholeGameError& error) {
    EXPECT_STREQ(error.what(), "the route of level 4 does not reach the exit by frame 20");
  }
}
