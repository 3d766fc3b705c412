#include "media/input.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>

#include "media/detail/internal.h"
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

KeyboardMouse g_input;
std::array<Joystick, kJoystickPorts> g_joysticks;

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
}

void flush_mouse() {
  g_input.mouse_down.fill(0);
  g_input.mouse_hits.fill(0);
  g_input.mouse_z = 0;
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
  if (!backend().read_joystick(port, reading)) return joy;
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
  backend().poll_events();
  return valid_key(key) ? g_input.key_down[key] : 0;
}

int KeyHit(int key) {
  backend().poll_events();
  return valid_key(key) ? take_hits(key) : 0;
}

void WaitInput(int ms) {
  if (ms > 0) backend().wait_input(ms);
}

// Presses made before the call are forgotten, also those the system has not handed over yet
// (a key pressed while a screen was fading in must not end the wait that follows the fade).
int WaitKey() {
  backend().poll_events();
  flush_keyboard();
  for (;;) {
    backend().wait_events();
    for (int k = 1; k < kKeyCount; ++k) {
      if (take_hits(k)) return k;
    }
  }
}

int MouseX() {
  backend().poll_events();
  return g_input.mouse_x;
}

int MouseY() {
  backend().poll_events();
  return g_input.mouse_y;
}

int MouseDown(int button) {
  backend().poll_events();
  return valid_button(button) ? g_input.mouse_down[button] : 0;
}

void FlushMouse() {
  backend().poll_events();
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
      g_input.mouse_x = event.x;
      g_input.mouse_y = event.y;
      break;
    case Type::wheel:
      g_input.mouse_z += event.code / 120;
      break;
    case Type::focus_lost:
    case Type::focus_gained:
      // Keys released while another program had the focus never reach us: forget them all.
      flush_input();
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

void reset_input_state() {
  g_input = KeyboardMouse{};
  g_joysticks.fill(Joystick{});
}

struct InputState {
  KeyboardMouse keyboard_mouse;
  std::array<Joystick, kJoystickPorts> joysticks;
};

std::shared_ptr<const InputState> save_input_state() {
  return std::make_shared<const InputState>(InputState{g_input, g_joysticks});
}

void restore_input_state(const InputState& state) {
  g_input = state.keyboard_mouse;
  g_joysticks = state.joysticks;
}

}  // namespace detail

}  // namespace media
