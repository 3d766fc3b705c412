#include "media/sdl/sdl_input.h"

#include <array>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>

namespace media::detail {
namespace {

// Windows virtual-key numbers the game's key codes are taken from.
constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kPause = 19, kCapsLock = 20, kEscape = 27;
constexpr int kSpace = 32, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kPrintScreen = 44, kInsert = 45, kDelete = 46;
constexpr int kLeftWindows = 91, kRightWindows = 92, kApplications = 93;
constexpr int kNumpad0 = 96, kMultiply = 106, kAdd = 107, kSubtract = 109, kDecimal = 110;
constexpr int kDivide = 111, kF1 = 112, kF13 = 124, kNumLock = 144, kScrollLock = 145;
constexpr int kLeftShift = 160, kRightShift = 161, kLeftControl = 162, kRightControl = 163;
constexpr int kLeftAlt = 164, kRightAlt = 165;
constexpr int kOemSemicolon = 186, kOemPlus = 187, kOemComma = 188, kOemMinus = 189;
constexpr int kOemPeriod = 190, kOemSlash = 191, kOemTilde = 192, kOemOpenBracket = 219;
constexpr int kOemBackslash = 220, kOemCloseBracket = 221, kOemQuote = 222, kOem102 = 226;

// Keys outside the runs of letters, digits and function keys.
struct KeyPair {
  SDL_Scancode scancode;
  int key;
};
constexpr KeyPair kSingleKeys[] = {
    {SDL_SCANCODE_RETURN, kEnter},
    {SDL_SCANCODE_ESCAPE, kEscape},
    {SDL_SCANCODE_BACKSPACE, kBackspace},
    {SDL_SCANCODE_TAB, kTab},
    {SDL_SCANCODE_SPACE, kSpace},
    {SDL_SCANCODE_MINUS, kOemMinus},
    {SDL_SCANCODE_EQUALS, kOemPlus},
    {SDL_SCANCODE_LEFTBRACKET, kOemOpenBracket},
    {SDL_SCANCODE_RIGHTBRACKET, kOemCloseBracket},
    {SDL_SCANCODE_BACKSLASH, kOemBackslash},
    {SDL_SCANCODE_NONUSHASH, kOemBackslash},
    {SDL_SCANCODE_SEMICOLON, kOemSemicolon},
    {SDL_SCANCODE_APOSTROPHE, kOemQuote},
    {SDL_SCANCODE_GRAVE, kOemTilde},
    {SDL_SCANCODE_COMMA, kOemComma},
    {SDL_SCANCODE_PERIOD, kOemPeriod},
    {SDL_SCANCODE_SLASH, kOemSlash},
    {SDL_SCANCODE_CAPSLOCK, kCapsLock},
    {SDL_SCANCODE_PRINTSCREEN, kPrintScreen},
    {SDL_SCANCODE_SCROLLLOCK, kScrollLock},
    {SDL_SCANCODE_PAUSE, kPause},
    {SDL_SCANCODE_INSERT, kInsert},
    {SDL_SCANCODE_HOME, kHome},
    {SDL_SCANCODE_PAGEUP, kPageUp},
    {SDL_SCANCODE_DELETE, kDelete},
    {SDL_SCANCODE_END, kEnd},
    {SDL_SCANCODE_PAGEDOWN, kPageDown},
    {SDL_SCANCODE_RIGHT, kRight},
    {SDL_SCANCODE_LEFT, kLeft},
    {SDL_SCANCODE_DOWN, kDown},
    {SDL_SCANCODE_UP, kUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, kNumLock},
    {SDL_SCANCODE_KP_DIVIDE, kDivide},
    {SDL_SCANCODE_KP_MULTIPLY, kMultiply},
    {SDL_SCANCODE_KP_MINUS, kSubtract},
    {SDL_SCANCODE_KP_PLUS, kAdd},
    {SDL_SCANCODE_KP_ENTER, kEnter},
    {SDL_SCANCODE_KP_0, kNumpad0},
    {SDL_SCANCODE_KP_PERIOD, kDecimal},
    {SDL_SCANCODE_NONUSBACKSLASH, kOem102},
    {SDL_SCANCODE_APPLICATION, kApplications},
    {SDL_SCANCODE_LCTRL, kLeftControl},
    {SDL_SCANCODE_LSHIFT, kLeftShift},
    {SDL_SCANCODE_LALT, kLeftAlt},
    {SDL_SCANCODE_LGUI, kLeftWindows},
    {SDL_SCANCODE_RCTRL, kRightControl},
    {SDL_SCANCODE_RSHIFT, kRightShift},
    {SDL_SCANCODE_RALT, kRightAlt},
    {SDL_SCANCODE_RGUI, kRightWindows},
};

bool in_run(SDL_Scancode s, SDL_Scancode first, SDL_Scancode last) {
  return s >= first && s <= last;
}

// The game's buttons, by the controller's own: south jumps (3), west and the right shoulder run
// (1, 7), east throws (4).
constexpr SDL_GameControllerButton kGameButtons[] = {
    SDL_CONTROLLER_BUTTON_Y,              // 0
    SDL_CONTROLLER_BUTTON_X,              // 1
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,   // 2
    SDL_CONTROLLER_BUTTON_A,              // 3
    SDL_CONTROLLER_BUTTON_B,              // 4
    SDL_CONTROLLER_BUTTON_BACK,           // 5
    SDL_CONTROLLER_BUTTON_START,          // 6
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,  // 7
    SDL_CONTROLLER_BUTTON_LEFTSTICK,      // 8
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,     // 9
    SDL_CONTROLLER_BUTTON_GUIDE,          // 10
};

constexpr int kPorts = 16;
constexpr int kHatAxis = 9;

struct Port {
  SDL_GameController* pad = nullptr;
  SDL_JoystickID id = -1;
  bool ever_used = false;  // a pulled-out pad reads as let go, not as frozen mid-press
};
std::array<Port, kPorts> g_ports;

int port_of(SDL_JoystickID id) {
  for (int p = 0; p < kPorts; ++p) {
    if (g_ports[p].pad && g_ports[p].id == id) return p;
  }
  return -1;
}

void attach(int device_index) {
  if (!SDL_IsGameController(device_index)) return;
  if (port_of(SDL_JoystickGetDeviceInstanceID(device_index)) >= 0) return;
  for (Port& port : g_ports) {
    if (port.pad) continue;
    port.pad = SDL_GameControllerOpen(device_index);
    if (!port.pad) return;
    port.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(port.pad));
    port.ever_used = true;
    return;
  }
}

void detach(SDL_JoystickID id) {
  const int p = port_of(id);
  if (p < 0) return;
  SDL_GameControllerClose(g_ports[p].pad);
  g_ports[p].pad = nullptr;
  g_ports[p].id = -1;
}

// Point-of-view hat from the d-pad: hundredths of a degree clockwise from up, over a full turn.
float hat_from_dpad(bool up, bool right, bool down, bool left) {
  const int x = (right ? 1 : 0) - (left ? 1 : 0);
  const int y = (down ? 1 : 0) - (up ? 1 : 0);
  if (x == 0 && y == 0) return -1.0f;
  const double degrees = std::atan2(x, -y) * 180.0 / std::numbers::pi;
  const double centidegrees = std::fmod(degrees * 100.0 + 36000.0, 36000.0);
  return static_cast<float>(centidegrees / 36000.0);
}

float read_axis(SDL_GameController* pad, SDL_GameControllerAxis axis) {
  return controller_axis_unit(SDL_GameControllerGetAxis(pad, axis));
}

void read_pad(SDL_GameController* pad, JoystickReading& out) {
  for (std::uint32_t b = 0; b < std::size(kGameButtons); ++b) {
    if (SDL_GameControllerGetButton(pad, kGameButtons[b])) out.buttons |= 1u << b;
  }
  const bool up = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
  const bool down = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  const bool left = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  const bool right = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);

  out.axes[0] = read_axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  out.axes[1] = read_axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  // Both triggers share one axis: resting in the middle, the left pulls it down, the right up.
  const int triggers = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) -
                       SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
  out.axes[2] = controller_axis_unit(static_cast<Sint16>(triggers));
  out.axes[3] = read_axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
  out.axes[4] = read_axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
  // The d-pad walks at full speed, whatever the stick says.
  if (left != right) out.axes[0] = left ? -1.0f : 1.0f;
  if (up != down) out.axes[1] = up ? -1.0f : 1.0f;
  out.axes[kHatAxis] = hat_from_dpad(up, right, down, left);
}

// A key or mouse button held when the focus comes or goes is left out until it is let go. SDL
// forgets the keys held when the window loses the focus: it reports each of them let go just
// before the focus goes, and when the focus comes back a key still held is reported pressed
// afresh, by its auto-repeat or by SDL's own look at the keyboard (which is how a Shift pressed
// while another program had the focus arrives).
struct FocusGuard {
  using Keys = std::bitset<SDL_NUM_SCANCODES>;  // by scancode
  Keys down;                                    // as SDL's events so far tell
  Keys just_released;       // by the key-ups straight before the event in hand: SDL's forgetting
  Keys held;                // left out until let go
  Uint32 held_buttons = 0;  // SDL_BUTTON() bits
};
FocusGuard g_focus;

void hold_through_focus_change(const HeldInput& sdl_says) {
  g_focus.held |= g_focus.down | g_focus.just_released;
  for (std::size_t s = 0; s < g_focus.held.size(); ++s) {
    if (sdl_says.keys[s]) g_focus.held.set(s);
  }
  g_focus.held_buttons |= sdl_says.buttons;
}

// Follows the key and tells whether this down is one held through a focus change.
bool key_held_through_focus(SDL_Scancode scancode, bool down) {
  const auto s = static_cast<std::size_t>(scancode);
  if (s >= g_focus.held.size()) return false;
  g_focus.down.set(s, down);
  if (down) return g_focus.held.test(s);
  g_focus.held.reset(s);
  g_focus.just_released.set(s);
  return false;
}

bool button_held_through_focus(Uint8 button, bool down) {
  if (button < 1 || button > 32) return false;
  const Uint32 bit = SDL_BUTTON(button);
  const bool held = (g_focus.held_buttons & bit) != 0;
  if (!down) g_focus.held_buttons &= ~bit;
  return held && down;
}

// Decodes one code point of UTF-8, moving `i` past it; malformed bytes give U+FFFD.
int next_code_point(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  int extra = 0;
  int code = lead;
  if (lead >= 0xF0 && lead < 0xF8) {
    extra = 3, code = lead & 0x07;
  } else if (lead >= 0xE0) {
    extra = 2, code = lead & 0x0F;
  } else if (lead >= 0xC0) {
    extra = 1, code = lead & 0x1F;
  } else if (lead >= 0x80) {
    return 0xFFFD;
  }
  for (; extra > 0; --extra, ++i) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  return code;
}

// One text event may carry several characters (an input method's whole word): all but the last
// go straight to the input state, in order, and the last is the translated event.
bool translate_text(const char* utf8, InputEvent& out) {
  const std::string_view text(utf8);
  if (text.empty()) return false;
  out.type = InputEvent::Type::character;
  std::size_t i = 0;
  out.code = next_code_point(text, i);
  while (i < text.size()) {
    deliver_event(out);
    out.code = next_code_point(text, i);
  }
  return true;
}

// The Enters pressed with Alt held, kept from the game until let go.
std::bitset<SDL_NUM_SCANCODES> g_window_keys;  // by scancode

bool is_enter(SDL_Scancode scancode) {
  return scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER;
}

// Whether the key is the Enter of Alt+Enter: pressed while Alt was held, its auto-repeat, or its
// release (with Alt held or not by then).
bool taken_by_window(const SDL_KeyboardEvent& key) {
  const auto s = static_cast<std::size_t>(key.keysym.scancode);
  if (s >= g_window_keys.size()) return false;
  if (key.state == SDL_PRESSED && !key.repeat && is_enter(key.keysym.scancode) &&
      (key.keysym.mod & KMOD_ALT) != 0) {
    g_window_keys.set(s);
  }
  const bool taken = g_window_keys.test(s);
  if (key.state == SDL_RELEASED) g_window_keys.reset(s);
  return taken;
}

SdlEventMeaning as_meaning(bool input) {
  return input ? SdlEventMeaning::input : SdlEventMeaning::nothing;
}

SdlEventMeaning translate_key(const SDL_KeyboardEvent& key, InputEvent& out) {
  const bool down = key.state == SDL_PRESSED;
  if (key_held_through_focus(key.keysym.scancode, down)) return SdlEventMeaning::nothing;
  if (taken_by_window(key)) {
    return down && !key.repeat ? SdlEventMeaning::toggle_window : SdlEventMeaning::nothing;
  }
  const int code = virtual_key(key.keysym.scancode);
  if (code == 0) return SdlEventMeaning::nothing;
  if (!down) {
    out.type = InputEvent::Type::key_up;
  } else {
    out.type = key.repeat ? InputEvent::Type::key_repeat : InputEvent::Type::key_down;
  }
  out.code = code;
  return SdlEventMeaning::input;
}

bool translate_button(const SDL_MouseButtonEvent& button, InputEvent& out) {
  if (button_held_through_focus(button.button, button.state == SDL_PRESSED)) return false;
  switch (button.button) {
    case SDL_BUTTON_LEFT:
      out.code = 1;
      break;
    case SDL_BUTTON_RIGHT:
      out.code = 2;
      break;
    case SDL_BUTTON_MIDDLE:
      out.code = 3;
      break;
    default:
      return false;
  }
  out.type =
      button.state == SDL_PRESSED ? InputEvent::Type::mouse_down : InputEvent::Type::mouse_up;
  out.x = button.x;
  out.y = button.y;
  return true;
}

bool translate_wheel(const SDL_MouseWheelEvent& wheel, InputEvent& out) {
  if (wheel.y == 0) return false;
  const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
  out.type = InputEvent::Type::wheel;
  out.code = notches * 120;
  return true;
}

bool translate_window(const SDL_WindowEvent& window, InputEvent& out, HeldInput (*held)()) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      hold_through_focus_change(held());
      out.type = InputEvent::Type::focus_gained;
      return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      hold_through_focus_change(held());
      out.type = InputEvent::Type::focus_lost;
      return true;
    case SDL_WINDOWEVENT_CLOSE:
      out.type = InputEvent::Type::close_requested;
      return true;
    default:
      return false;
  }
}

SdlEventMeaning translate_any(const SDL_Event& e, InputEvent& out, HeldInput (*held)()) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return translate_key(e.key, out);
    case SDL_TEXTINPUT:
      return as_meaning(translate_text(e.text.text, out));
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return as_meaning(translate_button(e.button, out));
    case SDL_MOUSEMOTION:
      out.type = InputEvent::Type::mouse_move;
      out.x = e.motion.x;
      out.y = e.motion.y;
      return SdlEventMeaning::input;
    case SDL_MOUSEWHEEL:
      return as_meaning(translate_wheel(e.wheel, out));
    case SDL_WINDOWEVENT:
      return as_meaning(translate_window(e.window, out, held));
    case SDL_QUIT:
      out.type = InputEvent::Type::close_requested;
      return SdlEventMeaning::input;
    case SDL_CONTROLLERDEVICEADDED:
      attach(e.cdevice.which);
      return SdlEventMeaning::nothing;
    case SDL_CONTROLLERDEVICEREMOVED:
      detach(e.cdevice.which);
      return SdlEventMeaning::nothing;
    default:
      return SdlEventMeaning::nothing;
  }
}

}  // namespace

int virtual_key(SDL_Scancode scancode) {
  if (in_run(scancode, SDL_SCANCODE_A, SDL_SCANCODE_Z)) return 'A' + (scancode - SDL_SCANCODE_A);
  if (in_run(scancode, SDL_SCANCODE_1, SDL_SCANCODE_9)) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return '0';
  if (in_run(scancode, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9)) {
    return kNumpad0 + 1 + (scancode - SDL_SCANCODE_KP_1);
  }
  if (in_run(scancode, SDL_SCANCODE_F1, SDL_SCANCODE_F12))
    return kF1 + (scancode - SDL_SCANCODE_F1);
  if (in_run(scancode, SDL_SCANCODE_F13, SDL_SCANCODE_F24)) {
    return kF13 + (scancode - SDL_SCANCODE_F13);
  }
  for (const KeyPair& pair : kSingleKeys) {
    if (pair.scancode == scancode) return pair.key;
  }
  return 0;
}

float controller_axis_unit(Sint16 value) {
  // The stick's range moved to 0...65535, then stretched over -1...+1 as the game expects.
  const float position = static_cast<float>(value + 32768);
  return position * 2.0f / 65535.0f - 1.0f;
}

void sdl_input_open() {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;  // play on without a pad
  for (int i = 0; i < SDL_NumJoysticks(); ++i) attach(i);
}

void sdl_input_close() {
  for (Port& port : g_ports) {
    if (port.pad) SDL_GameControllerClose(port.pad);
    port = Port{};
  }
  g_focus = FocusGuard{};
  g_window_keys.reset();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

HeldInput sdl_held_input() {
  return {SDL_GetKeyboardState(nullptr), SDL_GetMouseState(nullptr, nullptr)};
}

SdlEventMeaning translate_sdl_event(const SDL_Event& e, InputEvent& out, HeldInput (*held)()) {
  out = InputEvent{};
  const SdlEventMeaning meaning = translate_any(e, out, held);
  if (e.type != SDL_KEYUP) g_focus.just_released.reset();
  return meaning;
}

bool sdl_read_joystick(int port, JoystickReading& out) {
  if (port < 0 || port >= kPorts) return false;
  Port& slot = g_ports[port];
  out = JoystickReading{};
  if (slot.pad) {
    SDL_GameControllerUpdate();
    if (SDL_GameControllerGetAttached(slot.pad)) {
      read_pad(slot.pad, out);
      return true;
    }
  }
  if (!slot.ever_used) return false;
  out.axes[kHatAxis] = -1.0f;  // let go: no buttons, sticks centred, hat centred
  return true;
}

}  // namespace media::detail
