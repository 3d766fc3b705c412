// Finding routes by playing the level: past a pit, over a wall, past a hedgehog and a flower,
// through waypoints, and giving up with a reason where there is no way.

#include "route_search.h"

#include <gtest/gtest.h>

#include <string>

#include "level/box.h"
#include "route_play.h"
#include "support/game_files.h"
#include "support/level_files.h"

namespace {

class RouteSearch : public GameTest {
 protected:
  RouteSearch() {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
  }

  routes::SearchResult search(const std::string& text, routes::SearchOptions options = {}) {
    test_support::write_level(2, text);
    return routes::search_route(2, levels::parse(text), options);
  }
};

// The route found reaches the exit, and does so again when played from a fresh start.
void expect_route(const routes::SearchResult& found) {
  ASSERT_TRUE(found.found) << found.reason;
  const routes::RouteResult replay = routes::play_route(2, routes::route_of(found.held));
  EXPECT_TRUE(replay.passed()) << replay.summary();
  EXPECT_EQ(replay.frame + 1, static_cast<int>(found.held.size()));
}

TEST_F(RouteSearch, JumpsAPitWithDeathZonesInIt) {
  expect_route(search("\n\n\n\n\n.@..........E\n1111111...111111\n2222222XXX222222\n_\n"));
}

TEST_F(RouteSearch, JumpsOntoAndOverAWall) {
  expect_route(search("\n\n\n\n........3\n........3\n.@......3...E\n1111111111111111\n_\n"));
}

TEST_F(RouteSearch, GetsPastAHedgehogAndAFlowerThatShootsAtHim) {
  expect_route(search("\n\n\n\n\n.@......h.......E\n11111111111111111\n_\n"));
  expect_route(search("\n\n\n\n\n.@..........3....f.E\n11111111111111111111\n_\n"));
}

TEST_F(RouteSearch, FollowsAJumpThatTakesTheHeroAboveTheTopOfTheGrid) {
  // Standing on the top row, he clears the crate only by rising above row 0.
  expect_route(search(".@......3...E\n1111111111111\n_\n"));
}

TEST_F(RouteSearch, TouchesTheWaypointsInTheirOrderBeforeTheExit) {
  // Up on the ledge behind him first.
  const std::string level = "\n\n\n\n.11\n.......\n.....@......E\n1111111111111\n_\n";
  routes::SearchOptions options;
  options.via = {{1, 3}};
  const routes::SearchResult found = search(level, options);
  ASSERT_TRUE(found.found) << found.reason;
  routes::GameStart start;
  routes::LevelSession session(start, 2);
  bool touched = false;
  routes::Outcome outcome = routes::Outcome::playing;
  for (const routes::KeySet& keys : found.held) {
    outcome = session.frame(keys);
    const routes::HeroState h = session.hero();
    touched = touched || overlap(box(h.x, h.y, 64, 64), box(64, 192, 64, 64));
  }
  EXPECT_TRUE(touched);
  EXPECT_EQ(outcome, routes::Outcome::reached_exit);
}

TEST_F(RouteSearch, GivesUpWithAReasonWhenItGetsNoNearer) {
  routes::SearchOptions options;
  options.patience = 120;
  const routes::SearchResult walled_in =
      search("\n\n\n\n........111\n.@......1E1\n11111111111\n_\n", options);
  EXPECT_FALSE(walled_in.found);
  EXPECT_EQ(walled_in.reason, "no nearer to the exit for 120 frames");
  EXPECT_TRUE(walled_in.held.empty());
}

}  // namespace
