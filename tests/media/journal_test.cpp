// What the game takes in, journaled with its moment and fed back in place of the back end's.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "media/display.h"
#include "media/input.h"
#include "media/journal.h"
#include "media/system.h"
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

constexpr int kEnter = 13, kRight = 39;

struct Noted {
  std::string what;
  Stamp at;
  int value = 0;
  bool operator==(const Noted&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Noted& n) {
  return out << n.what << " " << n.value << " at " << n.at.frame << "." << n.at.take_in;
}

// Writes down what it hears, by kind.
class NotingJournal : public Journal {
 public:
  void event(Stamp at, const InputEvent& e) override { noted.push_back({"event", at, e.code}); }
  void pad(Stamp at, int port, const std::optional<JoystickReading>& r) override {
    pads.push_back({r ? "pad" : "no pad", at, port});
  }
  void clock(Stamp at, std::int32_t ms) override { clocks.push_back({"clock", at, ms}); }
  void seed(int s) override { noted.push_back({"seed", {}, s}); }
  void presented(int frames) override { last_presented = frames; }
  void ending(int status) override { noted.push_back({"ending", {}, status}); }

  std::vector<Noted> noted, pads, clocks;
  int last_presented = 0;
};

// Hands over scripted events at given moments, and scripted clock readings in turn.
class ScriptedFeed : public Feed {
 public:
  void events(Stamp at, TakeIn how, std::vector<InputEvent>& out) override {
    asked.push_back(how);
    while (!script.empty() && script.front().first <= at) {
      out.push_back(script.front().second);
      script.pop_front();
    }
  }
  bool more_to_come() const override { return !script.empty(); }
  std::optional<JoystickReading> pad(Stamp, int port) override {
    if (port != 1) return std::nullopt;  // port 0 would also work the pointer and Enter
    return reading;
  }
  std::int32_t clock(Stamp, std::int32_t now) override {
    if (readings.empty()) return now;
    const std::int32_t ms = readings.front();
    readings.pop_front();
    return ms;
  }
  int seed(int) override { return fixed_seed; }

  std::deque<std::pair<Stamp, InputEvent>> script;
  std::deque<std::int32_t> readings;
  JoystickReading reading;
  int fixed_seed = 77;
  std::vector<TakeIn> asked;
};

}  // namespace

class JournalTest : public HeadlessTest {
 protected:
  JournalTest() {
    Graphics(320, 240, 0, 0, 0);
    first_frame = current_stamp().frame;
  }
  ~JournalTest() override {
    set_journal(nullptr);
    set_feed(nullptr);
  }
  void now(const InputEvent& e) { hb.inject_at_time(hb.millisecs(), e); }
  // Frames presented while the display opened.
  int first_frame = 0;
};

TEST_F(JournalTest, EventsAreStampedWithTheFrameAndHowOftenInputWasTakenInSince) {
  NotingJournal journal;
  set_journal(&journal);
  KeyDown(kRight);  // the pointer put in the middle of the new display comes in here
  now(event(Type::key_down, kRight));
  KeyDown(kRight);
  Flip(1);
  Flip(1);
  MouseX();
  now(event(Type::key_up, kRight));
  MouseX();
  const int f = first_frame;
  EXPECT_EQ(journal.last_presented, f + 2);
  const std::vector<Noted> expected = {
      {"event", {f, 0}, 0}, {"event", {f, 1}, kRight}, {"event", {f + 2, 1}, kRight}};
  EXPECT_EQ(journal.noted, expected);
  EXPECT_EQ(current_stamp(), (Stamp{f + 2, 2}));
}

TEST_F(JournalTest, TheGamesClockReadingsAreJournaledButNotThoseOfFramePacing) {
  NotingJournal journal;
  set_journal(&journal);
  const Timer timer = CreateTimer(60);
  hb.set_clock(1234);
  const std::int32_t read = MilliSecs();
  WaitTimer(timer);
  Flip(1);
  ASSERT_EQ(journal.clocks.size(), 1u);
  EXPECT_EQ(journal.clocks[0], (Noted{"clock", {first_frame, 0}, read}));
  EXPECT_EQ(read, 1234);
}

TEST_F(JournalTest, SeedsAndTheProgramsEndAreJournaled) {
  NotingJournal journal;
  set_journal(&journal);
  SeedRnd(4242);
  EXPECT_EQ(test_support::program_end_status([] { End(); }), 0);
  const std::vector<Noted> expected = {{"seed", {}, 4242}, {"ending", {}, 0}};
  EXPECT_EQ(journal.noted, expected);
}

TEST_F(JournalTest, ControllerReadingsAreJournaledAtEveryReadingReadableOrNot) {
  NotingJournal journal;
  set_journal(&journal);
  JoyX(1);
  hb.set_joystick(1, JoystickReading{});
  JoyX(1);
  ASSERT_EQ(journal.pads.size(), 2u);
  EXPECT_EQ(journal.pads[0].what, "no pad");
  EXPECT_EQ(journal.pads[1].what, "pad");
  EXPECT_EQ(journal.pads[1].value, 1);
}

TEST_F(JournalTest, AFeedReplacesTheBackEndsEventsClockControllersAndSeed) {
  ScriptedFeed feed;
  feed.script.push_back({{first_frame + 1, 0}, event(Type::key_down, kRight)});
  feed.readings = {500, 517};
  feed.reading.buttons = 1u << 3;
  feed.reading.axes[0] = 0.75f;
  set_feed(&feed);
  now(event(Type::key_down, kEnter));  // the back end's own: dropped
  EXPECT_EQ(KeyDown(kEnter), 0);
  EXPECT_EQ(KeyDown(kRight), 0) << "not before its frame";
  Flip(1);
  EXPECT_EQ(KeyDown(kRight), 1);
  EXPECT_EQ(MilliSecs(), 500);
  EXPECT_EQ(MilliSecs(), 517);
  EXPECT_EQ(JoyDown(3, 1), 1);
  EXPECT_FLOAT_EQ(JoyX(1), 0.75f);
  EXPECT_EQ(JoyDown(3, 0), 0);
  SeedRnd(1);
  const int first = Rand(0, 1000000);
  SeedRnd(77);
  EXPECT_EQ(Rand(0, 1000000), first) << "the feed's seed is used";
}

TEST_F(JournalTest, AWaitForAKeyTakesTheFedKeyAndNeverTheBackEndsWhileMoreIsToCome) {
  ScriptedFeed feed;
  feed.script.push_back({{first_frame, 3}, event(Type::key_down, kEnter)});
  set_feed(&feed);
  hb.inject_at_time(hb.millisecs() + 5, event(Type::key_down, kRight));
  EXPECT_EQ(WaitKey(), kEnter);
  // The look before the wait, then waits until the fed key's moment.
  const std::vector<TakeIn> asked = {TakeIn::look, TakeIn::wait, TakeIn::wait, TakeIn::wait};
  EXPECT_EQ(feed.asked, asked);
  EXPECT_THROW(WaitKey(), InputStarved) << "with the feed run out, the back end's wait starves";
}

TEST_F(JournalTest, AWaitForTheTimerWithNothingFedStillWaitsOnTheBackEndsClock) {
  ScriptedFeed feed;
  set_feed(&feed);
  const Timer timer = CreateTimer(60);
  const std::int32_t before = hb.millisecs();
  EXPECT_EQ(WaitTimer(timer), 1);
  EXPECT_EQ(hb.millisecs() - before, 16);
}
