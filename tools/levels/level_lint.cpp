#include "level_lint.h"

#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>

#include "level/box.h"
#include "level/cell_codes.h"
#include "level/records.h"
#include "level_files.h"
#include "level_world.h"

namespace levels {

namespace {

// A hero falling from rest gains 0.25 pixels a frame of speed; in 60 frames he falls
// 0.25 * (1 + 2 + ... + 60) pixels.
constexpr int fall_frames = 60;
constexpr float fall_in_a_second = 0.25f * fall_frames * (fall_frames + 1) / 2.0f;
// A level hedgehog walks 1.35 pixels a frame.
constexpr float hedgehog_walk_in_a_second = 1.35f * fall_frames;
// How high the top of a hero jumping from level ground rises.
constexpr float jump_height = 258.75f;

struct Cell {
  int column, row;
};
// Row by row, so that neighbours on a row come one after another.
struct RowOrder {
  bool operator()(const Cell& a, const Cell& b) const {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  }
};
using CellSet = std::set<Cell, RowOrder>;

// Appended piece by piece: GCC 12 at -O3 takes "(" + a temporary for an overlapping copy.
std::string at(int column, int row) {
  std::string text = "(";
  text += std::to_string(column);
  text += ", ";
  text += std::to_string(row);
  text += ')';
  return text;
}

class Linter {
 public:
  explicit Linter(const Grid& grid) : grid_(grid), world_(built_world(grid)) {}

  std::vector<LintFault> run() {
    check_hero_start();
    check_exit();
    check_bottom_line();
    check_pits();
    check_start_hazards();
    check_hedgehogs();
    return std::move(faults_);
  }

 private:
  static bool inside(int column, int row) {
    return column >= 0 && column < columns && row >= 0 && row < rows;
  }
  std::int32_t code(int column, int row) const {
    return inside(column, row) ? grid_.at(column, row) : cell::empty;
  }
  bool ground(int column, int row) const {
    const std::int32_t c = code(column, row);
    return c >= cell::first_ground && c <= cell::last_ground;
  }
  // In column order, as the game reads them.
  std::vector<Cell> cells_of(std::int32_t wanted) const {
    std::vector<Cell> found;
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r < rows; ++r) {
        if (grid_.at(c, r) == wanted) found.push_back({c, r});
      }
    }
    return found;
  }
  void fault(int column, int row, const char* rule, std::string message) {
    faults_.push_back({column, row, rule, std::move(message)});
  }

  void check_hero_start() {
    const std::vector<Cell> starts = cells_of(cell::hero_start);
    if (starts.empty()) {
      fault(-1, -1, "hero-start", "the level has no hero start (@)");
      return;
    }
    const Cell used = starts.back();
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
      fault(starts[i].column, starts[i].row, "hero-start",
            "a second hero start; the game takes the last in column order, " +
                at(used.column, used.row));
    }
    if (!ground(used.column, used.row + 1)) {
      fault(used.column, used.row, "hero-ground",
            "the hero starts with no ground (1-4) directly below him");
    }
  }

  void check_exit() {
    if (cells_of(cell::level_exit).empty()) fault(-1, -1, "exit", "the level has no exit (E)");
  }

  int lowest_ground_row() const {
    for (int r = rows - 1; r >= 0; --r) {
      for (int c = 0; c < columns; ++c) {
        if (ground(c, r)) return r;
      }
    }
    return -1;
  }

  void check_bottom_line() {
    const std::vector<Cell> lines = cells_of(cell::bottom_line);
    if (lines.empty()) {
      fault(-1, -1, "bottom-line",
            "the level has no bottom line (_): the camera would keep the limit of the level "
            "played before it, and on the first level of a game show nothing below row 0");
      return;
    }
    const Cell used = lines.back();
    for (const Cell& other : lines) {
      if (other.row != used.row) {
        fault(other.column, other.row, "bottom-line",
              "bottom lines on different rows: the game takes only the last in column order, " +
                  at(used.column, used.row));
        break;
      }
    }
    const int lowest = lowest_ground_row();
    if (lowest >= 0 && used.row <= lowest) {
      fault(used.column, used.row, "bottom-line",
            "the bottom line is at row " + std::to_string(used.row) +
                ", not below the lowest ground (row " + std::to_string(lowest) +
                "): the camera cannot show that ground; put it at row " +
                std::to_string(lowest + 1) + " or lower");
    }
  }

  // No ground in the column below the row; columns beyond the grid hold none.
  bool bottomless_below(int column, int row) const {
    for (int r = row + 1; r < rows; ++r) {
      if (ground(column, r)) return false;
    }
    return true;
  }

  // Whether a hero falling from rest with his top at row `row` in `column` dies within a second:
  // his box touches a death zone of the column, or he passes the fall line.
  bool dies_within_a_second(int column, int row) const {
    const float lowest_top = static_cast<float>(cell_size * row) + fall_in_a_second;
    for (int r = row; r < rows; ++r) {
      if (code(column, r) == cell::death_zone) {
        if (lowest_top >= static_cast<float>(cell_size * (r - 1))) return true;
        break;
      }
    }
    return lowest_top > fall_line(*world_);
  }

  // The pit cells a hero standing at (column, row) can step or jump into on the side `step`.
  void pit_cells_beside(int column, int row, int step, CellSet& slow) const {
    for (int c = column + step; !ground(c, row) && bottomless_below(c, row); c += step) {
      if (!dies_within_a_second(c, row)) slow.insert({c, row});
      if (c < 0 || c >= columns) return;  // beyond the edge the pit goes on for ever
    }
  }

  void check_pits() {
    CellSet slow;
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r + 1 < rows; ++r) {
        if (ground(c, r) || !ground(c, r + 1)) continue;
        pit_cells_beside(c, r, -1, slow);
        pit_cells_beside(c, r, 1, slow);
      }
    }
    // One fault for each stretch of neighbouring columns on a row.
    for (auto it = slow.begin(); it != slow.end();) {
      const Cell first = *it;
      Cell last = first;
      for (++it; it != slow.end() && it->row == first.row && it->column == last.column + 1; ++it) {
        last = *it;
      }
      report_pit(first, last);
    }
  }

  void report_pit(Cell first, Cell last) {
    const std::string deepest = std::to_string(first.row + 8);
    const std::string tail =
        ": he falls for more than a second before he dies; put a death "
        "zone (X) in each of those columns, no lower than row " +
        deepest;
    if (first.column < 0) {
      fault(0, first.row, "pit",
            "the hero can walk off the world's left edge at row " + std::to_string(first.row) +
                ": he falls for more than a second before he dies; put ground in his way");
      if (last.column < 0) return;
      first.column = 0;
    }
    if (last.column >= columns) {
      fault(columns - 1, last.row, "pit",
            "the hero can walk off the world's right edge at row " + std::to_string(last.row) +
                ": he falls for more than a second before he dies; put ground in his way");
      if (first.column >= columns) return;
      last.column = columns - 1;
    }
    const std::string where =
        first.column == last.column
            ? "column " + std::to_string(first.column)
            : "columns " + std::to_string(first.column) + " to " + std::to_string(last.column);
    fault(first.column, first.row, "pit",
          "a hero who leaves the ground at row " + std::to_string(first.row) + " into " + where +
              tail);
  }

  void check_start_hazards() {
    if (cells_of(cell::hero_start).empty()) return;
    const TPlayer& hero = *world_->_player;
    const float hx = hero._x, hy = hero._y;
    const Box whole = box(hx, hy, 64, 64);
    const Box body = box(hx + 10, hy + 10, 44, 44);
    const Box against_hedgehogs = box(hx + 10, hy + 5, 44, 54);
    const int start_column = truncated(hx) / cell_size, start_row = truncated(hy) / cell_size;
    auto hazard = [&](float x, float y, const std::string& what) {
      fault(truncated(x) / cell_size, truncated(y) / cell_size, "start-hazard",
            what + " touches the hero's start " + at(start_column, start_row));
    };
    world_->each_object<TScript>([&](TScript& s) {
      if (s._type == 1 && overlap(box(s._x, s._y, 64, 64), whole))
        hazard(s._x, s._y, "the death zone");
    });
    world_->each_object<TSaw>([&](TSaw& s) {
      const Box blade =
          s._size == 0 ? box(s._x + 12, s._y + 12, 104, 104) : box(s._x + 6, s._y + 6, 52, 52);
      if (overlap(blade, body)) hazard(s._x, s._y, "the blade of the saw");
    });
    world_->each_object<THedgehog>([&](THedgehog& h) {
      const Box reach =
          box(h._x - hedgehog_walk_in_a_second, h._y + 19, 64 + 2 * hedgehog_walk_in_a_second, 45);
      if (overlap(reach, against_hedgehogs))
        hazard(h._x, h._y, "within a second's walk, the hedgehog");
    });
    // A new player jumps on the spot before anything else, so a bullet that crosses the height
    // of that jump, from however far away, would take a life he could not see coming. Ground
    // above his start stops the jump short.
    int top_of_jump_row = truncated(hy - jump_height) / cell_size;
    for (int r = start_row - 1; r >= top_of_jump_row; --r) {
      if (ground(start_column, r)) {
        top_of_jump_row = r + 1;
        break;
      }
    }
    world_->each_object<TFlower>([&](TFlower& f) {
      const int column = truncated(f._x) / cell_size, row = truncated(f._y) / cell_size;
      if (row < top_of_jump_row || row > start_row || column <= start_column) return;
      for (int c = start_column + 1; c < column; ++c) {
        if (ground(c, row)) return;
      }
      if (row == start_row) {
        hazard(f._x, f._y, "the line of fire of the flower");
      } else {
        fault(column, row, "start-hazard",
              "the line of fire of the flower crosses the hero's jump at his start " +
                  at(start_column, start_row));
      }
    });
  }

  // The stretch of columns a hedgehog at (column, row) patrols: it walks on while its probe, just
  // below its feet beyond its front edge, touches a wall, and the probe touches the walls of its
  // own row as well as those of the row below.
  std::pair<int, int> patrol(int column, int row) const {
    auto walkable = [&](int c) { return ground(c, row + 1) || ground(c, row); };
    int first = column, last = column;
    while (first - 1 >= 0 && walkable(first - 1)) --first;
    while (last + 1 < columns && walkable(last + 1)) ++last;
    return {first, last};
  }

  void check_hedgehogs() {
    for (const Cell& h : cells_of(cell::hedgehog)) {
      const std::string name = "the hedgehog at " + at(h.column, h.row);
      if (!ground(h.column, h.row + 1)) {
        fault(h.column, h.row, "hedgehog",
              name + " has no ground directly below it (hedgehogs do not fall)");
        continue;
      }
      const auto [first, last] = patrol(h.column, h.row);
      if (first == last) {
        fault(h.column, h.row, "hedgehog",
              name + " has no ground beside the cell below it to walk on");
      }
      for (int c = first; c <= last; ++c) {
        if (!ground(c, h.row)) continue;
        const int from = c;
        while (c + 1 <= last && ground(c + 1, h.row)) ++c;
        const std::string where =
            from == c ? "this ground" : "the ground from here to " + at(c, h.row);
        fault(from, h.row, "hedgehog",
              name + " walks through " + where + ": walls beside a hedgehog do not stop it");
      }
    }
  }

  const Grid& grid_;
  std::unique_ptr<TGame> world_;
  std::vector<LintFault> faults_;
};

bool is_text(const std::string& path) {
  return std::filesystem::path(path).extension() == ".txt";
}

}  // namespace

std::vector<LintFault> lint_level(const Grid& grid) {
  return Linter(grid).run();
}

std::vector<LintFault> lint_level_file(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!is_text(path) && !error && size != file_size) {
    return {{-1, -1, "grid",
             "holds " + std::to_string(size) + " bytes; a level file holds the " +
                 std::to_string(columns) + " x " + std::to_string(rows) + " cells in exactly " +
                 std::to_string(file_size)}};
  }
  try {
    return lint_level(read_level(path));
  } catch (const std::runtime_error& e) {
    return {{-1, -1, "file", e.what()}};
  }
}

std::string fault_line(const std::string& level_name, const LintFault& fault) {
  std::string line = level_name + ":";
  if (fault.column >= 0) {
    line += ' ';
    line += at(fault.column, fault.row);
    line += ':';
  }
  return line + " " + fault.rule + ": " + fault.message;
}

}  // namespace levels
