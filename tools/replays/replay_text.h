#pragma once
// A replay: what the game took in during one run, as text. It extends the level route format
// (assets/levels/README.md): one instruction a line, `#` starts a comment, and a line starts with
// the moment it happened, `<frame>` or `<frame>.<n>` (the n-th time input was taken in after that
// frame was presented, counting from 0; `.0` is left out):
//
//   seed 1234                   the random seed (no moment)
//   0 move 512 384              the pointer moved (back-buffer pixels)
//   40.2 down mouse-left        keys or mouse buttons went down ...
//   41 up mouse-left            ... or up
//   45 tap up                   down, and up before the next frame
//   300.7 repeat right          a key's auto-repeat
//   301 char 97                 a typed character
//   302 wheel -120              the wheel turned
//   400 focus lost              the window lost (or gained) the focus
//   900 close                   the window manager asked the game to close
//   12 pad 0 0x8 0.5 -0.25      controller 0: its buttons and axes 0, 1, ... (left out: 0)
//   13 pad 0 none               controller 0 could not be read
//   15 clock 5034*2 5035        the game's clock readings in frame 15, in order (*n: n times)
//
// Keys: left right up down shift rshift ctrl rctrl alt ralt enter escape space tab backspace,
// a-z, 0-9, mouse-left mouse-right mouse-middle, or any key by its code, key<n>.
// Lines may come in any order: what they say is put in order of moment, and the lines of one
// moment keep theirs (a tap's up comes after what the next frame's lines above it say).

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "media/backend.h"
#include "media/journal.h"

namespace replays {

struct PadReading {
  int port = 0;
  std::optional<media::JoystickReading> reading;
};

struct Taken {
  media::Stamp at;
  std::variant<media::InputEvent, PadReading> what;
};

// The clock readings of one frame, in order.
struct ClockReadings {
  int frame = 0;
  std::vector<std::int32_t> readings;
};

struct Replay {
  std::optional<int> seed;
  std::vector<Taken> taken;           // by moment
  std::vector<ClockReadings> clocks;  // by frame
};

class ReplayError : public std::runtime_error {
 public:
  ReplayError(int line, const std::string& reason);
};

Replay parse_replay(std::string_view text);
Replay read_replay(const std::string& path);  // errors name the file: "x.replay:4: ..."

// The lines that write one thing taken in.
std::string stamp_text(media::Stamp at);
std::string event_line(media::Stamp at, const media::InputEvent& event);
std::string pad_line(media::Stamp at, const PadReading& pad);
std::string clock_line(const ClockReadings& clock);

}  // namespace replays
