// The soak: what it counts in the object list, the limits of what passes through it, the verdict
// on memory and objects, the level it picks, and stays sitting and walking played through the
// game.

#include "soak.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "level/records.h"
#include "support/game_files.h"
#include "support/level_files.h"

namespace {

// Flowers on the hero's row shoot left, away from him, or into a crate; hedgehogs patrol
// platforms of their own beyond pits.
const char* const busy_level =
    "\n\n\n\n\n"
    ".f..h..f......@..o..4....h...f...E\n"
    "11111111...1111111111...1111111111\n"
    "_\n";

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(SoakCensus, CountsTheLevelsOwnObjectsApartFromWhatPassesThrough) {
  TList list;
  list.add_last(std::make_shared<TFlower>());
  list.add_last(std::make_shared<TBullet>());
  list.add_last(std::make_shared<TCloud>());
  list.add_last(std::make_shared<THedgehog>());
  list.add_last(std::make_shared<TBullet>());
  list.add_last(std::make_shared<TStone>());
  list.add_last(std::make_shared<TBonus>());
  const soak::Census c = soak::take_census(list);
  EXPECT_EQ(c.placed, 3);
  EXPECT_EQ(c.clouds, 1);
  EXPECT_EQ(c.bullets, 2);
  EXPECT_EQ(c.stones, 1);
  EXPECT_EQ(soak::describe(c), "7 objects: 3 placed, 1 clouds, 2 bullets, 1 stones");
  const soak::Census most = c.most({1, 4, 0, 2});
  EXPECT_EQ(most.placed, 3);
  EXPECT_EQ(most.clouds, 4);
  EXPECT_EQ(most.bullets, 2);
  EXPECT_EQ(most.stones, 2);
}

TEST(SoakLimits, FollowFromHowEachKindComesAndGoes) {
  // Clouds: twice those coming in the 1700 frames one lives past a standing hero, and ten; a
  // hero who moves 610 pixels makes that 2310 frames. Bullets: 13 a flower. Stones: those thrown
  // within 600 frames.
  const soak::Limits standing = soak::passing_limits(3, 320.0f, 320.0f, 0);
  EXPECT_EQ(standing.clouds, 65);
  EXPECT_EQ(standing.bullets, 39);
  EXPECT_EQ(standing.stones, 0);
  const soak::Limits walking = soak::passing_limits(0, 100.5f, 710.5f, 60);
  EXPECT_EQ(walking.clouds, 85);
  EXPECT_EQ(walking.bullets, 0);
  EXPECT_EQ(walking.stones, 11);
}

soak::Result steady_stay() {
  soak::Result r;
  r.own = {20, 0, 0, 0};
  r.most = {20, 30, 8, 1};
  r.limits = {65, 52, 11};
  r.memory_after_first_minute = 100'000'000;
  r.memory_at_end = 104'900'000;
  return r;
}

TEST(SoakVerdict, PassesAStayThatKeptWithinItsLimitsAndItsMemory) {
  EXPECT_TRUE(steady_stay().passed());
  soak::Result shrunk = steady_stay();
  shrunk.memory_at_end = 80'000'000;  // memory handed back is no fault
  EXPECT_TRUE(shrunk.passed());
}

TEST(SoakVerdict, NamesEveryWayAStayWentWrong) {
  soak::Result r = steady_stay();
  r.most = {21, 66, 53, 12};
  r.memory_at_end = 105'100'000;
  r.stopped = "the hero lost a life in frame 7";
  const std::vector<std::string> faults = r.faults();
  EXPECT_EQ(faults.size(), 6u);
  EXPECT_TRUE(mentions(faults, "play stopped early: the hero lost a life in frame 7"));
  EXPECT_TRUE(mentions(faults, "the level's own objects grew from 20 to 21"));
  EXPECT_TRUE(mentions(faults, "clouds: 66 at once, more than 65"));
  EXPECT_TRUE(mentions(faults, "bullets: 53 at once, more than 52"));
  EXPECT_TRUE(mentions(faults, "stones: 12 at once, more than 11"));
  EXPECT_TRUE(mentions(faults,
                       "resident memory grew from 95.4 MB after the first minute to "
                       "100.2 MB at the end"));
}

TEST(SoakVerdict, LeavesMemoryUnjudgedWhereTheBuildHoldsFreedMemoryBack) {
  soak::Result r = steady_stay();
  r.memory_at_end = 300'000'000;
  r.memory_judged = false;
  EXPECT_TRUE(r.passed());
  r.memory_judged = true;
  r.memory_at_end = 0;
  EXPECT_TRUE(mentions(r.faults(), "resident memory cannot be read"));
}

TEST(SoakMemory, ResidentMemoryGrowsWithMemoryInUse) {
  const long long before = soak::resident_bytes();
  constexpr std::size_t size = 64u << 20;
  std::vector<char> block(size);
  std::memset(block.data(), 1, size);
  const long long after = soak::resident_bytes();
  EXPECT_GT(before, 0);
  EXPECT_GE(after - before, static_cast<long long>(size) * 9 / 10);
  EXPECT_EQ(block[size / 2], 1);
}

class SoakLevels : public HeadlessTest {};

TEST_F(SoakLevels, PicksTheLevelWithTheMostFlowersTheLowestAmongEquals) {
  EXPECT_EQ(soak::level_with_most_flowers(scratch.path()), std::nullopt);
  test_support::write_level(4, "\n@.f\n111\n_\n");
  EXPECT_EQ(soak::level_with_most_flowers(scratch.path() / "data" / "level"), 4);
  test_support::write_level(12, "\n@.f.f.f\n1111111\n_\n");
  test_support::write_level(7, "\n@.f.f.f\n1111111\n_\n");
  test_support::write_level(9, "\n@.f.f\n11111\n_\n");
  EXPECT_EQ(soak::level_with_most_flowers(scratch.path() / "data" / "level"), 7);
  // Not levels of the game: beyond 18, or not a level's name.
  test_support::write_level(19, "\n@.ffffff\n11111111\n_\n");
  scratch.write("data/level/map_3.dat.bak", std::string(160000, '\n'));
  EXPECT_EQ(soak::level_with_most_flowers(scratch.path() / "data" / "level"), 7);
}

class SoakStay : public GameTest {
 protected:
  SoakStay() {
    test_support::write_menu_pictures(scratch);
    test_support::write_catalogue_files(scratch);
  }

  soak::Result stay(soak::Stay how, const char* level, long long minutes = 2) {
    test_support::write_level(2, level);
    routes::GameStart start;
    soak::Options options;
    options.stay = how;
    options.frames = minutes * soak::frames_per_minute;
    return soak::stay_in_level(start, 2, options);
  }
};

TEST_F(SoakStay, SittingInABusyLevelKeepsItsObjectsAndMemorySteady) {
  const soak::Result r = stay(soak::Stay::sit, busy_level);
  EXPECT_TRUE(r.passed()) << soak::report(r);
  EXPECT_EQ(r.frames, 7200);
  EXPECT_EQ(r.own.placed, 7);  // the crate is a wall
  EXPECT_EQ(r.flowers, 3);
  EXPECT_EQ(r.at_end.placed, 7);
  // The two flowers left of the hero fire past the world's edge, the one on the right into
  // the crate: bullets and clouds come and go all along.
  EXPECT_GE(r.most.bullets, 3);
  EXPECT_GT(r.most.clouds, 10);
  EXPECT_EQ(r.most.stones, 0);
  EXPECT_EQ(r.hero_from, 896.0f);
  EXPECT_EQ(r.hero_to, 896.0f);
  EXPECT_GT(r.memory_after_first_minute, 0);
}

TEST_F(SoakStay, WalkingComesBackToWhereItBeganThrowingStonesAndPickingUpTheCoin) {
  const soak::Result r = stay(soak::Stay::walk, busy_level);
  EXPECT_TRUE(r.passed()) << soak::report(r);
  EXPECT_EQ(r.frames, 7200);
  // 60 frames right, 60 left: two minutes of legs never leave the first leg's 240 pixels.
  EXPECT_EQ(r.hero_from, 896.0f);
  EXPECT_EQ(r.hero_to, 896.0f + 240.0f);
  EXPECT_EQ(r.at_end.placed, 6);
  EXPECT_GE(r.most.stones, 1);
  EXPECT_EQ(r.limits.stones, 11);
}

TEST_F(SoakStay, ALifeLostEndsTheStayAsAFault) {
  // The hedgehog walks into the hero where he sits.
  const soak::Result r = stay(soak::Stay::sit, "\n\n\n\nh.@.....E\n111111111\n_\n");
  EXPECT_FALSE(r.passed());
  EXPECT_LT(r.frames, 120);
  EXPECT_TRUE(mentions(
      r.faults(), "play stopped early: the hero lost a life in frame " + std::to_string(r.frames)));
}

TEST_F(SoakStay, ReportsProgressEveryGameHourAsked) {
  test_support::write_level(2, busy_level);
  routes::GameStart start;
  std::ostringstream progress;
  soak::Options options;
  options.frames = 3 * soak::frames_per_minute;
  options.report_every = soak::frames_per_minute;
  options.progress = &progress;
  soak::stay_in_level(start, 2, options);
  const std::string text = progress.str();
  EXPECT_NE(text.find("  0:01 h: resident "), std::string::npos) << text;
  EXPECT_NE(text.find("  0:03 h: resident "), std::string::npos) << text;
  EXPECT_EQ(text.find("0:04 h"), std::string::npos) << text;
}

}  // namespace
