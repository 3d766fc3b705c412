// Playing routes through the game: where play ends and why, and that a session started again, or
// put back to a snapshot, plays exactly what a fresh start plays.

#include "route_play.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "media/backend.h"
#include "media/system.h"
#include "support/game_files.h"
#include "support/level_files.h"

namespace {

using routes::Key;
using routes::KeySet;
using routes::Outcome;

// The hero starts at column 1 (x 64) on ground, walking right from frame 0 he is at x 66 + 4 f
// after frame f, and the objects' pass of frame f + 1 sees him there.
const char* const walk_to_exit = "\n\n\n\n\n.@....E\n1111111\n_\n";
const char* const walk_into_death_zone = "\n\n\n\n\n.@..X.E\n1111111\n_\n";
// The death zone above the exit comes first in column order.
const char* const exit_under_death_zone = "\n\n\n\n......X\n.@....E\n1111111\n_\n";
// A flower on the hero's row shoots him where he stands; a hedgehog walks its ground.
const char* const flower_and_hedgehog =
    "\n\n\n\n\n.@.......f\n1111111111\n.......h\n111111111111\n_\n";

routes::Route route(const std::string& text) {
  return routes::parse_route(text);
}

class RoutePlay : public GameTest {
 protected:
  RoutePlay() {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
  }
};

TEST_F(RoutePlay, AnswersTheTutorialAndReachesTheExitInTheFrameTheHeroFirstTouchesIt) {
  for (int level : {1, 2, 18}) {
    test_support::write_level(level, walk_to_exit);
    const routes::RouteResult r = routes::play_route(level, route("0 down right\n100 exit\n"));
    EXPECT_EQ(r.outcome, Outcome::reached_exit) << "level " << level;
    EXPECT_EQ(r.frame, 65) << "level " << level;
    EXPECT_EQ(r.hero.x, 322.0f) << "level " << level;
    EXPECT_EQ(r.summary(), "reached the exit in frame 65");
  }
}

TEST_F(RoutePlay, ARouteThatEndsBeforeTheExitFailsWithWhereTheHeroIs) {
  test_support::write_level(2, walk_to_exit);
  const routes::RouteResult r = routes::play_route(2, route("0 down right\n64 exit\n"));
  EXPECT_EQ(r.outcome, Outcome::playing);
  EXPECT_FALSE(r.passed());
  EXPECT_EQ(r.summary(),
            "the route ran out after frame 64 without reaching the exit; the hero at x 322.00 y "
            "320.00 move_x 4.00 move_y 0.00 anim 2");
}

TEST_F(RoutePlay, ALifeLostEndsTheRouteInThatFrameWithWhereTheHeroWasHurt) {
  for (int level : {1, 2}) {
    test_support::write_level(level, walk_into_death_zone);
    const routes::RouteResult r = routes::play_route(level, route("0 down right\n100 exit\n"));
    EXPECT_EQ(r.outcome, Outcome::died) << "level " << level;
    EXPECT_EQ(r.frame, 33) << "level " << level;
    EXPECT_EQ(r.hero.x, 194.0f) << "level " << level;
  }
}

TEST_F(RoutePlay, ADeathOnTheExitIsStillADeath) {
  // The death screen is answered like the level-complete screen would be; the level is then
  // built again (on level 1 behind the tutorial).
  for (int level : {1, 2}) {
    test_support::write_level(level, exit_under_death_zone);
    const routes::RouteResult r = routes::play_route(level, route("0 down right\n100 exit\n"));
    EXPECT_EQ(r.outcome, Outcome::died) << "level " << level;
    EXPECT_EQ(r.frame, 65) << "level " << level;
    EXPECT_EQ(r.hero.x, 322.0f) << "level " << level;
  }
}

TEST_F(RoutePlay, AMissingLevelStopsItsSessionWithTheGamesMessageAndTheNextOnePlays) {
  test_support::write_level(2, walk_to_exit);
  routes::GameStart start;
  EXPECT_THROW(routes::LevelSession(start, 5), media::FatalError);
  EXPECT_TRUE(routes::play_route(start, 2, route("0 down right\n100 exit\n")).passed());
}

TEST_F(RoutePlay, TracesTheHeroEveryNFramesAndAtTheEnd) {
  test_support::write_level(2, walk_to_exit);
  std::ostringstream out;
  routes::play_route(2, route("0 down right\n30 up right\n100 exit\n"), {&out, 25});
  EXPECT_EQ(out.str(),
            "frame 0: x 66.00 y 320.00 move_x 2.00 move_y 0.00 anim 2\n"
            "frame 25: x 166.00 y 320.00 move_x 4.00 move_y 0.00 anim 2\n"
            "frame 50: x 188.00 y 320.00 move_x 0.00 move_y 0.00 anim 1\n"
            "frame 75: x 188.00 y 320.00 move_x 0.00 move_y 0.00 anim 1\n"
            "frame 100: x 188.00 y 320.00 move_x 0.00 move_y 0.00 anim 1\n");
}

struct Ending {
  routes::RouteResult result;
  std::int32_t clock;
  int next_random;
};

Ending ending(const routes::RouteResult& result) {
  return {result, media::MilliSecs(), media::Rand(0, 1 << 30)};
}

TEST_F(RoutePlay, EveryRouteFromOneStartPlaysAsFromAFreshStart) {
  // The flower's shot, on the clock, is what kills the hero who waits; clouds draw random
  // numbers in every frame.
  test_support::write_level(2, flower_and_hedgehog);
  const routes::Route wait = route("0 tap right\n1000 exit\n");
  const Ending fresh = ending(routes::play_route(2, wait));
  ASSERT_EQ(fresh.result.outcome, Outcome::died);
  routes::GameStart start;
  for (int again = 0; again < 2; ++again) {
    const Ending shared = ending(routes::play_route(start, 2, wait));
    EXPECT_EQ(shared.result.frame, fresh.result.frame);
    EXPECT_EQ(shared.clock, fresh.clock);
    EXPECT_EQ(shared.next_random, fresh.next_random);
  }
}

struct Seen {
  Outcome outcome;
  routes::HeroState hero;
  std::size_t objects;
  bool operator==(const Seen& o) const {
    return outcome == o.outcome && hero.x == o.hero.x && hero.y == o.hero.y &&
           hero.move_x == o.hero.move_x && hero.move_y == o.hero.move_y &&
           hero.anim == o.hero.anim && objects == o.objects;
  }
};

// Stands, throws two stones, jumps, and waits for the flower's shot.
std::vector<Seen> play_on(routes::LevelSession& session) {
  std::vector<Seen> seen;
  for (int f = 0; f < 400; ++f) {
    KeySet keys;
    if (f == 5 || f == 40) keys.set(Key::space, true);
    if (f >= 60 && f < 64) keys.set(Key::up, true);
    const Outcome outcome = session.frame(keys);
    seen.push_back({outcome, session.hero(), session.game()._object_list->count()});
    if (outcome != Outcome::playing) break;
  }
  return seen;
}

TEST_F(RoutePlay, ASnapshotPutBackPlaysTheSameFuture) {
  test_support::write_level(2, flower_and_hedgehog);
  routes::GameStart start;
  std::vector<Seen> straight;
  {
    routes::LevelSession session(start, 2);
    for (int f = 0; f < 30; ++f) session.frame({Key::right});
    straight = play_on(session);
  }
  ASSERT_EQ(straight.back().outcome, Outcome::died);
  routes::LevelSession session(start, 2);
  for (int f = 0; f < 30; ++f) session.frame({Key::right});
  const auto snapshot = session.snapshot();
  // Off the left edge and out of the world.
  while (session.frame({Key::left, Key::shift}) == Outcome::playing) {
  }
  session.restore(*snapshot);
  EXPECT_EQ(session.frames_played(), 30);
  EXPECT_EQ(play_on(session), straight);
  session.restore(*snapshot);
  EXPECT_EQ(play_on(session), straight);
}

}  // namespace
