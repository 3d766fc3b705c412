#pragma once
// The rules every level keeps, checked before it is played. Each fault names the cell (column,
// row, from 0) where the rule breaks, and the rule:
//
//   hero-start   exactly one hero start (@);
//   hero-ground  a ground cell directly below the hero's start;
//   exit         at least one exit (E);
//   bottom-line  a bottom line (_), and the one the game takes (the last in column order) at or
//                below the bottom of the lowest ground, so that the camera can show all of it;
//   pit          a hero who walks or jumps off the ground into a pit dies within a second;
//   start-hazard nothing touches the hero where he starts;
//   hedgehog     every hedgehog has ground under it, room to walk, and no wall in its way;
//   grid         a level file holds exactly the 200 x 200 cells.
//
// A pit: from a standing place (an empty cell with ground directly below), the empty cells on
// its left or right at the same height whose columns hold no ground further down, and on from
// there as long as that stays so; beyond the grid's left and right edges nothing holds ground.
// The hero falls into such a column from rest at the height he left the ground; within 60
// frames (0.25 faster every frame, 457.5 pixels) he must touch a death zone (X) of that column
// or pass the line 100 pixels below the lowest-wall line, where the game takes his life.
//
// What touches the hero's start, measured with the boxes play tests him with: a death zone; a
// saw's blade; a hedgehog anywhere within a second's walk (81 pixels) of its cell; a flower to
// the right of him, on his row or on a row his jump on the spot reaches, with no ground in between
// on its row (it shoots left every three seconds, and its bullets fly on until ground stops them).

#include <string>
#include <vector>

#include "level_text.h"

namespace levels {

struct LintFault {
  int column, row;  // -1, -1: the level as a whole
  std::string rule;
  std::string message;
};

// Builds the world with the game's own level code, so it needs a media back end
// (media::use_headless()).
std::vector<LintFault> lint_level(const Grid& grid);
// The level's text (".txt") or file; one that cannot be read is a single fault, of the rule
// "grid" for a file of the wrong size.
std::vector<LintFault> lint_level_file(const std::string& path);

// "map_3.txt: (12, 5): pit: <message>", or without the cell for the level as a whole.
std::string fault_line(const std::string& level_name, const LintFault& fault);

}  // namespace levels
