// Finding routes by playing the level: past a pit, over a wall, past a hedgehog and a flower,
// through waypoints, going on from a route already written, and giving up with a reason where
// there is no way.

#include "route_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "level/box.h"
#include "route_play.h"
#include "support/game_files.h"
#include "support/level_files.h"

namespace {

using routes::Key;

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

std::vector<routes::KeySet> held_for(int frames, routes::KeySet keys) {
  return std::vector<routes::KeySet>(static_cast<std::size_t>(frames), keys);
}

TEST_F(RouteSearch, GoesOnFromWhereTheLeadLeavesTheHeroAndKeepsTheLeadsKeys) {
  // The lead walks him away from the exit and stops; the route has to come back from there.
  const std::string level = "\n\n\n\n\n1.......@.....E\n111111111111111\n_\n";
  routes::SearchOptions options;
  options.lead = held_for(40, {Key::left});
  options.lead.resize(60);  // and stands for 20 frames
  const routes::SearchResult found = search(level, options);
  expect_route(found);
  ASSERT_GE(found.held.size(), options.lead.size());
  EXPECT_TRUE(std::equal(options.lead.begin(), options.lead.end(), found.held.begin()));
  routes::GameStart start;
  routes::LevelSession session(start, 2);
  for (const routes::KeySet& keys : options.lead) session.frame(keys);
  EXPECT_LT(session.hero().x, 8 * 64.0f - 100) << "the lead did not take him back";
}

TEST_F(RouteSearch, RefusesALeadThatEndsPlay) {
  routes::SearchOptions options;
  options.lead = held_for(120, {Key::right});
  const routes::SearchResult found =
      search("\n\n\n\n\n.@.....X.........E\n111111111111111111\n_\n", options);
  EXPECT_FALSE(found.found);
  EXPECT_EQ(found.reason.rfind("the route to go on from ends play in its frame ", 0), 0u)
      << found.reason;
  EXPECT_TRUE(found.held.empty());
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
