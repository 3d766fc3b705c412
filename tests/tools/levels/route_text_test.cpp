// Routes as text: the keys held in each frame, taps, and the faults a hand-edited route can have.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "route.h"

namespace {

using routes::Key;
using routes::KeySet;

std::vector<KeySet> held(const std::string& text) {
  return routes::parse_route(text).held_by_frame();
}

// The line and the reason of the fault in `text`.
std::string fault(const std::string& text) {
  try {
    routes::parse_route(text);
  } catch (const routes::RouteError& e) {
    return e.what();
  }
  return "no fault";
}

TEST(RouteText, GivesTheKeysHeldInEveryFrameUpToTheExit) {
  const std::vector<KeySet> h = held(
      "# to the crate\n"
      "0 down right\n"
      "\n"
      "2 down shift up   # run and jump\r\n"
      "3 up up\n"
      "4 tap space\n"
      "5 up right shift\n"
      "6 exit\n");
  ASSERT_EQ(h.size(), 7u);
  EXPECT_EQ(h[0], (KeySet{Key::right}));
  EXPECT_EQ(h[1], (KeySet{Key::right}));
  EXPECT_EQ(h[2], (KeySet{Key::right, Key::shift, Key::up}));
  EXPECT_EQ(h[3], (KeySet{Key::right, Key::shift}));
  EXPECT_EQ(h[4], (KeySet{Key::right, Key::shift, Key::space}));
  EXPECT_EQ(h[5], KeySet{});
  EXPECT_EQ(h[6], KeySet{});
}

TEST(RouteText, ATapLetsItsKeyGoInTheNextFrameSoTheKeyCanGoDownAgainThen) {
  const std::vector<KeySet> h = held("10 tap up\n11 down up\n13 up up\n14 exit\n");
  EXPECT_EQ(h[9], KeySet{});
  EXPECT_EQ(h[10], KeySet{Key::up});
  EXPECT_EQ(h[11], KeySet{Key::up});
  EXPECT_EQ(h[13], KeySet{});
  // Let go at the same frame as the tap's own release: the key is not down any more.
  EXPECT_EQ(fault("10 tap up\n11 up up\n12 exit\n"), "line 2: up goes up but is not down");
}

TEST(RouteText, NamesTheLineAndTheFaultOfABadRoute) {
  EXPECT_EQ(fault("0 down jump\n5 exit\n"),
            "line 1: unknown key \"jump\": left, right, up, shift or space");
  EXPECT_EQ(fault("0 hold right\n5 exit\n"),
            "line 1: unknown instruction \"hold\": down, up, tap or exit");
  EXPECT_EQ(fault("# start\n\n-3 down right\n5 exit\n"),
            "line 3: \"-3\" is not a frame number (a whole number from 0)");
  EXPECT_EQ(fault("0 down right\n12x up right\n"),
            "line 2: \"12x\" is not a frame number (a whole number from 0)");
  EXPECT_EQ(fault("9 down right\n4 up right\n"), "line 2: frame 4 comes after frame 9");
  EXPECT_EQ(fault("0 down right\n1 down right\n"), "line 2: right goes down but is already down");
  EXPECT_EQ(fault("0 up left\n"), "line 1: left goes up but is not down");
  EXPECT_EQ(fault("7 down space\n7 up space\n"),
            "line 2: space goes down and up in frame 7: use tap");
  EXPECT_EQ(fault("7 down\n"), "line 1: \"down\" needs at least one key");
  EXPECT_EQ(fault("7\n"), "line 1: a frame needs an instruction: down, up, tap or exit");
  EXPECT_EQ(fault("7 exit right\n"), "line 1: \"exit\" takes no keys");
  EXPECT_EQ(fault("0 down right\n"), "line 1: the route ends without an \"<frame> exit\" line");
  EXPECT_EQ(fault("5 exit\n# done\n6 down left\n"), "line 3: nothing may follow the exit line");
}

TEST(RouteText, WritesTheKeysOfEveryFrameSoThatTheyReadBackTheSame) {
  std::vector<KeySet> h(40);
  for (int f = 3; f < 30; ++f) h[f].set(Key::right, true);
  for (int f = 8; f < 20; ++f) h[f].set(Key::shift, true);
  h[12].set(Key::up, true);
  h[13].set(Key::space, true);
  h[14].set(Key::space, true);
  h[15].set(Key::space, true);
  for (int f = 35; f < 40; ++f) h[f].set(Key::left, true);
  const routes::Route route = routes::route_of(h);
  EXPECT_EQ(route.exit_frame, 39);
  const std::string text = routes::route_text(route, "found for a test\nsecond line");
  EXPECT_EQ(text,
            "# found for a test\n"
            "# second line\n"
            "3 down right\n"
            "8 down shift\n"
            "12 tap up\n"
            "13 down space\n"
            "16 up space\n"
            "20 up shift\n"
            "30 up right\n"
            "35 down left\n"
            "39 exit\n");
  EXPECT_EQ(routes::parse_route(text).held_by_frame(), h);
}

TEST(RouteText, ReadingAFileNamesItInItsFaults) {
  EXPECT_THROW(
      {
        try {
          routes::read_route("/nonexistent/map_3.route");
        } catch (const std::runtime_error& e) {
          EXPECT_EQ(std::string(e.what()).rfind("/nonexistent/map_3.route: cannot be read", 0), 0u);
          throw;
        }
      },
      std::runtime_error);
}

}  // namespace
