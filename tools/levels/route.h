#pragma once
// A route: the keys a player presses to take the hero from a level's start to its exit, frame by
// frame. Frames are play frames counted from 0, the level's first. The text has one instruction
// per line; `#` starts a comment, blank lines are allowed:
//
//   0 down right          right goes down before frame 0 and stays down
//   45 tap up             up is down in frame 45 only (it goes up before frame 46)
//   80 down shift         shift (run) goes down too
//   120 up right shift    several keys on one line: both go up before frame 120
//   300 exit              the hero touches the exit in frame 300 at the latest (the last line)
//
// Keys: left, right, up (jump), shift (run), space (throw). Frames never go down from one line
// to the next. A key goes down only when it is up, and up only when it is down; a tapped key
// counts as down until the next frame.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace routes {

enum class Key { left, right, up, shift, space };
constexpr int key_count = 5;
constexpr std::array<Key, key_count> all_keys = {Key::left, Key::right, Key::up, Key::shift,
                                                 Key::space};

const char* key_name(Key key);
// The game's code for the key (the left shift for shift).
int key_code(Key key);

// The keys held in one frame, one bit per key.
class KeySet {
 public:
  KeySet() = default;
  KeySet(std::initializer_list<Key> keys);
  bool has(Key key) const { return (bits_ & bit(key)) != 0; }
  void set(Key key, bool down);
  bool operator==(const KeySet&) const = default;

 private:
  static std::uint8_t bit(Key key) {
    return static_cast<std::uint8_t>(1u << static_cast<int>(key));
  }
  std::uint8_t bits_ = 0;
};

struct KeyChange {
  int frame;
  Key key;
  bool down;
};

struct Route {
  std::vector<KeyChange> changes;  // in frame order
  int exit_frame = 0;              // the frame in which the hero reaches the exit at the latest
  // The keys held in each frame from 0 to exit_frame.
  std::vector<KeySet> held_by_frame() const;
};

// A fault in a route's text; what() reads "line 4: <reason>".
class RouteError : public std::runtime_error {
 public:
  RouteError(int line, const std::string& reason);
  int line() const { return line_; }

 private:
  int line_;
};

Route parse_route(std::string_view text);
Route read_route(const std::string& path);  // errors name the file: "map_3.route:4: ..."

// The route that holds `held[f]` in frame f and expects the exit by the last frame.
Route route_of(const std::vector<KeySet>& held);
// The route's text, with `comment` (lines of text, each put after "# ") at the top. A key that
// goes up in the frame after it went down is written as a tap.
std::string route_text(const Route& route, const std::string& comment);

}  // namespace routes
