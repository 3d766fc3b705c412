#include "media/sdl_input.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace media;
using media::detail::controller_axis_unit;
using media::detail::translate_sdl_event;
using media::detail::virtual_key;

TEST(SdlKeyMapTest, KeysGetTheGamesCodes) {
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RETURN), 13);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_ENTER), 13);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_SPACE), 32);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LEFT), 37);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_UP), 38);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RIGHT), 39);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_DOWN), 40);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_A), 65);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_Z), 90);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_0), 48);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_1), 49);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_9), 57);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F1), 112);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_F12), 123);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_0), 96);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_KP_9), 105);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_BACKSPACE), 8);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_TAB), 9);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LSHIFT), 160);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RSHIFT), 161);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LCTRL), 162);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RCTRL), 163);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_LALT), 164);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_RALT), 165);
  EXPECT_EQ(virtual_key(SDL_SCANCODE_UNKNOWN), 0);
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    const int key = virtual_key(static_cast<SDL_Scancode>(s));
    EXPECT_TRUE(key >= 0 && key <= 255) << "scancode " << s;
    EXPECT_TRUE(key < 16 || key > 18) << "generic Shift/Control/Alt from scancode " << s;
  }
}

TEST(SdlKeyMapTest, ControllerAxisSpansMinusOneToOne) {
  EXPECT_EQ(controller_axis_unit(-32768), -1.0f);
  EXPECT_EQ(controller_axis_unit(32767), 1.0f);
  EXPECT_NEAR(controller_axis_unit(0), 0.0f, 1e-4f);
  EXPECT_LT(controller_axis_unit(-16384), -0.49f);
}

namespace {

InputEvent translated(const SDL_Event& e) {
  InputEvent out;
  EXPECT_TRUE(translate_sdl_event(e, out));
  return out;
}

SDL_Event key(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = scancode;
  return e;
}

}  // namespace

TEST(SdlEventTest, KeysRepeatsAndReleases) {
  InputEvent down = translated(key(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT));
  EXPECT_EQ(down.type, InputEvent::Type::key_down);
  EXPECT_EQ(down.code, 161);
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 1)).type, InputEvent::Type::key_repeat);
  EXPECT_EQ(translated(key(SDL_KEYUP, SDL_SCANCODE_RIGHT)).type, InputEvent::Type::key_up);
  InputEvent out;
  EXPECT_FALSE(translate_sdl_event(key(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN), out));
}

TEST(SdlEventTest, MouseButtonsWheelAndText) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.state = SDL_PRESSED;
  e.button.button = SDL_BUTTON_RIGHT;
  EXPECT_EQ(translated(e).code, 2);
  e.button.button = SDL_BUTTON_MIDDLE;
  EXPECT_EQ(translated(e).code, 3);

  e = SDL_Event{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = -2;
  EXPECT_EQ(translated(e).code, -240);

  e = SDL_Event{};
  e.type = SDL_TEXTINPUT;
  std::strcpy(e.text.text, "\xE2\x82\xAC");  // the euro sign
  EXPECT_EQ(translated(e).code, 0x20AC);
  std::strcpy(e.text.text, "\xC3");  // cut short
  EXPECT_EQ(translated(e).code, 0xFFFD);
}

TEST(SdlEventTest, WindowCloseAndQuitAskToClose) {
  SDL_Event e{};
  e.type = SDL_QUIT;
  EXPECT_EQ(translated(e).type, InputEvent::Type::close_requested);
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_EQ(translated(e).type, InputEvent::Type::close_requested);
  e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  EXPECT_EQ(translated(e).type, InputEvent::Type::focus_lost);
}

TEST(SdlEventTest, NoControllerMeansNoReading) {
  JoystickReading r;
  EXPECT_FALSE(media::detail::sdl_read_joystick(0, r));
  EXPECT_FALSE(media::detail::sdl_read_joystick(16, r));
}
