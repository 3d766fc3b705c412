#include "level/wall_grid.h"

#include <algorithm>

#include "level/records.h"

namespace {

// A grid of at most this many cells per wall (and a few thousand for small lists): the cell
// side doubles from one ground block until the walls' extent fits.
constexpr std::int64_t cells_per_wall = 4;
constexpr std::int64_t least_cells = 4096;
constexpr int cell_shift = 6;  // cells start as wide as a ground block
static_assert(1 << cell_shift == cell_size);

}  // namespace

void WallGrid::track(const std::shared_ptr<TList>& walls) {
  if (walls == list_ && (!walls || walls->revision() == revision_)) return;
  list_ = walls;
  revision_ = walls ? walls->revision() : 0;
  build();
}

void WallGrid::build() {
  walls_.clear();
  squares_.clear();
  if (list_) {
    list_->each<TWall>([&](TWall& wall) {
      walls_.push_back(&wall);
      squares_.push_back(box(wall._x, wall._y, cell_size, cell_size));
    });
  }
  cols_ = rows_ = 0;
  cell_start_.assign(1, 0);
  cell_items_.clear();
  if (squares_.empty()) return;

  std::int64_t right = squares_[0].x, bottom = squares_[0].y;
  left_ = right;
  top_ = bottom;
  for (const Box& s : squares_) {
    left_ = std::min<std::int64_t>(left_, s.x);
    top_ = std::min<std::int64_t>(top_, s.y);
    right = std::max<std::int64_t>(right, s.x);
    bottom = std::max<std::int64_t>(bottom, s.y);
  }
  const std::int64_t most_cells =
      std::max(least_cells, cells_per_wall * static_cast<std::int64_t>(squares_.size()));
  for (shift_ = cell_shift;; ++shift_) {
    cols_ = ((right - left_) >> shift_) + 1;
    rows_ = ((bottom - top_) >> shift_) + 1;
    if (cols_ * rows_ <= most_cells) break;
  }

  // Counted, then placed: each cell's positions come out in list order.
  auto cell_of = [&](const Box& s) {
    return static_cast<std::size_t>(((s.y - top_) >> shift_) * cols_ + ((s.x - left_) >> shift_));
  };
  cell_start_.assign(static_cast<std::size_t>(cols_ * rows_) + 1, 0);
  for (const Box& s : squares_) ++cell_start_[cell_of(s) + 1];
  for (std::size_t c = 1; c < cell_start_.size(); ++c) cell_start_[c] += cell_start_[c - 1];
  cell_items_.resize(squares_.size());
  std::vector<int> filled(cell_start_.begin(), cell_start_.end() - 1);
  for (std::size_t i = 0; i < squares_.size(); ++i) {
    cell_items_[static_cast<std::size_t>(filled[cell_of(squares_[i])]++)] = static_cast<int>(i);
  }
}

// A wall's square touches `box` when its corner lies from 64 left of (above) the box's start to
// the box's end, touching edges included.
WallGrid::CellRange WallGrid::cells_touching(const Box& b) const {
  const std::int64_t x0 = std::int64_t{b.x} - cell_size, x1 = std::int64_t{b.x} + b.w;
  const std::int64_t y0 = std::int64_t{b.y} - cell_size, y1 = std::int64_t{b.y} + b.h;
  auto first = [&](std::int64_t v, std::int64_t origin) {
    return v <= origin ? 0 : (v - origin) >> shift_;
  };
  auto last = [&](std::int64_t v, std::int64_t origin, std::int64_t count) {
    return v < origin ? -1 : std::min(count - 1, (v - origin) >> shift_);
  };
  return {first(x0, left_), last(x1, left_, cols_), first(y0, top_), last(y1, top_, rows_)};
}

template <class Visit>
void WallGrid::each_candidate(const Box& b, Visit&& visit) const {
  const CellRange r = cells_touching(b);
  if (r.empty()) return;
  for (std::int64_t row = r.first_row; row <= r.last_row; ++row) {
    for (std::int64_t col = r.first_col; col <= r.last_col; ++col) {
      const auto c = static_cast<std::size_t>(row * cols_ + col);
      for (int k = cell_start_[c]; k < cell_start_[c + 1]; ++k) {
        if (!visit(cell_items_[static_cast<std::size_t>(k)])) return;
      }
    }
  }
}

bool WallGrid::any_overlaps(const Box& b) const {
  bool found = false;
  each_candidate(b, [&](int i) {
    found = overlap(b, squares_[static_cast<std::size_t>(i)]);
    return !found;
  });
  return found;
}

std::span<const int> WallGrid::overlapping(std::span<const Box> boxes, int after) {
  answer_.clear();
  for (const Box& b : boxes) {
    each_candidate(b, [&](int i) {
      if (i > after && overlap(b, squares_[static_cast<std::size_t>(i)])) answer_.push_back(i);
      return true;
    });
  }
  std::sort(answer_.begin(), answer_.end());
  answer_.erase(std::unique(answer_.begin(), answer_.end()), answer_.end());
  return answer_;
}

WallGrid& TGame::wall_grid() {
  _wall_grid.track(_wall_list);
  return _wall_grid;
}
