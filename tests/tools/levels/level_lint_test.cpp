// The rules every level keeps: each fault names its cell and its rule, and the limits of each
// rule lie where play puts them (touching boxes, a second of falling, the fall line).

#include "level_lint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/headless.h"
#include "media/media.h"
#include "support/headless_test.h"

namespace {

using levels::LintFault;

// The fault lines of a level written as text, rows from 0; `rows` are put after `blank` empty
// rows so that the hero has room to jump.
std::vector<std::string> lint(const std::vector<std::string>& rows, int blank = 5) {
  std::string text(static_cast<std::size_t>(blank), '\n');
  for (const std::string& row : rows) text += row + "\n";
  std::vector<std::string> lines;
  for (const LintFault& f : levels::lint_level(levels::parse(text))) {
    lines.push_back(levels::fault_line("map_2.txt", f));
  }
  return lines;
}

using Lines = std::vector<std::string>;

class LevelLint : public HeadlessTest {};

TEST_F(LevelLint, AWellMadeLevelKeepsEveryRule) {
  EXPECT_EQ(lint({".@..o..h....E", "1111111111111", "_"}), Lines{});
}

TEST_F(LevelLint, WantsOneHeroStartOnTheGroundAndAnExit) {
  EXPECT_EQ(lint({"......E", "1111111", "_"}),
            Lines{"map_2.txt: hero-start: the level has no hero start (@)"});
  EXPECT_EQ(lint({".@.@..E", "1111111", "_"}),
            Lines{"map_2.txt: (1, 5): hero-start: a second hero start; the game takes the last in "
                  "column order, (3, 5)"});
  EXPECT_EQ(lint({".@.....", "......E", "1111111", "_"}),
            Lines{"map_2.txt: (1, 5): hero-ground: the hero starts with no ground (1-4) directly "
                  "below him"});
  EXPECT_EQ(lint({".@.....", "1111111", "_"}), Lines{"map_2.txt: exit: the level has no exit (E)"});
}

TEST_F(LevelLint, WantsTheBottomLineBelowTheLowestGround) {
  EXPECT_EQ(lint({".@....E", "1111111"}),
            Lines{"map_2.txt: bottom-line: the level has no bottom line (_): the camera would "
                  "keep the limit of the level played before it, and on the first level of a "
                  "game show nothing below row 0"});
  // At the lowest ground's own row the camera stops at its top edge; one row lower shows it.
  EXPECT_EQ(lint({".@....E", "111111_"}),
            Lines{"map_2.txt: (6, 6): bottom-line: the bottom line is at row 6, not below the "
                  "lowest ground (row 6): the camera cannot show that ground; put it at row 7 or "
                  "lower"});
  EXPECT_EQ(lint({".@....E", "1111111", "......_"}), Lines{});
  // The game takes the last in column order.
  EXPECT_EQ(lint({".@....E", "1111111", "_", "", "..._"}),
            Lines{"map_2.txt: (0, 7): bottom-line: bottom lines on different rows: the game "
                  "takes only the last in column order, (3, 9)"});
}

// A pit four columns wide between two walled-in platforms (rows 0 to 10), and one block of ground
// far down at `deep_row` that sets the fall line 100 pixels below its bottom.
std::vector<std::string> pit_level(int deep_row, const std::string& pit_floor = "",
                                   int floor_row = 0) {
  std::vector<std::string> rows(static_cast<std::size_t>(deep_row + 2));
  for (int r = 0; r < 9; ++r) rows[static_cast<std::size_t>(r)] = "1.............1";
  rows[9] = "1@...........E1";
  rows[10] = "1111....1111111";
  rows[static_cast<std::size_t>(deep_row)] = "................1";
  rows[static_cast<std::size_t>(deep_row + 1)] = "_";
  if (!pit_floor.empty()) rows[static_cast<std::size_t>(floor_row)] = pit_floor;
  return rows;
}

TEST_F(LevelLint, APitMustKillTheHeroWithinASecondOfFalling) {
  // From rest at row 9 (y 576) a second of falling takes him to y 1033.5: past the fall line of
  // ground at row 13 (bottom 896, line 996), not past that of ground at row 14 (line 1060).
  EXPECT_EQ(lint(pit_level(13), 0), Lines{});
  EXPECT_EQ(lint(pit_level(14), 0),
            Lines{"map_2.txt: (4, 9): pit: a hero who leaves the ground at row 9 into columns 4 "
                  "to 7: he falls for more than a second before he dies; put a death zone (X) in "
                  "each of those columns, no lower than row 17"});
  // A death zone at row 17 touches him at y 1024; one at row 18 only at y 1088.
  EXPECT_EQ(lint(pit_level(20, "....XXXX", 17), 0), Lines{});
  EXPECT_EQ(lint(pit_level(20, "....XXXX", 18), 0).size(), 1u);
  // Every column he can fall down needs its own.
  EXPECT_EQ(lint(pit_level(20, "....XX.X", 17), 0),
            Lines{"map_2.txt: (6, 9): pit: a hero who leaves the ground at row 9 into column 6: "
                  "he falls for more than a second before he dies; put a death zone (X) in each "
                  "of those columns, no lower than row 17"});
}

TEST_F(LevelLint, NothingStopsAHeroWhoWalksOffTheWorldsEdge) {
  std::vector<std::string> rows(22);
  for (int r = 0; r < 9; ++r) rows[static_cast<std::size_t>(r)] = "...........1";
  rows[9] = "@.........E1";
  rows[10] = "111111111111";
  rows[20] = "..............1";
  rows[21] = "_";
  EXPECT_EQ(lint(rows, 0),
            Lines{"map_2.txt: (0, 9): pit: the hero can walk off the world's left edge at row 9: "
                  "he falls for more than a second before he dies; put ground in his way"});
}

TEST_F(LevelLint, NothingMayTouchTheHeroWhereHeStarts) {
  const std::string ground = "1111111111111";
  auto start_faults = [&](const std::string& row, const std::string& above = "") {
    return lint({above, row, ground, "_"}, 4);
  };
  // Boxes that only touch count, as in play.
  EXPECT_EQ(start_faults("...@X.......E"),
            Lines{"map_2.txt: (4, 5): start-hazard: the death zone touches the hero's start "
                  "(3, 5)"});
  EXPECT_EQ(start_faults("...@.X......E", "....X"),
            Lines{"map_2.txt: (4, 4): start-hazard: the death zone touches the hero's start "
                  "(3, 5)"});
  EXPECT_EQ(start_faults("...@.X......E"), Lines{});
  // A small saw's blade stays inside its cell; the large one's reaches into the next cells.
  EXPECT_EQ(start_faults("...@s.......E"), Lines{});
  EXPECT_EQ(start_faults("...@........E", "..S"),
            Lines{"map_2.txt: (2, 4): start-hazard: the blade of the saw touches the hero's "
                  "start (3, 5)"});
  // A hedgehog walks 81 pixels in a second.
  EXPECT_EQ(start_faults("...@.h......E"),
            Lines{"map_2.txt: (5, 5): start-hazard: within a second's walk, the hedgehog touches "
                  "the hero's start (3, 5)"});
  EXPECT_EQ(start_faults("...@..h.....E"), Lines{});
  // A flower shoots to the left, until ground stops the bullet.
  EXPECT_EQ(start_faults("...@.....f..E"),
            Lines{"map_2.txt: (9, 5): start-hazard: the line of fire of the flower touches the "
                  "hero's start (3, 5)"});
  EXPECT_EQ(start_faults("...@...4.f..E"), Lines{});
  EXPECT_EQ(start_faults(".f.@........E"), Lines{});
}

TEST_F(LevelLint, AFlowerFiringAcrossTheHeightOfAJumpAtTheStartIsAStartHazard) {
  // The hero starts on row 7; a jump on the spot lifts his top 258.75 pixels, into row 2.
  auto faults = [&](const std::string& flower_row, int row, int ledge_row = 0) {
    std::vector<std::string> rows(10);
    rows[7] = "...@.........................E";
    rows[8] = std::string(45, '1');
    rows[9] = "_";
    if (ledge_row > 0) rows[static_cast<std::size_t>(ledge_row)] = "...3";
    rows[static_cast<std::size_t>(row)] = flower_row;
    return lint(rows, 0);
  };
  const std::string far_flower = std::string(43, '.') + "f";
  EXPECT_EQ(faults(far_flower, 4),
            Lines{"map_2.txt: (43, 4): start-hazard: the line of fire of the flower crosses the "
                  "hero's jump at his start (3, 7)"});
  EXPECT_EQ(faults(far_flower, 2),
            Lines{"map_2.txt: (43, 2): start-hazard: the line of fire of the flower crosses the "
                  "hero's jump at his start (3, 7)"});
  // Above the jump, or stopped by ground on its own row, it is no hazard at the start.
  EXPECT_EQ(faults(far_flower, 1), Lines{});
  EXPECT_EQ(faults(std::string(20, '.') + "4" + std::string(22, '.') + "f", 4), Lines{});
  // A ledge above the start stops the jump below a line of fire higher up, not one below it.
  EXPECT_EQ(faults(far_flower, 4, 5), Lines{});
  EXPECT_EQ(faults(far_flower, 4, 3).size(), 1u);
}

TEST_F(LevelLint, AHedgehogNeedsGroundToWalkOnAndNoWallInItsWay) {
  EXPECT_EQ(lint({"......h", "", ".@..........E", "1111111111111", "_"}, 3),
            Lines{"map_2.txt: (6, 3): hedgehog: the hedgehog at (6, 3) has no ground directly "
                  "below it (hedgehogs do not fall)"});
  EXPECT_EQ(lint({"..........h", "..........1", ".@..........E", "1111111111111", "_"}, 3),
            Lines{"map_2.txt: (10, 3): hedgehog: the hedgehog at (10, 3) has no ground beside "
                  "the cell below it to walk on"});
  EXPECT_EQ(lint({".@...h..44.3E", "1111111111111", "_"}),
            (Lines{"map_2.txt: (8, 5): hedgehog: the hedgehog at (5, 5) walks through the ground "
                   "from here to (9, 5): walls beside a hedgehog do not stop it",
                   "map_2.txt: (11, 5): hedgehog: the hedgehog at (5, 5) walks through this "
                   "ground: walls beside a hedgehog do not stop it"}));
}

TEST_F(LevelLint, ALevelFileOfTheWrongSizeOrThatCannotBeReadIsOneFault) {
  const std::filesystem::path short_file = scratch.write("map_4.dat", std::string(159996, '\0'));
  const std::vector<LintFault> faults = levels::lint_level_file(short_file.string());
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(levels::fault_line("map_4.dat", faults[0]),
            "map_4.dat: grid: holds 159996 bytes; a level file holds the 200 x 200 cells in "
            "exactly 160000");

  const std::filesystem::path wide = scratch.write("map_5.txt", std::string(201, '.') + "\n");
  const std::vector<LintFault> text_faults = levels::lint_level_file(wide.string());
  ASSERT_EQ(text_faults.size(), 1u);
  EXPECT_EQ(text_faults[0].rule, "file");
  EXPECT_NE(text_faults[0].message.find("map_5.txt:1:201: error:"), std::string::npos);

  EXPECT_EQ(levels::lint_level_file((scratch.path() / "map_6.dat").string())[0].rule, "file");
}

}  // namespace
