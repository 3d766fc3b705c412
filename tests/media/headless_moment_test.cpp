// A moment of the headless media layer, taken and gone back to: a search plays several futures
// from one point of a game.

#include <gtest/gtest.h>

#include <vector>

#include "media/display.h"
#include "media/input.h"
#include "media/system.h"
#include "support/headless_test.h"

namespace {

using Type = media::InputEvent::Type;

media::InputEvent key(Type type, int code) {
  media::InputEvent e;
  e.type = type;
  e.code = code;
  return e;
}

constexpr int space = 32, left = 37, right = 39;

class HeadlessMoment : public HeadlessTest {
 protected:
  HeadlessMoment() { media::Graphics(1024, 768, 32, 60, 0); }

  // What the future from here looks like: presses, clock, random numbers, controller.
  std::vector<int> future() {
    std::vector<int> seen;
    for (int frame = 0; frame < 6; ++frame) {
      media::Flip(-1);
      seen.push_back(media::MilliSecs());
      seen.push_back(media::KeyDown(left) + 2 * media::KeyDown(right));
      seen.push_back(media::KeyHit(space));
      seen.push_back(media::Rand(-1000000, 1000000));
      seen.push_back(static_cast<int>(media::JoyX(0) * 10));
      seen.push_back(media::MouseX());  // the pointer the stick moves
      seen.push_back(hb.frames_presented());
    }
    return seen;
  }
};

TEST_F(HeadlessMoment, GoingBackToAMomentReplaysTheSameFuture) {
  media::SeedRnd(977);
  hb.set_clock(1234);
  media::JoystickReading pad;
  pad.axes[0] = 0.5f;
  hb.set_joystick(0, pad);
  // Held and pressed before the moment; scripted for later, by time and by frame.
  hb.inject_at_time(1234, key(Type::key_down, left));
  hb.inject_at_time(1234, key(Type::key_down, space));
  EXPECT_EQ(media::KeyDown(left), 1);
  hb.inject_at_time(1280, key(Type::key_up, left));
  hb.inject_at_frame(3, key(Type::key_down, right));
  const auto moment = hb.moment();

  const std::vector<int> first = future();
  // Another future meanwhile: keys, a joystick, the clock and the generator all moved on.
  pad.axes[0] = -1.0f;
  hb.set_joystick(0, pad);
  hb.inject_at_time(media::MilliSecs(), key(Type::key_down, space));
  media::KeyDown(space);
  media::Delay(5000);
  media::Rand(0, 10);

  hb.return_to(*moment);
  EXPECT_EQ(future(), first);
  EXPECT_EQ(first[0], 1250);  // the clock moves on from where it was
  EXPECT_EQ(first[2], 1);     // the press made before the moment is still counted
}

TEST_F(HeadlessMoment, TheTimeTheGamesClockLeftOutIsPartOfIt) {
  const media::Timer timer = media::CreateTimer(60);
  hb.set_clock(1000);
  const auto moment = hb.moment();
  const std::int32_t game_ms = media::MilliSecs();
  hb.inject_at_time(1000, key(Type::focus_lost, 0));
  hb.inject_at_time(9000, key(Type::focus_gained, 0));
  media::WaitTimer(timer);
  ASSERT_LT(media::MilliSecs() - game_ms, 20);
  hb.return_to(*moment);
  EXPECT_EQ(media::MilliSecs(), game_ms);
}

TEST_F(HeadlessMoment, KeepsTheControllersAsTheyWere) {
  media::JoystickReading pad;
  pad.axes[0] = 1.0f;
  pad.buttons = 1u << 3;
  hb.set_joystick(0, pad);
  EXPECT_EQ(media::JoyDown(3), 1);
  const auto moment = hb.moment();
  media::JoystickReading moved;
  moved.axes[0] = -1.0f;
  hb.set_joystick(0, moved);
  EXPECT_EQ(media::JoyX(0), -1.0f);
  EXPECT_EQ(media::JoyHit(3), 1);
  hb.return_to(*moment);
  EXPECT_EQ(media::JoyX(0), 1.0f);
  EXPECT_EQ(media::JoyHit(3), 1);  // the press not yet asked about, as it was
}

}  // namespace
