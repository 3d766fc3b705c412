#include "route.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace routes {

namespace {

struct KeyInfo {
  Key key;
  const char* name;
  int code;
};
constexpr std::array<KeyInfo, key_count> key_table = {{{Key::left, "left", 37},
                                                       {Key::right, "right", 39},
                                                       {Key::up, "up", 38},
                                                       {Key::shift, "shift", 160},
                                                       {Key::space, "space", 32}}};

const KeyInfo& info(Key key) {
  return key_table[static_cast<std::size_t>(key)];
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string_view> words_of(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    const std::size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

// "\"word\"", appended piece by piece: GCC 12 at -O3 takes "\"" + a temporary for an
// overlapping copy.
std::string quoted(std::string_view word) {
  std::string text = "\"";
  text += word;
  text += '"';
  return text;
}

// Reads the text line by line, keeping which keys are down and which taps are still to be let go.
class Reader {
 public:
  Route read(std::string_view text) {
    for (std::string_view line : lines_of(text)) {
      ++line_;
      if (done_) {
        if (!words_of(without_comment(line)).empty()) fail("nothing may follow the exit line");
      } else {
        read_line(line);
      }
    }
    if (!done_) fail("the route ends without an \"<frame> exit\" line");
    return route_;
  }

 private:
  static std::string_view without_comment(std::string_view line) {
    line = line.substr(0, line.find('#'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

  void read_line(std::string_view raw) {
    const std::vector<std::string_view> words = words_of(without_comment(raw));
    if (words.empty()) return;
    const int frame = frame_of(words[0]);
    if (words.size() < 2) fail("a frame needs an instruction: down, up, tap or exit");
    release_taps_until(frame);
    const std::string_view what = words[1];
    if (what == "exit") {
      if (words.size() != 2) fail("\"exit\" takes no keys");
      route_.exit_frame = frame;
      done_ = true;
      return;
    }
    if (what != "down" && what != "up" && what != "tap")
      fail("unknown instruction " + quoted(what) + ": down, up, tap or exit");
    if (words.size() < 3) fail(quoted(what) + " needs at least one key");
    for (std::size_t i = 2; i < words.size(); ++i) apply(frame, what, key_of(words[i]));
  }

  int frame_of(std::string_view word) {
    int frame = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), frame);
    if (error != std::errc() || end != word.data() + word.size() || frame < 0)
      fail(quoted(word) + " is not a frame number (a whole number from 0)");
    if (frame < last_frame_)
      fail("frame " + std::to_string(frame) + " comes after frame " + std::to_string(last_frame_));
    last_frame_ = frame;
    return frame;
  }

  Key key_of(std::string_view word) {
    for (const KeyInfo& k : key_table) {
      if (word == k.name) return k.key;
    }
    fail("unknown key " + quoted(word) + ": left, right, up, shift or space");
  }

  void apply(int frame, std::string_view what, Key key) {
    const bool down = held_.has(key);
    const std::string name = info(key).name;
    if (what == "up") {
      if (!down) fail(name + " goes up but is not down");
      if (down_since_[static_cast<std::size_t>(key)] == frame)
        fail(name + " goes down and up in frame " + std::to_string(frame) + ": use tap");
      change(frame, key, false);
      return;
    }
    if (down) fail(name + " goes down but is already down");
    change(frame, key, true);
    if (what == "tap") taps_.push_back({frame + 1, key, false});
  }

  void change(int frame, Key key, bool down) {
    held_.set(key, down);
    if (down) down_since_[static_cast<std::size_t>(key)] = frame;
    route_.changes.push_back({frame, key, down});
  }

  void release_taps_until(int frame) {
    std::vector<KeyChange> later;
    for (const KeyChange& tap : taps_) {
      if (tap.frame <= frame) {
        change(tap.frame, tap.key, false);
      } else {
        later.push_back(tap);
      }
    }
    taps_ = later;
  }

  [[noreturn]] void fail(const std::string& reason) { throw RouteError(line_, reason); }

  Route route_;
  KeySet held_;
  std::array<int, key_count> down_since_{};
  std::vector<KeyChange> taps_;
  int line_ = 0;
  int last_frame_ = 0;
  bool done_ = false;
};

std::string keys_text(const std::vector<Key>& keys) {
  std::string text;
  for (Key k : keys) text += std::string(" ") + key_name(k);
  return text;
}

}  // namespace

const char* key_name(Key key) {
  return info(key).name;
}

int key_code(Key key) {
  return info(key).code;
}

KeySet::KeySet(std::initializer_list<Key> keys) {
  for (Key k : keys) set(k, true);
}

void KeySet::set(Key key, bool down) {
  bits_ = static_cast<std::uint8_t>(down ? bits_ | bit(key) : bits_ & ~bit(key));
}

std::vector<KeySet> Route::held_by_frame() const {
  std::vector<KeySet> held(static_cast<std::size_t>(exit_frame) + 1);
  KeySet now;
  std::size_t next = 0;
  for (int f = 0; f <= exit_frame; ++f) {
    for (; next < changes.size() && changes[next].frame <= f; ++next) {
      now.set(changes[next].key, changes[next].down);
    }
    held[static_cast<std::size_t>(f)] = now;
  }
  return held;
}

RouteError::RouteError(int line, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line) {}

Route parse_route(std::string_view text) {
  return Reader().read(text);
}

Route read_route(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read: " + std::strerror(errno));
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  try {
    return parse_route(text);
  } catch (const RouteError& error) {
    const std::string what = error.what();
    throw std::runtime_error(path + ":" + what.substr(what.find(' ') + 1));
  }
}

Route route_of(const std::vector<KeySet>& held) {
  Route route;
  route.exit_frame = static_cast<int>(held.size()) - 1;
  KeySet before;
  for (std::size_t f = 0; f < held.size(); ++f) {
    for (Key k : all_keys) {
      if (held[f].has(k) != before.has(k))
        route.changes.push_back({static_cast<int>(f), k, held[f].has(k)});
    }
    before = held[f];
  }
  return route;
}

std::string route_text(const Route& route, const std::string& comment) {
  std::ostringstream out;
  std::istringstream lines(comment);
  for (std::string line; std::getline(lines, line);) out << "# " << line << "\n";
  const std::vector<KeyChange>& changes = route.changes;
  std::vector<bool> written(changes.size(), false);
  // The up that ends a one-frame press, if there is one.
  auto tap_end = [&](std::size_t i) {
    for (std::size_t j = i + 1; j < changes.size() && changes[j].frame <= changes[i].frame + 1;
         ++j) {
      if (changes[j].key == changes[i].key && changes[j].frame == changes[i].frame + 1) return j;
    }
    return changes.size();
  };
  for (std::size_t i = 0; i < changes.size();) {
    const int frame = changes[i].frame;
    std::vector<Key> ups, downs, taps;
    for (; i < changes.size() && changes[i].frame == frame; ++i) {
      if (written[i]) continue;
      if (!changes[i].down) {
        ups.push_back(changes[i].key);
      } else if (const std::size_t end = tap_end(i); end < changes.size()) {
        written[end] = true;
        taps.push_back(changes[i].key);
      } else {
        downs.push_back(changes[i].key);
      }
    }
    if (!ups.empty()) out << frame << " up" << keys_text(ups) << "\n";
    if (!downs.empty()) out << frame << " down" << keys_text(downs) << "\n";
    if (!taps.empty()) out << frame << " tap" << keys_text(taps) << "\n";
  }
  out << route.exit_frame << " exit\n";
  return out.str();
}

}  // namespace routes
