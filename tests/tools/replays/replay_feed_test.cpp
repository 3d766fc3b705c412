// Handing a replay back to the game: events at their moments, waits that reach ahead, the
// controllers' readings, the clock frame by frame, and how far a run strayed.

#include <gtest/gtest.h>

#include "replay_journal.h"
#include "replay_text.h"

namespace {

using media::InputEvent;
using media::Stamp;
using media::TakeIn;

replays::ReplayFeed feed_of(const std::string& text) {
  return replays::ReplayFeed(replays::parse_replay(text));
}

// The key codes handed over at `at`.
std::vector<int> codes(replays::ReplayFeed& feed, Stamp at, TakeIn how = TakeIn::look) {
  std::vector<InputEvent> events;
  feed.events(at, how, events);
  std::vector<int> out;
  for (const InputEvent& e : events) out.push_back(e.code);
  return out;
}

using Codes = std::vector<int>;

}  // namespace

TEST(ReplayFeed, EventsComeAtTheirMomentAndThoseOfAMomentPassedAtTheNextTakeIn) {
  replays::ReplayFeed feed = feed_of("2 down left\n2.2 down right\n2.5 down up\n4 up left\n");
  EXPECT_EQ(codes(feed, {1, 0}), Codes{});
  EXPECT_EQ(codes(feed, {2, 0}), Codes{37});
  EXPECT_EQ(codes(feed, {2, 1}), Codes{});
  EXPECT_EQ(codes(feed, {2, 2}), Codes{39});
  // The run took input in fewer times in frame 2 than the recorded one did.
  EXPECT_EQ(codes(feed, {3, 0}), Codes{38});
  EXPECT_TRUE(feed.more_to_come());
  EXPECT_EQ(codes(feed, {4, 0}), Codes{37});
  EXPECT_FALSE(feed.more_to_come());
}

TEST(ReplayFeed, AWaitForAKeyReachesAheadToALaterFrameButNotWithinItsOwn) {
  replays::ReplayFeed feed = feed_of("5.3 down enter\n9 down space\n9 up space\n12 down left\n");
  EXPECT_EQ(codes(feed, {5, 1}, TakeIn::wait), Codes{}) << "5.3 comes by taking in again";
  EXPECT_EQ(codes(feed, {5, 2}, TakeIn::wait), Codes{});
  EXPECT_EQ(codes(feed, {5, 3}, TakeIn::wait), Codes{13});
  EXPECT_EQ(codes(feed, {5, 4}, TakeIn::wait_for_tick), Codes{}) << "frames pass meanwhile";
  EXPECT_EQ(codes(feed, {5, 5}, TakeIn::look), Codes{});
  EXPECT_EQ(codes(feed, {5, 6}, TakeIn::wait), (Codes{32, 32})) << "all of the next moment";
  EXPECT_EQ(codes(feed, {5, 7}, TakeIn::look), Codes{});
  EXPECT_EQ(codes(feed, {12, 0}, TakeIn::look), Codes{37});
}

TEST(ReplayFeed, AControllerReadsAsItsLastReadingUpToTheMoment) {
  replays::ReplayFeed feed =
      feed_of("3 pad 1 0x5 0.5 -0.25\n3.2 down left\n6 pad 1 none\n6 pad 0 0x1\n");
  EXPECT_FALSE(feed.pad({0, 0}, 1)) << "not readable before its first reading";
  EXPECT_FALSE(feed.pad({2, 9}, 1));
  const auto read = feed.pad({3, 1}, 1);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->buttons, 5u);
  EXPECT_EQ(read->axes[1], -0.25f);
  EXPECT_TRUE(feed.pad({5, 0}, 1));
  EXPECT_FALSE(feed.pad({5, 0}, 0));
  EXPECT_FALSE(feed.pad({6, 0}, 1)) << "unplugged";
  EXPECT_TRUE(feed.pad({6, 0}, 0));
  EXPECT_FALSE(feed.pad({6, 0}, 99));
  EXPECT_EQ(codes(feed, {3, 2}), Codes{37}) << "readings do not hold events up";
}

TEST(ReplayFeed, TheClockReadsFrameByFrameInOrderAndCountsWhereTheRunStrayed) {
  replays::ReplayFeed feed = feed_of("1 clock 100*2 101\n3 clock 140\n4 clock 150 151\n");
  EXPECT_EQ(feed.clock({0, 0}, 7), 7) << "before any reading: the run's own, counted";
  EXPECT_EQ(feed.clock({1, 0}, 7), 100);
  EXPECT_EQ(feed.clock({1, 4}, 7), 100);
  EXPECT_EQ(feed.clock({1, 5}, 7), 101);
  EXPECT_EQ(feed.clock({1, 5}, 7), 101) << "one more than the replay holds: the last again";
  EXPECT_EQ(feed.clock({2, 0}, 7), 101) << "a frame the replay has no reading for";
  EXPECT_EQ(feed.clock({4, 0}, 7), 150) << "frame 3's reading never asked for";
  const auto strays = feed.strays();
  EXPECT_EQ(strays.extra_readings, 3);
  EXPECT_EQ(strays.unread_readings, 2) << "frame 3's and frame 4's second";
  EXPECT_TRUE(strays.any());
}

TEST(ReplayFeed, WithoutClockLinesTheRunReadsItsOwnClockAndTheSeedIsTheReplaysIfItHasOne) {
  replays::ReplayFeed own = feed_of("1 down left\n");
  EXPECT_EQ(own.clock({1, 0}, 1234), 1234);
  EXPECT_EQ(own.seed(55), 55);
  replays::ReplayFeed seeded = feed_of("seed 9\n");
  EXPECT_EQ(seeded.seed(55), 9);
  EXPECT_FALSE(seeded.strays().any());
  replays::ReplayFeed left = feed_of("1 down left\n1 up left\n");
  EXPECT_EQ(left.strays().events_left, 2);
}
