#include "replay_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

namespace replays {

namespace {

using media::InputEvent;
using Type = InputEvent::Type;

struct KeyName {
  const char* name;
  int code;
};
constexpr std::array<KeyName, 15> named_keys = {{{"left", 37},
                                                 {"up", 38},
                                                 {"right", 39},
                                                 {"down", 40},
                                                 {"shift", 160},
                                                 {"rshift", 161},
                                                 {"ctrl", 162},
                                                 {"rctrl", 163},
                                                 {"alt", 164},
                                                 {"ralt", 165},
                                                 {"enter", 13},
                                                 {"escape", 27},
                                                 {"space", 32},
                                                 {"tab", 9},
                                                 {"backspace", 8}}};
constexpr std::array<const char*, 3> mouse_buttons = {"mouse-left", "mouse-right", "mouse-middle"};

std::string key_name(int code) {
  for (const KeyName& k : named_keys) {
    if (k.code == code) return k.name;
  }
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    return std::string(1, static_cast<char>(code >= 'A' ? code - 'A' + 'a' : code));
  }
  return "key" + std::to_string(code);
}

std::string button_name(int button) {
  if (button >= 1 && button <= 3) return mouse_buttons[static_cast<std::size_t>(button - 1)];
  return "mouse" + std::to_string(button);
}

std::vector<std::string_view> words_of(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
    const std::size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

template <class T>
std::optional<T> number(std::string_view word, int base = 10) {
  T value{};
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = base == 10 ? std::from_chars(word.data(), end, value)
                                    : std::from_chars(word.data(), end, value, base);
  if (ec != std::errc() || ptr != end || word.empty()) return std::nullopt;
  return value;
}

template <>
std::optional<float> number<float>(std::string_view word, int) {
  float value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (ec != std::errc() || ptr != end || word.empty()) return std::nullopt;
  return value;
}

std::string float_text(float value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

// What a key word stands for: a key down/up or a mouse button down/up.
struct Press {
  bool mouse = false;
  int code = 0;
};

class LineReader {
 public:
  LineReader(int line, std::vector<std::string_view> words) : line_(line), words_(words) {}

  [[noreturn]] void fail(const std::string& reason) const { throw ReplayError(line_, reason); }

  std::size_t size() const { return words_.size(); }
  std::string_view word(std::size_t i) const { return words_[i]; }

  void want_words(std::size_t low, std::size_t high) const {
    if (words_.size() < low || words_.size() > high) {
      fail("\"" + std::string(words_[1]) + "\" takes " + std::to_string(low - 2) +
           (high > low ? " or more" : "") + " words after it");
    }
  }

  template <class T>
  T number_at(std::size_t i, const char* what, int base = 10) const {
    const std::optional<T> value = number<T>(words_[i], base);
    if (!value) fail(std::string(what) + " \"" + std::string(words_[i]) + "\" is not a number");
    return *value;
  }

  media::Stamp stamp() const {
    const std::string_view w = words_[0];
    const std::size_t dot = w.find('.');
    const std::optional<int> frame = number<int>(w.substr(0, dot));
    std::optional<int> take_in = 0;
    if (dot != std::string_view::npos) take_in = number<int>(w.substr(dot + 1));
    if (!frame || !take_in || *frame < 0 || *take_in < 0) {
      fail("\"" + std::string(w) + "\" is not a moment (<frame> or <frame>.<n>)");
    }
    return {*frame, *take_in};
  }

  Press press_at(std::size_t i) const {
    const std::string_view w = words_[i];
    for (std::size_t b = 0; b < mouse_buttons.size(); ++b) {
      if (w == mouse_buttons[b]) return {true, static_cast<int>(b) + 1};
    }
    for (const KeyName& k : named_keys) {
      if (w == k.name) return {false, k.code};
    }
    if (w.size() == 1 && ((w[0] >= 'a' && w[0] <= 'z') || (w[0] >= '0' && w[0] <= '9'))) {
      return {false, w[0] >= 'a' ? w[0] - 'a' + 'A' : w[0]};
    }
    if (w.starts_with("key")) {
      const std::optional<int> code = number<int>(w.substr(3));
      if (code && *code >= 1 && *code <= 255) return {false, *code};
    }
    fail("unknown key \"" + std::string(w) + "\"");
  }

 private:
  int line_;
  std::vector<std::string_view> words_;
};

InputEvent press_event(const Press& p, bool down) {
  InputEvent e;
  e.code = p.code;
  if (p.mouse) {
    e.type = down ? Type::mouse_down : Type::mouse_up;
  } else {
    e.type = down ? Type::key_down : Type::key_up;
  }
  return e;
}

void read_presses(const LineReader& r, media::Stamp at, Replay& replay) {
  r.want_words(3, 64);
  const std::string_view verb = r.word(1);
  for (std::size_t i = 2; i < r.size(); ++i) {
    const Press p = r.press_at(i);
    replay.taken.push_back({at, press_event(p, verb != "up")});
    if (verb == "tap") replay.taken.push_back({{at.frame + 1, 0}, press_event(p, false)});
  }
}

InputEvent simple_event(const LineReader& r) {
  const std::string_view verb = r.word(1);
  InputEvent e;
  if (verb == "move") {
    r.want_words(4, 4);
    e.type = Type::mouse_move;
    e.x = r.number_at<int>(2, "x");
    e.y = r.number_at<int>(3, "y");
  } else if (verb == "repeat") {
    r.want_words(3, 3);
    e.type = Type::key_repeat;
    e.code = r.press_at(2).code;
  } else if (verb == "char" || verb == "wheel") {
    r.want_words(3, 3);
    e.type = verb == "char" ? Type::character : Type::wheel;
    e.code = r.number_at<int>(2, verb == "char" ? "character" : "wheel turn");
  } else if (verb == "focus") {
    r.want_words(3, 3);
    if (r.word(2) != "lost" && r.word(2) != "gained") r.fail("focus is lost or gained");
    e.type = r.word(2) == "lost" ? Type::focus_lost : Type::focus_gained;
  } else if (verb == "close") {
    r.want_words(2, 2);
    e.type = Type::close_requested;
  } else {
    r.fail("unknown instruction \"" + std::string(verb) + "\"");
  }
  return e;
}

PadReading pad_reading(const LineReader& r) {
  r.want_words(4, 4 + 16);
  PadReading pad;
  pad.port = r.number_at<int>(2, "port");
  if (pad.port < 0 || pad.port > 15) r.fail("a port is 0 to 15");
  if (r.word(3) == "none") {
    r.want_words(4, 4);
    return pad;
  }
  media::JoystickReading reading;
  const std::string_view buttons = r.word(3);
  if (!buttons.starts_with("0x")) r.fail("buttons are written 0x<hex>");
  const std::optional<std::uint32_t> bits = number<std::uint32_t>(buttons.substr(2), 16);
  if (!bits) r.fail("buttons \"" + std::string(buttons) + "\" are not a number");
  reading.buttons = *bits;
  for (std::size_t i = 4; i < r.size(); ++i) reading.axes[i - 4] = r.number_at<float>(i, "axis");
  pad.reading = reading;
  return pad;
}

ClockReadings clock_readings(const LineReader& r, int frame) {
  r.want_words(3, 1 << 20);
  ClockReadings clock{frame, {}};
  for (std::size_t i = 2; i < r.size(); ++i) {
    const std::string_view w = r.word(i);
    const std::size_t star = w.find('*');
    const std::optional<std::int32_t> ms = number<std::int32_t>(w.substr(0, star));
    std::optional<int> times = 1;
    if (star != std::string_view::npos) times = number<int>(w.substr(star + 1));
    if (!ms || !times || *times < 1 || *times > 1000000) {
      r.fail("clock reading \"" + std::string(w) + "\" is not <ms> or <ms>*<times>");
    }
    clock.readings.insert(clock.readings.end(), static_cast<std::size_t>(*times), *ms);
  }
  return clock;
}

void read_line(const LineReader& r, Replay& replay) {
  if (r.word(0) == "seed") {
    r.want_words(2, 2);
    if (replay.seed) r.fail("a second seed");
    replay.seed = r.number_at<int>(1, "seed");
    return;
  }
  if (r.size() < 2) r.fail("a moment with nothing after it");
  const media::Stamp at = r.stamp();
  const std::string_view verb = r.word(1);
  if (verb == "down" || verb == "up" || verb == "tap") {
    read_presses(r, at, replay);
  } else if (verb == "pad") {
    replay.taken.push_back({at, pad_reading(r)});
  } else if (verb == "clock") {
    if (at.take_in != 0) r.fail("clock readings belong to a frame: no .<n>");
    const auto same_frame = [&](const ClockReadings& c) { return c.frame == at.frame; };
    if (std::any_of(replay.clocks.begin(), replay.clocks.end(), same_frame)) {
      r.fail("a second clock line for frame " + std::to_string(at.frame));
    }
    replay.clocks.push_back(clock_readings(r, at.frame));
  } else {
    replay.taken.push_back({at, simple_event(r)});
  }
}

}  // namespace

ReplayError::ReplayError(int line, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ": " + reason) {}

Replay parse_replay(std::string_view text) {
  Replay replay;
  int line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    line = line.substr(0, line.find('#'));
    const std::vector<std::string_view> words = words_of(line);
    if (!words.empty()) read_line(LineReader(line_number, words), replay);
  }
  // Lines of one moment keep their order.
  std::stable_sort(replay.taken.begin(), replay.taken.end(),
                   [](const Taken& a, const Taken& b) { return a.at < b.at; });
  std::sort(replay.clocks.begin(), replay.clocks.end(),
            [](const ClockReadings& a, const ClockReadings& b) { return a.frame < b.frame; });
  return replay;
}

Replay read_replay(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return parse_replay(text.str());
  } catch (const ReplayError& error) {
    const std::string what = error.what();
    throw std::runtime_error(path + ":" + what.substr(std::strlen("line ")));
  }
}

// Strings are put together piece by piece where a one-letter literal comes first: GCC 12 at -O3
// takes "x" + a temporary for an overlapping copy.

std::string stamp_text(media::Stamp at) {
  std::string text = std::to_string(at.frame);
  if (at.take_in != 0) {
    text += '.';
    text += std::to_string(at.take_in);
  }
  return text;
}

std::string event_line(media::Stamp at, const InputEvent& e) {
  const std::string head = stamp_text(at) + " ";
  switch (e.type) {
    case Type::key_down:
      return head + "down " + key_name(e.code);
    case Type::key_up:
      return head + "up " + key_name(e.code);
    case Type::key_repeat:
      return head + "repeat " + key_name(e.code);
    case Type::character:
      return head + "char " + std::to_string(e.code);
    case Type::mouse_down:
      return head + "down " + button_name(e.code);
    case Type::mouse_up:
      return head + "up " + button_name(e.code);
    case Type::mouse_move:
      return head + "move " + std::to_string(e.x) + " " + std::to_string(e.y);
    case Type::wheel:
      return head + "wheel " + std::to_string(e.code);
    case Type::focus_lost:
      return head + "focus lost";
    case Type::focus_gained:
      return head + "focus gained";
    case Type::close_requested:
      return head + "close";
  }
  return head + "close";
}

std::string pad_line(media::Stamp at, const PadReading& pad) {
  std::string line = stamp_text(at) + " pad " + std::to_string(pad.port);
  if (!pad.reading) return line + " none";
  std::array<char, 16> hex{};
  const auto end = std::to_chars(hex.data(), hex.data() + hex.size(), pad.reading->buttons, 16);
  line += " 0x";
  line += std::string_view(hex.data(), static_cast<std::size_t>(end.ptr - hex.data()));
  const float* axes = pad.reading->axes;
  int count = 16;
  while (count > 0 && axes[count - 1] == 0.0f) --count;
  for (int i = 0; i < count; ++i) {
    line += ' ';
    line += float_text(axes[i]);
  }
  return line;
}

std::string clock_line(const ClockReadings& clock) {
  std::string line = std::to_string(clock.frame) + " clock";
  const std::vector<std::int32_t>& r = clock.readings;
  for (std::size_t i = 0; i < r.size();) {
    std::size_t same = i;
    while (same < r.size() && r[same] == r[i]) ++same;
    line += ' ';
    line += std::to_string(r[i]);
    if (same - i > 1) {
      line += '*';
      line += std::to_string(same - i);
    }
    i = same;
  }
  return line;
}

}  // namespace replays
