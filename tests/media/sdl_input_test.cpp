#include "media/sdl/sdl_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "media/display.h"
#include "media/input.h"
#include "media/system.h"
#include "support/headless_test.h"

using namespace media;
using media::detail::controller_axis_unit;
using media::detail::SdlEventMeaning;
using media::detail::translate_sdl_event;
using media::detail::virtual_key;

TEST(SdlKeyMapTest, KeysGetTheGamesCodes) {
  const std::pair<SDL_Scancode, int> expected[] = {
      {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_KP_ENTER, 13}, {SDL_SCANCODE_ESCAPE, 27},
      {SDL_SCANCODE_SPACE, 32},  {SDL_SCANCODE_LEFT, 37},     {SDL_SCANCODE_UP, 38},
      {SDL_SCANCODE_RIGHT, 39},  {SDL_SCANCODE_DOWN, 40},     {SDL_SCANCODE_A, 65},
      {SDL_SCANCODE_Z, 90},      {SDL_SCANCODE_0, 48},        {SDL_SCANCODE_1, 49},
      {SDL_SCANCODE_9, 57},      {SDL_SCANCODE_F1, 112},      {SDL_SCANCODE_F12, 123},
      {SDL_SCANCODE_KP_0, 96},   {SDL_SCANCODE_KP_9, 105},    {SDL_SCANCODE_BACKSPACE, 8},
      {SDL_SCANCODE_TAB, 9},     {SDL_SCANCODE_LSHIFT, 160},  {SDL_SCANCODE_RSHIFT, 161},
      {SDL_SCANCODE_LCTRL, 162}, {SDL_SCANCODE_RCTRL, 163},   {SDL_SCANCODE_LALT, 164},
      {SDL_SCANCODE_RALT, 165},  {SDL_SCANCODE_UNKNOWN, 0},
  };
  for (const auto& [scancode, key] : expected) {
    EXPECT_EQ(virtual_key(scancode), key) << SDL_GetScancodeName(scancode);
  }
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
  EXPECT_EQ(translate_sdl_event(e, out), SdlEventMeaning::input);
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
  EXPECT_EQ(translate_sdl_event(key(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN), out),
            SdlEventMeaning::nothing);
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

namespace {

using media::detail::HeldInput;

// What SDL reports held when the focus changes: Right, left Shift and the left button; or nothing.
HeldInput right_shift_and_left_button() {
  static Uint8 keys[SDL_NUM_SCANCODES] = {};
  keys[SDL_SCANCODE_RIGHT] = keys[SDL_SCANCODE_LSHIFT] = 1;
  return {keys, SDL_BUTTON(SDL_BUTTON_LEFT)};
}
HeldInput nothing_held() {
  static const Uint8 keys[SDL_NUM_SCANCODES] = {};
  return {keys, 0};
}

SDL_Event focus(SDL_WindowEventID change) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = static_cast<Uint8>(change);
  return e;
}

SDL_Event button(Uint32 type, Uint8 which) {
  SDL_Event e{};
  e.type = type;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.button = which;
  return e;
}

bool ignored(const SDL_Event& e) {
  InputEvent out;
  return translate_sdl_event(e, out) == SdlEventMeaning::nothing;
}

// Each test starts with nothing held, whatever the events of other tests left.
class SdlFocusTest : public ::testing::Test {
 protected:
  void SetUp() override { media::detail::sdl_input_close(); }
  void TearDown() override { media::detail::sdl_input_close(); }

  static void change_focus(SDL_WindowEventID change, HeldInput (*held)()) {
    InputEvent out;
    ASSERT_EQ(translate_sdl_event(focus(change), out, held), SdlEventMeaning::input);
    EXPECT_EQ(out.type, change == SDL_WINDOWEVENT_FOCUS_GAINED ? InputEvent::Type::focus_gained
                                                               : InputEvent::Type::focus_lost);
  }
};

}  // namespace

TEST_F(SdlFocusTest, KeysAndButtonsHeldWhenTheFocusComesBackCountOnlyOnceLetGo) {
  change_focus(SDL_WINDOWEVENT_FOCUS_GAINED, right_shift_and_left_button);
  // SDL reports what is held as pressed afresh, and auto-repeat follows: neither is a press.
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT)));
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT)));
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, 1)));
  EXPECT_TRUE(ignored(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT)));
  // What was not held counts at once.
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_SPACE)).type, InputEvent::Type::key_down);
  EXPECT_EQ(translated(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT)).code, 2);

  // Let go, and pressed again, they count.
  EXPECT_EQ(translated(key(SDL_KEYUP, SDL_SCANCODE_RIGHT)).type, InputEvent::Type::key_up);
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT)).type, InputEvent::Type::key_down);
  EXPECT_EQ(translated(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT)).type,
            InputEvent::Type::mouse_up);
  EXPECT_EQ(translated(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT)).code, 1);
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT)));  // still held from before
}

TEST_F(SdlFocusTest, KeysAndButtonsHeldWhenTheFocusGoesAreLeftOutToo) {
  change_focus(SDL_WINDOWEVENT_FOCUS_LOST, right_shift_and_left_button);
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT)));
  EXPECT_TRUE(ignored(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT)));
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_LEFT)).type, InputEvent::Type::key_down);
}

// As SDL does it: the held key is reported let go right before the focus goes, and nothing is
// held by SDL's account when it comes back; the key's auto-repeat then reads as a fresh press.
TEST_F(SdlFocusTest, AKeyThatSdlLetsGoAsTheFocusGoesStaysLeftOutUntilReallyLetGo) {
  translated(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT));
  translated(key(SDL_KEYDOWN, SDL_SCANCODE_SPACE));
  translated(key(SDL_KEYUP, SDL_SCANCODE_SPACE));  // a real release, before the pointer moved
  SDL_Event moved{};
  moved.type = SDL_MOUSEMOTION;
  translated(moved);
  translated(key(SDL_KEYDOWN, SDL_SCANCODE_UP));
  translated(key(SDL_KEYUP, SDL_SCANCODE_RIGHT));  // SDL forgetting the held keys
  translated(key(SDL_KEYUP, SDL_SCANCODE_UP));
  change_focus(SDL_WINDOWEVENT_FOCUS_LOST, nothing_held);
  change_focus(SDL_WINDOWEVENT_FOCUS_GAINED, nothing_held);

  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT)));
  EXPECT_TRUE(ignored(key(SDL_KEYDOWN, SDL_SCANCODE_UP)));
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_SPACE)).type, InputEvent::Type::key_down);
  EXPECT_EQ(translated(key(SDL_KEYUP, SDL_SCANCODE_RIGHT)).type, InputEvent::Type::key_up);
  EXPECT_EQ(translated(key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT)).type, InputEvent::Type::key_down);
}

namespace {

SDL_Event key_with(Uint32 type, SDL_Scancode scancode, Uint16 mod, Uint8 repeat = 0) {
  SDL_Event e = key(type, scancode, repeat);
  e.key.keysym.mod = mod;
  return e;
}

SdlEventMeaning meaning_of(const SDL_Event& e) {
  InputEvent out;
  return translate_sdl_event(e, out);
}

// Each test starts with no Enter taken by the window, whatever the events of other tests left.
class SdlWindowKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { media::detail::sdl_input_close(); }
  void TearDown() override { media::detail::sdl_input_close(); }
};

}  // namespace

TEST_F(SdlWindowKeyTest, AltEnterSwitchesTheWindowAndItsEnterNeverReachesTheGame) {
  const InputEvent alt = translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT));
  EXPECT_EQ(alt.type, InputEvent::Type::key_down);
  EXPECT_EQ(alt.code, 164);
  EXPECT_EQ(meaning_of(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT)),
            SdlEventMeaning::toggle_window);
  // Held on, it switches nothing more and still says nothing to the game, Alt let go or not.
  EXPECT_EQ(meaning_of(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 1)),
            SdlEventMeaning::nothing);
  EXPECT_EQ(translated(key_with(SDL_KEYUP, SDL_SCANCODE_LALT, KMOD_NONE)).type,
            InputEvent::Type::key_up);
  EXPECT_EQ(meaning_of(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE, 1)),
            SdlEventMeaning::nothing);
  EXPECT_EQ(meaning_of(key_with(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE)),
            SdlEventMeaning::nothing);

  // Let go, Enter is the game's again; the keypad's Enter with the right Alt switches too.
  EXPECT_EQ(translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE)).code, 13);
  EXPECT_EQ(translated(key_with(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE)).code, 13);
  EXPECT_EQ(meaning_of(key_with(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, KMOD_RALT)),
            SdlEventMeaning::toggle_window);
  EXPECT_EQ(meaning_of(key_with(SDL_KEYUP, SDL_SCANCODE_KP_ENTER, KMOD_RALT)),
            SdlEventMeaning::nothing);
}

TEST_F(SdlWindowKeyTest, AnEnterPressedBeforeAltStaysTheGamesAndAltWithOtherKeysSwitchesNothing) {
  EXPECT_EQ(translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE)).code, 13);
  translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_RALT, KMOD_RALT));
  EXPECT_EQ(translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_RALT, 1)).type,
            InputEvent::Type::key_repeat);
  const InputEvent up = translated(key_with(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_RALT));
  EXPECT_EQ(up.type, InputEvent::Type::key_up);
  EXPECT_EQ(up.code, 13);
  EXPECT_EQ(translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_SPACE, KMOD_RALT)).code, 32);
  EXPECT_EQ(translated(key_with(SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_RALT)).code, 'A');
}

namespace {

// SDL events as a player makes them, turned into the game's input as the real back end does,
// each at its time on the headless clock.
class AltEnterOnTheGameTest : public HeadlessTest {
 protected:
  AltEnterOnTheGameTest() { media::detail::sdl_input_close(); }
  ~AltEnterOnTheGameTest() override { media::detail::sdl_input_close(); }

  void at(std::int32_t ms, const SDL_Event& e) {
    InputEvent out;
    const SdlEventMeaning meaning = translate_sdl_event(e, out);
    if (meaning == SdlEventMeaning::input) hb.inject_at_time(ms, out);
    if (meaning == SdlEventMeaning::toggle_window) toggles.push_back(ms);
  }

  // Alt pressed, then Enter, both held a while and let go in the other order.
  void alt_enter(std::int32_t ms) {
    at(ms, key_with(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT));
    at(ms + 40, key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT));
    at(ms + 540, key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, 1));
    at(ms + 600, key_with(SDL_KEYUP, SDL_SCANCODE_LALT, KMOD_NONE));
    at(ms + 620, key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE, 1));
    at(ms + 650, key_with(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_NONE));
  }

  std::vector<std::int32_t> toggles;
};

}  // namespace

TEST_F(AltEnterOnTheGameTest, AWaitForEnterOutlastsAltEnterTwiceAndEndsAtTheNextEnter) {
  Graphics(1024, 768, 32, 60, 0);
  alt_enter(100);
  alt_enter(1000);
  at(2500, key_with(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE));
  EXPECT_EQ(toggles, (std::vector<std::int32_t>{140, 1040}));

  // As the final picture waits: polling for Enter, sleeping a millisecond between looks.
  while (KeyHit(13) == 0) WaitInput(1);
  EXPECT_EQ(MilliSecs(), 2500);
  EXPECT_EQ(KeyHit(164), 2);  // Alt itself is a key the game sees, pressed twice
}

TEST_F(AltEnterOnTheGameTest, AltIsTheKeyAWaitForAnyKeyGetsFromAltEnter) {
  Graphics(1024, 768, 32, 60, 0);
  alt_enter(100);
  EXPECT_EQ(WaitKey(), 164);
  EXPECT_EQ(MilliSecs(), 100);
  EXPECT_EQ(KeyDown(13), 0);
}

TEST(SdlEventTest, NoControllerMeansNoReading) {
  JoystickReading r;
  EXPECT_FALSE(media::detail::sdl_read_joystick(0, r));
  EXPECT_FALSE(media::detail::sdl_read_joystick(16, r));
}

namespace {

// SDL's virtual controllers stand in for real pads: same mapping code, no hardware.
class SdlControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0); }
  void TearDown() override {
    media::detail::sdl_input_close();
    for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) SDL_JoystickDetachVirtual(i);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }

  static SDL_Joystick* plug_in() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    return SDL_JoystickOpen(index);  // our own handle, to move its sticks and buttons
  }

  // What the back end does with the events of each frame.
  static void take_in_events() {
    SDL_Event e;
    InputEvent out;
    while (SDL_PollEvent(&e)) translate_sdl_event(e, out);
  }

  static JoystickReading read(int port) {
    JoystickReading r;
    EXPECT_TRUE(media::detail::sdl_read_joystick(port, r)) << "port " << port;
    return r;
  }
};

}  // namespace

TEST_F(SdlControllerTest, ButtonsAndStickBecomeTheGamesNumbers) {
  SDL_Joystick* pad = plug_in();
  media::detail::sdl_input_open();
  take_in_events();  // the pad's own arrival must not give it a second port

  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
  JoystickReading r = read(0);
  EXPECT_EQ(r.buttons, (1u << 3) | (1u << 4) | (1u << 1) | (1u << 7));
  EXPECT_EQ(r.axes[0], -1.0f);
  EXPECT_EQ(r.axes[9], -1.0f);  // hat centred

  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
  r = read(0);
  EXPECT_EQ(r.axes[0], 1.0f);  // the d-pad overrides the stick
  EXPECT_FLOAT_EQ(r.axes[9], 0.25f);
  JoystickReading none;
  EXPECT_FALSE(media::detail::sdl_read_joystick(1, none));
  SDL_JoystickClose(pad);
}

TEST_F(SdlControllerTest, PadsPluggedLaterGetTheNextPortAndPulledOnesReadLetGo) {
  SDL_Joystick* first = plug_in();
  media::detail::sdl_input_open();
  SDL_Joystick* second = plug_in();
  take_in_events();
  SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_A, 1);
  EXPECT_EQ(read(1).buttons, 1u << 3);

  SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_A, 1);
  EXPECT_EQ(read(0).buttons, 1u << 3);
  SDL_JoystickClose(first);
  SDL_JoystickDetachVirtual(0);
  take_in_events();
  const JoystickReading gone = read(0);  // a held jump must not stay held for ever
  EXPECT_EQ(gone.buttons, 0u);
  EXPECT_EQ(gone.axes[0], 0.0f);
  EXPECT_EQ(read(1).buttons, 1u << 3);
  SDL_JoystickClose(second);
}
