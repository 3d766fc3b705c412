#include "media/input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include "media/detail/internal.h"
#include "media/display.h"
#include "media/system.h"

namespace media {
namespace {

constexpr int kKeyCount = 256;
constexpr int kMouseButtons = 4;  // 1 left, 2 right, 3 middle; 0 is never set
constexpr std::size_t kMaxQueuedCharacters = 256;
constexpr int kJoystickPorts = 16;
constexpr int kJoystickButtons = 16;

struct KeyboardMouse {
  std::array<int, kKeyCount> key_down{};
  std::array<int, kKeyCount> key_hits{};
  std::deque<int> characters;  // typed text; the game never reads it
  std::array<int, kMouseButtons> mouse_down{};
  std::array<int, kMouseButtons> mouse_hits{};
  int mouse_x = 0;
  int mouse_y = 0;
  int mouse_z = 0;
};

struct Joystick {
  std::uint32_t mask = 0;
  std::array<int, kJoystickButtons> hits{};
  std::array<float, 16> axes{};
};

// The first controller also works what the keyboard and the mouse work outside play: A, B and
// Start are Enter (every "any key" screen and the final picture go on), Back is Escape (held, it
// leaves play), and the left stick or the d-pad moves the pointer with A as its left button.
// Play reads the controller's own buttons, which keep their numbers; it never reads Enter or the
// mouse, so the same presses and moves during play change nothing it reads. This is fed at every
// poll, whoever polls, so it needs to know nothing of which screen shows.
constexpr int kPadPort = 0;
constexpr std::uint32_t button_bit(int b) {
  return 1u << b;
}
constexpr std::uint32_t kEnterButtons = button_bit(3) | button_bit(4) | button_bit(6);
constexpr std::uint32_t kEscapeButtons = button_bit(5);
constexpr std::uint32_t kLeftClickButtons = button_bit(3);
constexpr int kEnter = 13, kEscape = 27, kLeftButton = 1;

// At full tilt the pointer crosses the 1024 pixels of the screen in a second and a half; the stick
// moves it only past a fifth of its travel, and from there on the speed grows with the tilt. A
// late poll (a slow frame) moves it no further than a tenth of a second would.
constexpr double kPointerPixelsPerMs = 1024.0 / 1500.0;
constexpr double kStickDeadZone = 0.2;
constexpr std::int32_t kLongestPointerStepMs = 100;

struct PadAsKeysAndPointer {
  std::uint32_t seen = 0;  // the buttons at the last reading
  // Pressed since the keyboard, or the mouse, was last flushed, and still held: a button held
  // through a flush reads as up until it is pressed again, as a key does.
  std::uint32_t key_buttons = 0;
  std::uint32_t click_buttons = 0;
  double x = 0, y = 0;                  // the pointer, to a fraction of a pixel
  std::optional<std::int32_t> read_at;  // the game's clock at the last reading
};

KeyboardMouse g_input;
std::array<Joystick, kJoystickPorts> g_joysticks;
PadAsKeysAndPointer g_pad;
bool g_away = false;

bool valid_key(int key) {
  return key >= 1 && key < kKeyCount;
}
bool valid_button(int button) {
  return button >= 1 && button < kMouseButtons;
}
bool valid_port(int port) {
  return port >= 0 && port < kJoystickPorts;
}

void flush_keyboard() {
  g_input.key_down.fill(0);
  g_input.key_hits.fill(0);
  g_input.characters.clear();
  g_pad.key_buttons = 0;
}

void flush_mouse() {
  g_input.mouse_down.fill(0);
  g_input.mouse_hits.fill(0);
  g_input.mouse_z = 0;
  g_pad.click_buttons = 0;
}

// A press counts only on the way down: auto-repeat and a second down without an up add nothing.
void press(int& down, int& hits) {
  if (down) return;
  down = 1;
  ++hits;
}

void on_key(InputEvent::Type type, int code) {
  if (!valid_key(code)) return;
  if (type == InputEvent::Type::key_down) press(g_input.key_down[code], g_input.key_hits[code]);
  if (type == InputEvent::Type::key_up) g_input.key_down[code] = 0;
}

void on_mouse_button(InputEvent::Type type, int button) {
  if (!valid_button(button)) return;
  if (type == InputEvent::Type::mouse_down) {
    press(g_input.mouse_down[button], g_input.mouse_hits[button]);
  } else {
    g_input.mouse_down[button] = 0;
  }
}

void on_character(int code) {
  if (g_input.characters.size() < kMaxQueuedCharacters) g_input.characters.push_back(code);
}

void on_mouse_move(int x, int y) {
  g_input.mouse_x = x;
  g_input.mouse_y = y;
  // The real mouse wins: the pad goes on from where the mouse put the pointer.
  g_pad.x = x;
  g_pad.y = y;
}

void on_focus_change(bool away) {
  // Keys released while another program had the focus never reach us: forget them all.
  detail::flush_input();
  g_away = away;
  detail::hold_sound(away);
}

int pad_holds_key(int key) {
  if (key == kEnter) return (g_pad.key_buttons & kEnterButtons) != 0;
  if (key == kEscape) return (g_pad.key_buttons & kEscapeButtons) != 0;
  return 0;
}

int pad_holds_mouse_button(int button) {
  return button == kLeftButton && (g_pad.click_buttons & kLeftClickButtons) != 0;
}

void take_in_pad_buttons(std::uint32_t buttons) {
  const std::uint32_t pressed = buttons & ~g_pad.seen;
  g_pad.seen = buttons;
  const bool enter_before = pad_holds_key(kEnter), escape_before = pad_holds_key(kEscape);
  g_pad.key_buttons = (g_pad.key_buttons | pressed) & buttons;
  g_pad.click_buttons = (g_pad.click_buttons | pressed) & buttons;
  if (!enter_before && pad_holds_key(kEnter)) ++g_input.key_hits[kEnter];
  if (!escape_before && pad_holds_key(kEscape)) ++g_input.key_hits[kEscape];
}

// Milliseconds of the game's clock since the pad was last read, at most a late frame's worth. A
// reading made for the game, so a replay hands it back as the recorded run saw it.
std::int32_t ms_since_pad_read() {
  const std::int32_t now = MilliSecs();
  const std::optional<std::int32_t> before = std::exchange(g_pad.read_at, now);
  if (!before) return 0;
  const auto since = static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                               static_cast<std::uint32_t>(*before));
  return std::clamp(since, 0, kLongestPointerStepMs);
}

// The stick's direction at a speed that grows from nothing at the edge of the dead zone to the
// full speed at full tilt; kept on the screen.
void move_pointer(float stick_x, float stick_y) {
  const std::int32_t ms = ms_since_pad_read();
  const double tilt = std::hypot(static_cast<double>(stick_x), static_cast<double>(stick_y));
  const TDrawState& screen = draw_state();
  if (!(tilt > kStickDeadZone) || !std::isfinite(tilt) || screen.g_width <= 0 ||
      screen.g_height <= 0) {
    return;
  }
  const double speed =
      kPointerPixelsPerMs * std::min(1.0, (tilt - kStickDeadZone) / (1.0 - kStickDeadZone));
  const double step = speed * ms / tilt;
  g_pad.x = std::clamp(g_pad.x + stick_x * step, 0.0, screen.g_width - 1.0);
  g_pad.y = std::clamp(g_pad.y + stick_y * step, 0.0, screen.g_height - 1.0);
  g_input.mouse_x = static_cast<int>(g_pad.x);
  g_input.mouse_y = static_cast<int>(g_pad.y);
}

// An unreadable port changes nothing: no pad, no pointer moves and no presses.
void take_in_pad() {
  JoystickReading reading;
  if (!detail::read_pad(kPadPort, reading)) return;
  take_in_pad_buttons(reading.buttons);
  move_pointer(reading.axes[0], reading.axes[1]);
}

// Every input query takes in what has come meanwhile, from the system and from the pad.
void take_in() {
  detail::look_for_input();
  take_in_pad();
}

// Collects the presses of a key without taking in new events first.
int take_hits(int key) {
  const int hits = g_input.key_hits[key];
  g_input.key_hits[key] = 0;
  return hits;
}

// Asks the device afresh; a port that cannot be read keeps what it had.
Joystick& read_joystick(int port) {
  Joystick& joy = g_joysticks[port];
  JoystickReading reading;
  if (!detail::read_pad(port, reading)) return joy;
  for (int b = 0; b < kJoystickButtons; ++b) {
    const std::uint32_t bit = 1u << b;
    if ((reading.buttons & bit) && !(joy.mask & bit)) ++joy.hits[b];
  }
  joy.mask = reading.buttons;
  std::copy(std::begin(reading.axes), std::end(reading.axes), joy.axes.begin());
  return joy;
}

}  // namespace

int KeyDown(int key) {
  take_in();
  return valid_key(key) ? g_input.key_down[key] | pad_holds_key(key) : 0;
}

int KeyHit(int key) {
  take_in();
  return valid_key(key) ? take_hits(key) : 0;
}

void WaitInput(int ms) {
  if (ms > 0) detail::wait_for_input_at_most(ms);
}

// Presses made before the call are forgotten, also those the system has not handed over yet
// (a key pressed while a screen was fading in must not end the wait that follows the fade).
int WaitKey() {
  take_in();
  flush_keyboard();
  for (;;) {
    detail::wait_for_input();
    take_in_pad();
    for (int k = 1; k < kKeyCount; ++k) {
      if (take_hits(k)) return k;
    }
  }
}

int MouseX() {
  take_in();
  return g_input.mouse_x;
}

int MouseY() {
  take_in();
  return g_input.mouse_y;
}

int MouseDown(int button) {
  take_in();
  return valid_button(button) ? g_input.mouse_down[button] | pad_holds_mouse_button(button) : 0;
}

void FlushMouse() {
  take_in();
  flush_mouse();
}

float JoyX(int port) {
  if (!valid_port(port)) return 0.0f;
  return read_joystick(port).axes[0];
}

int JoyDown(int button, int port) {
  if (!valid_port(port)) return 0;
  const Joystick& joy = read_joystick(port);
  if (button < 0 || button >= kJoystickButtons) return 0;
  return (joy.mask >> button) & 1u ? 1 : 0;
}

int JoyHit(int button, int port) {
  if (!valid_port(port)) return 0;
  Joystick& joy = read_joystick(port);
  if (button < 0 || button >= kJoystickButtons) return 0;
  const int hits = joy.hits[button];
  joy.hits[button] = 0;
  return hits;
}

namespace detail {

void deliver_event(const InputEvent& event) {
  if (!feeding()) take_event(event);
}

void take_event(const InputEvent& event) {
  note_event(event);
  using Type = InputEvent::Type;
  switch (event.type) {
    case Type::key_down:
    case Type::key_up:
      on_key(event.type, event.code);
      break;
    case Type::key_repeat:
      break;  // a held key is one press however long it is held
    case Type::character:
      on_character(event.code);
      break;
    case Type::mouse_down:
    case Type::mouse_up:
      on_mouse_button(event.type, event.code);
      break;
    case Type::mouse_move:
      on_mouse_move(event.x, event.y);
      break;
    case Type::wheel:
      g_input.mouse_z += event.code / 120;
      break;
    case Type::focus_lost:
      on_focus_change(true);
      break;
    case Type::focus_gained:
      on_focus_change(false);
      break;
    case Type::close_requested:
      // The window manager's close button (or Alt+F4) ends the game the way the menu's exit does.
      End();
  }
}

void flush_input() {
  flush_keyboard();
  flush_mouse();
}

bool window_away() {
  return g_away;
}

void reset_input_state() {
  g_input = KeyboardMouse{};
  g_joysticks.fill(Joystick{});
  g_pad = PadAsKeysAndPointer{};
  g_away = false;
}

struct InputState {
  KeyboardMouse keyboard_mouse;
  std::array<Joystick, kJoystickPorts> joysticks;
  PadAsKeysAndPointer pad;
};

std::shared_ptr<const InputState> save_input_state() {
  return std::make_shared<const InputState>(InputState{g_input, g_joysticks, g_pad});
}

void restore_input_state(const InputState& state) {
  g_input = state.keyboard_mouse;
  g_joysticks = state.joysticks;
  g_pad = state.pad;
}

}  // namespace detail

}  // namespace media
