#pragma once
// Where the walls of a level stand, for the tests that look for walls touching a box: a grid of
// cells, each holding the list positions of the walls whose top-left corner lies in it.
//
// Walls never move while a level lasts and a wall list only grows while the level is built, so
// the grid is made once per list: it is made anew when it is asked about another list, or about
// one whose revision has moved (a wall added or removed). A wall whose position is changed in
// place, without going through the list, is not seen: nothing in the game does that.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "level/box.h"

class TList;
class TWall;

class WallGrid {
 public:
  // Makes the grid describe `walls` (none: no walls), unless it already does.
  void track(const std::shared_ptr<TList>& walls);

  // Whether some wall's 64 x 64 square overlaps `box`.
  bool any_overlaps(const Box& box) const;
  // The list positions, after `after` and in list order, of the walls whose squares overlap at
  // least one of `boxes`. The answer lives until the next call.
  std::span<const int> overlapping(std::span<const Box> boxes, int after);
  TWall& wall(int position) const { return *walls_[static_cast<std::size_t>(position)]; }

 private:
  struct CellRange {
    std::int64_t first_col, last_col, first_row, last_row;
    bool empty() const { return first_col > last_col || first_row > last_row; }
  };
  void build();
  // The cells holding the corners of every wall that can touch `box`.
  CellRange cells_touching(const Box& box) const;
  template <class Visit>
  void each_candidate(const Box& box, Visit&& visit) const;

  std::shared_ptr<TList> list_;  // held, so that its address cannot pass to another list
  std::uint64_t revision_ = 0;
  std::vector<TWall*> walls_;  // in list order
  std::vector<Box> squares_;   // walls_[i]'s square
  std::int64_t left_ = 0, top_ = 0, cols_ = 0, rows_ = 0;
  int shift_ = 6;                // a cell's side is 1 << shift_
  std::vector<int> cell_start_;  // cell c holds cell_items_[cell_start_[c] .. cell_start_[c + 1])
  std::vector<int> cell_items_;  // list positions, ascending within each cell
  std::vector<int> answer_;
};
