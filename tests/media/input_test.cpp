#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "media/display.h"
#include "media/input.h"
#include "support/headless_test.h"

using namespace media;
using Type = InputEvent::Type;

namespace {

InputEvent event(Type type, int code = 0, int x = 0, int y = 0) {
  InputEvent e;
  e.type = type;
  e.code = code;
  e.x = x;
  e.y = y;
  return e;
}

constexpr int kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kA = 65;

}  // namespace

class InputTest : public HeadlessTest {
 protected:
  // Events that arrive together, taken in the next time anything polls.
  void now(std::initializer_list<InputEvent> events) {
    for (const InputEvent& e : events) hb.inject_at_time(hb.millisecs(), e);
  }
};

TEST_F(InputTest, PressAndReleaseBetweenFramesIsOneHit) {
  now({event(Type::key_down, kSpace), event(Type::key_up, kSpace)});
  EXPECT_EQ(KeyHit(kSpace), 1);
  EXPECT_EQ(KeyHit(kSpace), 0);
  EXPECT_EQ(KeyDown(kSpace), 0);
}

TEST_F(InputTest, HeldKeyWithAutoRepeatIsOneHit) {
  now({event(Type::key_down, kRight)});
  for (int i = 0; i < 5; ++i) now({event(Type::key_repeat, kRight)});
  now({event(Type::key_down, kRight)});  // a second down without an up adds nothing either
  EXPECT_EQ(KeyDown(kRight), 1);
  EXPECT_EQ(KeyHit(kRight), 1);
  now({event(Type::key_up, kRight), event(Type::key_down, kRight)});
  EXPECT_EQ(KeyHit(kRight), 1);
}

TEST_F(InputTest, QueriesTakeInWaitingEventsThemselves) {
  hb.inject_at_time(hb.millisecs() + 100, event(Type::key_down, 160));
  hb.inject_at_time(hb.millisecs() + 100, event(Type::mouse_move, 0, 512, 300));
  EXPECT_EQ(KeyDown(160), 0);
  hb.set_clock(hb.millisecs() + 100);
  EXPECT_EQ(KeyDown(160), 1);
  EXPECT_EQ(KeyDown(16), 0);  // Shift is never the generic code
  EXPECT_EQ(MouseX(), 512);
  EXPECT_EQ(MouseY(), 300);
}

TEST_F(InputTest, LosingTheFocusForgetsHeldKeysAndButtons) {
  now({event(Type::key_down, kRight), event(Type::mouse_down, 1), event(Type::focus_lost)});
  EXPECT_EQ(KeyDown(kRight), 0);
  EXPECT_EQ(KeyHit(kRight), 0);
  EXPECT_EQ(MouseDown(1), 0);
  now({event(Type::focus_gained), event(Type::key_up, kRight)});
  EXPECT_EQ(KeyDown(kRight), 0);
  now({event(Type::key_down, kRight)});
  EXPECT_EQ(KeyDown(kRight), 1);
}

TEST_F(InputTest, FlushMouseMakesAHeldButtonReadUpUntilPressedAgain) {
  now({event(Type::mouse_down, 1)});
  EXPECT_EQ(MouseDown(1), 1);
  FlushMouse();
  EXPECT_EQ(MouseDown(1), 0);
  now({event(Type::mouse_up, 1), event(Type::mouse_down, 1)});
  EXPECT_EQ(MouseDown(1), 1);
  now({event(Type::mouse_down, 2), event(Type::mouse_down, 3)});
  EXPECT_EQ(MouseDown(2), 1);
  EXPECT_EQ(MouseDown(3), 1);
}

TEST_F(InputTest, CodesOutOfRangeAreIgnored) {
  now({event(Type::key_down, 0), event(Type::key_down, 256), event(Type::mouse_down, 0),
       event(Type::mouse_down, 9)});
  EXPECT_EQ(KeyDown(0), 0);
  EXPECT_EQ(KeyDown(256), 0);
  EXPECT_EQ(KeyHit(-1), 0);
  EXPECT_EQ(MouseDown(0), 0);
  EXPECT_EQ(MouseDown(9), 0);
}

TEST_F(InputTest, WaitKeyForgetsEarlierPressesAndReturnsTheLowestOfABatch) {
  now({event(Type::key_down, kSpace), event(Type::key_up, kSpace)});
  ASSERT_EQ(KeyDown(kSpace), 0);  // taken in: a hit waits uncollected
  const auto t = hb.millisecs();
  hb.inject_at_time(t + 10, event(Type::mouse_move, 0, 1, 1));  // no key: keep waiting
  hb.inject_at_time(t + 20, event(Type::key_up, kA));
  hb.inject_at_time(t + 30, event(Type::key_down, kA));
  hb.inject_at_time(t + 30, event(Type::key_down, kDown));
  hb.inject_at_time(t + 30, event(Type::key_down, kUp));
  EXPECT_EQ(WaitKey(), kUp);
  EXPECT_EQ(KeyHit(kSpace), 0);
}

TEST_F(InputTest, WaitKeyForgetsPressesNotYetTakenIn) {
  // Pressed while the program drew without asking for input, as during a fade.
  now({event(Type::key_down, kSpace), event(Type::key_up, kSpace)});
  EXPECT_THROW(WaitKey(), InputStarved);

  now({event(Type::key_down, kSpace)});
  hb.inject_at_time(hb.millisecs() + 40, event(Type::key_down, kA));
  EXPECT_EQ(WaitKey(), kA);
}

TEST_F(InputTest, DueEventsGoOutInTheOrderInjectedWhetherByTimeOrByFrame) {
  const std::int32_t t = hb.millisecs();
  hb.inject_at_time(t + 30, event(Type::mouse_move, 0, 1, 0));
  hb.inject_at_frame(1, event(Type::close_requested));
  hb.inject_at_time(t + 10, event(Type::mouse_move, 0, 3, 0));
  hb.inject_at_frame(1, event(Type::mouse_move, 0, 4, 0));
  hb.inject_at_time(t + 20, event(Type::mouse_move, 0, 5, 0));
  hb.present(false);
  hb.delay(100);
  EXPECT_EQ(test_support::program_end_status([] { MouseX(); }), 0);
  EXPECT_EQ(hb.pending_events(), 3u) << "the close request goes out second";
  EXPECT_EQ(MouseX(), 5);
}

TEST_F(InputTest, ScriptedTimesAreReadAcrossTheClocksWrap) {
  constexpr std::int32_t late = std::numeric_limits<std::int32_t>::max() - 5;
  constexpr std::int32_t wrapped = std::numeric_limits<std::int32_t>::min() + 4;  // 10 ms later
  hb.set_clock(late);
  hb.inject_at_time(wrapped, event(Type::key_down, kA));
  hb.inject_at_time(late - 100, event(Type::key_down, kUp));
  EXPECT_EQ(KeyDown(kUp), 1) << "a time just behind the clock is due at once";
  EXPECT_EQ(KeyDown(kA), 0);
  hb.wait_events();
  EXPECT_EQ(hb.millisecs(), wrapped);
  EXPECT_EQ(KeyDown(kA), 1);
}

TEST_F(InputTest, WaitKeyWithNothingComingStarves) {
  EXPECT_THROW(WaitKey(), InputStarved);
}

TEST_F(InputTest, WaitInputSleepsAtMostItsTimeAndWakesForInput) {
  hb.set_clock(1000);
  hb.inject_at_time(1500, event(Type::key_down, kA));
  WaitInput(1);
  EXPECT_EQ(hb.millisecs(), 1001);
  EXPECT_EQ(KeyDown(kA), 0);
  WaitInput(800);
  EXPECT_EQ(hb.millisecs(), 1500);
  EXPECT_EQ(KeyDown(kA), 1);
  // Only events by time can come while nothing is presented.
  hb.inject_at_frame(hb.frames_presented() + 1, event(Type::key_down, kSpace));
  EXPECT_THROW(WaitInput(1), InputStarved);
}

TEST_F(InputTest, CloseRequestEndsTheProgram) {
  now({event(Type::close_requested)});
  EXPECT_EQ(test_support::program_end_status([] { KeyDown(kLeft); }), 0) << "close request ignored";
}

TEST_F(InputTest, CloseRequestEndsTheProgramWhileWaitingForAKey) {
  hb.inject_at_time(hb.millisecs() + 500, event(Type::close_requested));
  EXPECT_EQ(test_support::program_end_status([] { WaitKey(); }), 0)
      << "close request ignored while waiting for a key";
}

TEST_F(InputTest, NoJoystickReadsZero) {
  EXPECT_EQ(JoyX(0), 0.0f);
  EXPECT_EQ(JoyDown(0, 0), 0);
  EXPECT_EQ(JoyHit(4, 0), 0);
  EXPECT_EQ(JoyX(99), 0.0f);
}

TEST_F(InputTest, JoystickCountsRisingButtonsAtEachRead) {
  JoystickReading r;
  r.axes[0] = -1.0f;
  r.buttons = 1u << 4;
  hb.set_joystick(0, r);
  EXPECT_EQ(JoyX(0), -1.0f);
  EXPECT_EQ(JoyDown(4, 0), 1);
  EXPECT_EQ(JoyHit(4, 0), 1);
  EXPECT_EQ(JoyHit(4, 0), 0);  // still held: no new press

  r.buttons = 0;
  hb.set_joystick(0, r);
  EXPECT_EQ(JoyDown(4, 0), 0);
  r.buttons = (1u << 4) | (1u << 15);
  hb.set_joystick(0, r);
  EXPECT_EQ(JoyDown(15, 0), 1);
  EXPECT_EQ(JoyDown(16, 0), 0);
  EXPECT_EQ(JoyHit(4, 0), 1);

  hb.set_joystick(0, std::nullopt);  // unreadable: the last reading stands
  EXPECT_EQ(JoyX(0), -1.0f);
  EXPECT_EQ(JoyDown(4, 0), 1);
  EXPECT_EQ(JoyDown(4, 1), 0);
}

// The first controller working the pointer and the keys of the screens between stretches of
// play. The display is open, so the pointer starts in the middle, at (512, 384).
class PadInput : public InputTest {
 protected:
  void SetUp() override {
    Graphics(1024, 768, 32, 60, 0);
    ASSERT_EQ(MouseX(), 512);
    ASSERT_EQ(MouseY(), 384);
  }

  void pad(float x, float y, std::uint32_t buttons = 0) {
    JoystickReading r;
    r.axes[0] = x;
    r.axes[1] = y;
    r.buttons = buttons;
    hb.set_joystick(0, r);
  }
  // Polled every `step` ms for `ms` ms, as frames of the menu do.
  void hold_for(int ms, int step = 16) {
    for (int t = 0; t < ms; t += step) {
      hb.delay(std::min(step, ms - t));
      MouseX();
    }
  }

  static constexpr std::uint32_t kA = 1u << 3, kB = 1u << 4, kBack = 1u << 5, kStart = 1u << 6;
  static constexpr int kEnter = 13, kEscape = 27;
  // Pixels per millisecond at full tilt: the screen's 1024 pixels in a second and a half.
  static constexpr double kFullSpeed = 1024.0 / 1500.0;
};

TEST_F(PadInput, TheStickMovesThePointerByTimeFasterTheFurtherItLeansPastTheDeadZone) {
  pad(0.0f, 0.0f);
  MouseX();          // the first reading starts the pointer's clock
  pad(0.48f, 0.2f);  // leaning 0.52: two fifths of the way from the dead zone's edge to full
  hold_for(1000, 7);
  const double speed = kFullSpeed * (0.52 - 0.2) / 0.8;
  EXPECT_EQ(MouseX(), static_cast<int>(512 + speed * 1000 * 0.48 / 0.52));
  EXPECT_EQ(MouseY(), static_cast<int>(384 + speed * 1000 * 0.2 / 0.52));

  // The same second in polls of another length goes as far.
  now({event(Type::mouse_move, 0, 400, 600)});
  pad(-0.48f, -0.2f);
  hold_for(1000, 23);
  EXPECT_EQ(MouseX(), static_cast<int>(400 - speed * 1000 * 0.48 / 0.52));
  EXPECT_EQ(MouseY(), static_cast<int>(600 - speed * 1000 * 0.2 / 0.52));
}

TEST_F(PadInput, AtFullTiltThePointerCrossesTheScreenInASecondAndAHalfAndStaysOnIt) {
  pad(-1.0f, 0.0f);  // the d-pad reads as the stick at full tilt
  MouseX();
  hold_for(1000);
  EXPECT_EQ(MouseX(), 0) << "512 pixels take 750 ms";
  pad(1.0f, 1.0f);  // diagonally, still at full speed along the diagonal
  hold_for(1400);
  EXPECT_EQ(MouseX(), static_cast<int>(kFullSpeed * 1400 / std::sqrt(2.0)));
  EXPECT_EQ(MouseY(), 767);
  pad(1.0f, 0.0f);
  hold_for(1500);
  EXPECT_EQ(MouseX(), 1023);
}

TEST_F(PadInput, InsideTheDeadZoneOrWithANonsenseReadingThePointerStays) {
  MouseX();
  for (auto [x, y] : {std::pair(0.15f, -0.12f), std::pair(0.0f, 0.19f),
                      std::pair(std::numeric_limits<float>::quiet_NaN(), 1.0f),
                      std::pair(std::numeric_limits<float>::infinity(), 0.0f)}) {
    pad(x, y);
    hold_for(500);
    EXPECT_EQ(MouseX(), 512) << x << ", " << y;
    EXPECT_EQ(MouseY(), 384) << x << ", " << y;
  }
}

TEST_F(PadInput, ALatePollMovesThePointerNoFurtherThanATenthOfASecond) {
  pad(1.0f, 0.0f);
  MouseX();
  hb.delay(3000);
  EXPECT_EQ(MouseX(), 512 + static_cast<int>(kFullSpeed * 100));
}

TEST_F(PadInput, TheRealMouseWinsAndThePadGoesOnFromWhereItPutThePointer) {
  pad(1.0f, 0.0f);
  MouseX();
  hold_for(100);
  now({event(Type::mouse_move, 0, 40, 700)});
  EXPECT_EQ(MouseX(), 40);
  EXPECT_EQ(MouseY(), 700);
  hold_for(300);
  EXPECT_EQ(MouseX(), 40 + static_cast<int>(kFullSpeed * 300));
  EXPECT_EQ(MouseY(), 700);
}

TEST_F(PadInput, AIsTheLeftMouseButtonWhileHeldUntilAFlushLetsItGo) {
  pad(0, 0, kA);
  EXPECT_EQ(MouseDown(1), 1);
  EXPECT_EQ(MouseDown(2), 0);
  pad(0, 0, kB | kStart | kBack);
  EXPECT_EQ(MouseDown(1), 0) << "only A clicks";
  pad(0, 0, kA);
  now({event(Type::mouse_down, 1), event(Type::mouse_up, 1)});
  EXPECT_EQ(MouseDown(1), 1) << "the mouse let go, A still held";
  FlushMouse();
  EXPECT_EQ(MouseDown(1), 0);
  pad(0, 0, 0);
  MouseX();
  pad(0, 0, kA);
  EXPECT_EQ(MouseDown(1), 1) << "pressed again";
  now({event(Type::focus_lost), event(Type::focus_gained)});
  EXPECT_EQ(MouseDown(1), 0) << "held through a change of focus";
}

TEST_F(PadInput, APressOfABOrStartIsAPressOfEnterAndBackIsEscapeWhileHeld) {
  for (std::uint32_t button : {kA, kB, kStart}) {
    pad(0, 0, button);
    EXPECT_EQ(KeyDown(kEnter), 1);
    EXPECT_EQ(KeyDown(kEnter), 1);
    EXPECT_EQ(KeyHit(kEnter), 1) << "one press however long it is held";
    pad(0, 0, button | kA | kB | kStart);
    EXPECT_EQ(KeyHit(kEnter), 0) << "Enter was already held";
    pad(0, 0, 0);
    EXPECT_EQ(KeyDown(kEnter), 0);
  }
  EXPECT_EQ(KeyDown(kEscape), 0);
  pad(0, 0, kBack);
  EXPECT_EQ(KeyDown(kEscape), 1);
  EXPECT_EQ(KeyDown(kEnter), 0);
  EXPECT_EQ(KeyHit(kEscape), 1);
  pad(0, 0, 0);
  EXPECT_EQ(KeyDown(kEscape), 0);
}

TEST_F(PadInput, ThePlayButtonsKeepTheirNumbersAndTheirPresses) {
  pad(0, 0, kA);
  EXPECT_EQ(KeyDown(kEnter), 1);
  EXPECT_EQ(JoyDown(3), 1);
  EXPECT_EQ(JoyHit(3), 1);
  pad(0, 0, kA | kB);
  EXPECT_EQ(KeyDown(kSpace), 0);
  EXPECT_EQ(JoyHit(4), 1) << "a press seen first by a key query still counts once";
  EXPECT_EQ(JoyHit(3), 0);
}

TEST_F(PadInput, WaitKeyEndsWithEnterForAPadPressMadeWhileItWaitsOnly) {
  pad(0, 0, kA);  // held before the wait, as the press that started a game
  const std::int32_t t = hb.millisecs();
  hb.inject_joystick_at_time(t + 100, 0, JoystickReading{});
  JoystickReading stick;
  stick.axes[0] = 1.0f;
  hb.inject_joystick_at_time(t + 200, 0, stick);  // the stick is no key
  JoystickReading start;
  start.buttons = kStart;
  hb.inject_joystick_at_time(t + 300, 0, start);
  EXPECT_EQ(WaitKey(), kEnter);
  EXPECT_EQ(hb.millisecs(), t + 300);
}
