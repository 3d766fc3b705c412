#include "route_search.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <queue>
#include <tuple>

#include "level/box.h"
#include "level/cell_codes.h"
#include "route_play.h"

namespace routes {

namespace {

using levels::columns;
using levels::rows;

constexpr double unreachable = std::numeric_limits<double>::infinity();
constexpr int jump_rows = 4;     // a jump lifts the hero 258.75 pixels: four cells
constexpr int jump_columns = 2;  // and carries him about two cells either way on the way up

struct Cell {
  int column, row;
};

// How far each cell is from the goal for a hero, in cells: through empty cells only, upwards
// only into cells within a jump of some ground, never through a death zone or a saw's blade.
class DistanceField {
 public:
  DistanceField(const levels::Grid& grid, const std::vector<Cell>& goals) : grid_(grid) {
    mark_hazards();
    mark_reach();
    spread_from(goals);
  }

  // Roughly how many pixels the hero whose top-left corner is (x, y) has to go. A hero beyond
  // the grid (high in a jump from its top row) is measured from the nearest cells inside it.
  double from(float x, float y) const {
    const double cx = x + 32.0, cy = y + 32.0;
    const int column = std::clamp(static_cast<int>(std::floor(cx / cell_size)), 0, columns - 1);
    const int row = std::clamp(static_cast<int>(std::floor(cy / cell_size)), 0, rows - 1);
    double best = unreachable;
    for (int dc = -1; dc <= 1; ++dc) {
      for (int dr = -1; dr <= 1; ++dr) {
        const int c = column + dc, r = row + dr;
        if (!inside(c, r) || distance_[index(c, r)] == unreachable) continue;
        const double ex = cx - (c * cell_size + 32.0), ey = cy - (r * cell_size + 32.0);
        best = std::min(best, distance_[index(c, r)] * cell_size + std::hypot(ex, ey));
      }
    }
    return best;
  }

 private:
  static bool inside(int c, int r) { return c >= 0 && c < columns && r >= 0 && r < rows; }
  static std::size_t index(int c, int r) {
    return static_cast<std::size_t>(c) * rows + static_cast<std::size_t>(r);
  }
  bool ground(int c, int r) const {
    const std::int32_t code = grid_.at(c, r);
    return code >= cell::first_ground && code <= cell::last_ground;
  }
  bool open(int c, int r) const { return inside(c, r) && !ground(c, r) && !hazard_[index(c, r)]; }

  void mark_hazards() {
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r < rows; ++r) {
        const std::int32_t code = grid_.at(c, r);
        if (code == cell::death_zone || code == cell::small_saw) hazard_[index(c, r)] = true;
        if (code == cell::large_saw) {
          // The large blade covers the cell and those right of and below it.
          for (int dc = 0; dc <= 1; ++dc) {
            for (int dr = 0; dr <= 1; ++dr) {
              if (inside(c + dc, r + dr)) hazard_[index(c + dc, r + dr)] = true;
            }
          }
        }
      }
    }
  }

  // The cells a jump from some standing place reaches.
  void mark_reach() {
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r + 1 < rows; ++r) {
        if (ground(c, r) || !ground(c, r + 1)) continue;
        for (int dc = -jump_columns; dc <= jump_columns; ++dc) {
          for (int dr = -jump_rows; dr <= 0; ++dr) {
            if (inside(c + dc, r + dr)) reach_[index(c + dc, r + dr)] = true;
          }
        }
      }
    }
  }

  // Whether the hero can go from (c, r) to the neighbouring cell (c + dc, r + dr).
  bool move(int c, int r, int dc, int dr) const {
    const int tc = c + dc, tr = r + dr;
    if (!open(c, r) || !open(tc, tr)) return false;
    if (dr < 0 && !reach_[index(tc, tr)]) return false;
    // Not between two blocks that meet at a corner.
    return dc == 0 || dr == 0 || (open(tc, r) && open(c, tr));
  }

  // Dijkstra from the goals, along the moves backwards.
  void spread_from(const std::vector<Cell>& goals) {
    using Entry = std::pair<double, std::size_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (const Cell& g : goals) {
      if (!inside(g.column, g.row)) continue;
      distance_[index(g.column, g.row)] = 0;
      queue.push({0.0, index(g.column, g.row)});
    }
    while (!queue.empty()) {
      const auto [d, i] = queue.top();
      queue.pop();
      if (d > distance_[i]) continue;
      const int c = static_cast<int>(i / rows), r = static_cast<int>(i % rows);
      for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
          // A cell from which the hero moves here.
          const int fc = c - dc, fr = r - dr;
          if ((dc == 0 && dr == 0) || !move(fc, fr, dc, dr)) continue;
          const double nd = d + (dc != 0 && dr != 0 ? std::sqrt(2.0) : 1.0);
          if (nd < distance_[index(fc, fr)]) {
            distance_[index(fc, fr)] = nd;
            queue.push({nd, index(fc, fr)});
          }
        }
      }
    }
  }

  const levels::Grid& grid_;
  std::vector<bool> hazard_ = std::vector<bool>(columns * rows, false);
  std::vector<bool> reach_ = std::vector<bool>(columns * rows, false);
  std::vector<double> distance_ = std::vector<double>(columns * rows, unreachable);
};

// A move: keys held for the move's frames; the stone, if any, is thrown in its first frame.
struct Move {
  KeySet keys;
  bool throws;
  KeySet in_frame(int i) const {
    KeySet k = keys;
    if (throws && i == 0) k.set(Key::space, true);
    return k;
  }
};

std::vector<Move> moves_for(bool hedgehogs) {
  const std::vector<KeySet> walks = {
      {}, {Key::right}, {Key::left}, {Key::right, Key::shift}, {Key::left, Key::shift}};
  std::vector<Move> moves;
  for (KeySet walk : walks) {
    moves.push_back({walk, false});
    walk.set(Key::up, true);
    moves.push_back({walk, false});
  }
  if (hedgehogs) {
    for (const KeySet& walk : {KeySet{}, KeySet{Key::right}, KeySet{Key::left}}) {
      moves.push_back({walk, true});
    }
  }
  return moves;
}

// The moves that led to a node, newest first.
struct Path {
  std::shared_ptr<const Path> before;
  int move;
  int frames;
};

struct Node {
  std::shared_ptr<const LevelSession::Snapshot> snapshot;
  std::shared_ptr<const Path> path;
  int stage = 0;  // waypoints passed
  double score = 0;
  HeroState hero;
  int jump = 0;
};

std::vector<KeySet> keys_of(const std::shared_ptr<const Path>& last,
                            const std::vector<Move>& moves) {
  std::vector<const Path*> order;
  for (const Path* p = last.get(); p; p = p->before.get()) order.push_back(p);
  std::vector<KeySet> held;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    for (int i = 0; i < (*it)->frames; ++i) {
      held.push_back(moves[static_cast<std::size_t>((*it)->move)].in_frame(i));
    }
  }
  return held;
}

bool touches(const HeroState& hero, const Waypoint& w) {
  return overlap(box(hero.x, hero.y, 64, 64), box(static_cast<float>(w.column * cell_size),
                                                  static_cast<float>(w.row * cell_size), 64, 64));
}

class Search {
 public:
  Search(int level, const levels::Grid& grid, const SearchOptions& options)
      : options_(options), session_(start_, level), moves_(moves_for(has(grid, cell::hedgehog))) {
    for (const Waypoint& w : options.via)
      fields_.emplace_back(grid, std::vector<Cell>{{w.column, w.row}});
    std::vector<Cell> exits;
    for (int c = 0; c < columns; ++c) {
      for (int r = 0; r < rows; ++r) {
        if (grid.at(c, r) == cell::level_exit) exits.push_back({c, r});
      }
    }
    fields_.emplace_back(grid, exits);
  }

  SearchResult run() {
    const auto start = std::chrono::steady_clock::now();
    if (!play_lead()) return result_;
    Node root{session_.snapshot(), nullptr, 0, 0, session_.hero(), 0};
    root.score = score(root.stage, root.hero);
    std::vector<Node> beam{root};
    best_ = root;
    int frame = static_cast<int>(options_.lead.size()), best_at = frame;
    while (!found_ && !beam.empty()) {
      beam = next_round(beam);
      frame += options_.step;
      if (!beam.empty() && beam.front().score < best_.score) {
        best_ = beam.front();
        best_at = frame;
      }
      if (options_.progress && (frame / options_.step) % 16 == 0) report(frame);
      if (found_) break;
      if (frame >= options_.max_frames + static_cast<int>(options_.lead.size())) {
        result_.reason = "no route within " + std::to_string(options_.max_frames) + " frames";
        break;
      }
      if (frame - best_at >= options_.patience) {
        result_.reason =
            "no nearer to the exit for " + std::to_string(options_.patience) + " frames";
        break;
      }
    }
    if (!found_ && beam.empty()) result_.reason = "every way the search tried cost a life";
    result_.closest = best_.hero;
    result_.closest_frame = best_at;
    result_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result_;
  }

 private:
  // Plays the frames the search goes on from; a lead that ends play is no place to start.
  bool play_lead() {
    for (std::size_t f = 0; f < options_.lead.size(); ++f) {
      const Outcome outcome = session_.frame(options_.lead[f]);
      ++result_.frames_played;
      if (outcome != Outcome::playing) {
        result_.reason = "the route to go on from ends play in its frame " + std::to_string(f);
        result_.closest = session_.hero();
        result_.closest_frame = static_cast<int>(f);
        return false;
      }
    }
    return true;
  }

  static bool has(const levels::Grid& grid, std::int32_t code) {
    return std::find(grid.codes().begin(), grid.codes().end(), code) != grid.codes().end();
  }

  double score(int stage, const HeroState& hero) const {
    const double stages_left =
        static_cast<double>(fields_.size() - 1 - static_cast<std::size_t>(stage));
    return stages_left * 1e7 + fields_[static_cast<std::size_t>(stage)].from(hero.x, hero.y);
  }

  // Every move from every node of the beam; the best of them, kept varied, for the next round.
  std::vector<Node> next_round(const std::vector<Node>& beam) {
    std::vector<Node> children;
    for (const Node& node : beam) {
      for (std::size_t m = 0; m < moves_.size() && !found_; ++m) {
        if (auto child = play_move(node, static_cast<int>(m))) children.push_back(*child);
      }
      if (found_) return {};
    }
    return choose(distinct(std::move(children)));
  }

  std::optional<Node> play_move(const Node& node, int m) {
    session_.restore(*node.snapshot);
    const Move& move = moves_[static_cast<std::size_t>(m)];
    int stage = node.stage;
    for (int i = 0; i < options_.step; ++i) {
      const Outcome outcome = session_.frame(move.in_frame(i));
      ++result_.frames_played;
      if (outcome == Outcome::reached_exit && stage + 1 == static_cast<int>(fields_.size())) {
        found_ = true;
        result_.found = true;
        result_.held = options_.lead;
        const std::vector<KeySet> found =
            keys_of(std::make_shared<const Path>(Path{node.path, m, i + 1}), moves_);
        result_.held.insert(result_.held.end(), found.begin(), found.end());
        return std::nullopt;
      }
      if (outcome != Outcome::playing) return std::nullopt;
      const HeroState hero = session_.hero();
      if (stage + 1 < static_cast<int>(fields_.size()) &&
          touches(hero, options_.via[static_cast<std::size_t>(stage)])) {
        ++stage;
      }
    }
    Node child{session_.snapshot(),
               std::make_shared<const Path>(Path{node.path, m, options_.step}),
               stage,
               0,
               session_.hero(),
               session_.game()._player->_jump};
    child.score = score(stage, child.hero);
    return child;
  }

  // One node for each way the hero can be: where he is to a few pixels, his speeds, and whether
  // he is in a jump; the nearest to the exit of those that are the same.
  static std::vector<Node> distinct(std::vector<Node> nodes) {
    std::map<std::tuple<int, int, int, int, int, int>, std::size_t> seen;
    std::vector<Node> kept;
    for (Node& n : nodes) {
      const auto key =
          std::make_tuple(truncated(n.hero.x) >> 2, truncated(n.hero.y) >> 2,
                          truncated(n.hero.move_x * 2), truncated(n.hero.move_y), n.jump, n.stage);
      const auto [it, fresh] = seen.try_emplace(key, kept.size());
      if (fresh) {
        kept.push_back(std::move(n));
      } else if (n.score < kept[it->second].score) {
        kept[it->second] = std::move(n);
      }
    }
    return kept;
  }

  // The nearest of each 32-pixel square first, so that the beam stays spread out, then the
  // nearest of the rest.
  std::vector<Node> choose(std::vector<Node> nodes) const {
    std::sort(nodes.begin(), nodes.end(),
              [](const Node& a, const Node& b) { return a.score < b.score; });
    const std::size_t beam = static_cast<std::size_t>(options_.beam);
    std::vector<Node> chosen;
    std::vector<bool> taken(nodes.size(), false);
    std::map<std::tuple<int, int, int>, bool> squares;
    for (std::size_t i = 0; i < nodes.size() && chosen.size() < beam / 2; ++i) {
      const HeroState& h = nodes[i].hero;
      const auto square =
          std::make_tuple(truncated(h.x + 32) >> 5, truncated(h.y + 32) >> 5, nodes[i].stage);
      if (!squares.try_emplace(square, true).second) continue;
      chosen.push_back(nodes[i]);
      taken[i] = true;
    }
    for (std::size_t i = 0; i < nodes.size() && chosen.size() < beam; ++i) {
      if (!taken[i]) chosen.push_back(nodes[i]);
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const Node& a, const Node& b) { return a.score < b.score; });
    return chosen;
  }

  void report(int frame) const {
    *options_.progress << "frame " << frame << ": nearest " << static_cast<long>(best_.score)
                       << ", the hero at " << describe(best_.hero) << "; " << result_.frames_played
                       << " frames played\n";
  }

  SearchOptions options_;
  GameStart start_;
  LevelSession session_;
  std::vector<Move> moves_;
  std::vector<DistanceField> fields_;  // one for each waypoint, then the exits
  SearchResult result_;
  Node best_;
  bool found_ = false;
};

}  // namespace

SearchResult search_route(int level, const levels::Grid& grid, const SearchOptions& options) {
  SearchResult result = Search(level, grid, options).run();
  if (!result.found) return result;
  const Route route = route_of(result.held);
  const RouteResult replay = play_route(level, route);
  if (!replay.passed()) {
    result.found = false;
    result.reason = "the route found did not play again from a fresh start: " + replay.summary();
  }
  return result;
}

}  // namespace routes
