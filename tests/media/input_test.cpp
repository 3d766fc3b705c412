#include <gtest/gtest.h>

#include <limits>

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
