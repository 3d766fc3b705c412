// The replay's text: every instruction read as what it stands for, what the writer writes read
// back the same, and faults named by their line.

#include "replay_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "replay_journal.h"

namespace {

using media::InputEvent;
using media::Stamp;
using replays::Replay;
using Type = InputEvent::Type;

InputEvent event(Type type, int code = 0, int x = 0, int y = 0) {
  InputEvent e;
  e.type = type;
  e.code = code;
  e.x = x;
  e.y = y;
  return e;
}

bool same(const InputEvent& a, const InputEvent& b) {
  return a.type == b.type && a.code == b.code && a.x == b.x && a.y == b.y;
}

// The events of a replay with their moments, as "frame.n type code x y".
std::vector<std::string> described(const Replay& replay) {
  std::vector<std::string> out;
  for (const replays::Taken& t : replay.taken) {
    std::ostringstream line;
    line << t.at.frame << "." << t.at.take_in << " ";
    if (const auto* e = std::get_if<InputEvent>(&t.what)) {
      line << static_cast<int>(e->type) << " " << e->code << " " << e->x << " " << e->y;
    } else {
      const auto& p = std::get<replays::PadReading>(t.what);
      line << "pad " << p.port << (p.reading ? " read" : " none");
    }
    out.push_back(line.str());
  }
  return out;
}

std::string line_of(const InputEvent& e, Stamp at = {3, 2}) {
  return replays::event_line(at, e);
}

}  // namespace

TEST(ReplayText, EveryInstructionReadsAsTheEventItStandsFor) {
  const Replay r = replays::parse_replay(
      "# a comment\n"
      "seed 99\n"
      "0 move 512 -3   # after a line too\n"
      "0.4 down mouse-left right\n"
      "2 up mouse-middle key200\n"
      "2.1 repeat a\n"
      "3 char 1078\n"
      "3 wheel -120\n"
      "4 focus lost\n"
      "4.7 focus gained\n"
      "5 close\n"
      "6 tap 7 escape\n");
  EXPECT_EQ(r.seed, 99);
  const std::vector<InputEvent> expected = {event(Type::mouse_move, 0, 512, -3),
                                            event(Type::mouse_down, 1),
                                            event(Type::key_down, 39),
                                            event(Type::mouse_up, 3),
                                            event(Type::key_up, 200),
                                            event(Type::key_repeat, 'A'),
                                            event(Type::character, 1078),
                                            event(Type::wheel, -120),
                                            event(Type::focus_lost),
                                            event(Type::focus_gained),
                                            event(Type::close_requested),
                                            event(Type::key_down, '7'),
                                            event(Type::key_down, 27),
                                            event(Type::key_up, '7'),
                                            event(Type::key_up, 27)};
  ASSERT_EQ(r.taken.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(same(std::get<InputEvent>(r.taken[i].what), expected[i])) << i;
  }
  EXPECT_EQ(r.taken[1].at, (Stamp{0, 4}));
  EXPECT_EQ(r.taken[9].at, (Stamp{4, 7}));
  EXPECT_EQ(r.taken[13].at, (Stamp{7, 0})) << "a tap goes up before the next frame";
}

TEST(ReplayText, LinesArePutInOrderOfMomentKeepingTheOrderOfThoseOfOneMoment) {
  const Replay r = replays::parse_replay(
      "45 tap up\n46 down space\n45.3 down left\n9 clock 7\n2 clock 1\n46 up space\n"
      "3 down right\n");
  const std::vector<std::string> expected = {"3.0 0 39 0 0",  "45.0 0 38 0 0", "45.3 0 37 0 0",
                                             "46.0 2 38 0 0", "46.0 0 32 0 0", "46.0 2 32 0 0"};
  EXPECT_EQ(described(r), expected);
  ASSERT_EQ(r.clocks.size(), 2u);
  EXPECT_EQ(r.clocks[0].frame, 2);
  EXPECT_EQ(r.clocks[1].frame, 9);
}

TEST(ReplayText, WhatTheWriterWritesReadsBackTheSame) {
  std::ostringstream text;
  replays::ReplayWriter writer(text);
  const std::vector<std::pair<Stamp, InputEvent>> events = {
      {{0, 0}, event(Type::mouse_move, 0, 700, 411)},
      {{0, 1}, event(Type::mouse_down, 2)},
      {{1, 0}, event(Type::key_down, 160)},
      {{1, 5}, event(Type::key_up, 'Q')},
      {{2, 0}, event(Type::key_repeat, 9)},
      {{2, 0}, event(Type::character, 33)},
      {{2, 3}, event(Type::wheel, 240)},
      {{9, 0}, event(Type::focus_lost)},
      {{9, 1}, event(Type::focus_gained)},
      {{12, 0}, event(Type::close_requested)}};
  media::JoystickReading pad;
  pad.buttons = 0x4a1;
  pad.axes[0] = 0.1f;
  pad.axes[1] = -1.0f / 3.0f;
  pad.axes[9] = -1.0f;
  writer.seed(-5);
  writer.clock({0, 0}, 1000);
  writer.clock({0, 0}, 1000);
  writer.clock({0, 1}, 1001);
  for (const auto& [at, e] : events) {
    if (at.frame == 1 && at.take_in == 0) {
      writer.pad({0, 1}, 0, pad);
      writer.pad({0, 2}, 0, pad);           // the same again: not written
      writer.pad({0, 2}, 3, std::nullopt);  // never read before: not written
      writer.presented(1);
    }
    writer.event(at, e);
  }
  writer.clock({12, 0}, -2147483647 - 1);
  writer.pad({12, 0}, 0, std::nullopt);
  writer.finish();

  const Replay r = replays::parse_replay(text.str());
  EXPECT_EQ(r.seed, -5);
  ASSERT_EQ(r.clocks.size(), 2u) << text.str();
  EXPECT_EQ(r.clocks[0].frame, 0);
  EXPECT_EQ(r.clocks[0].readings, (std::vector<std::int32_t>{1000, 1000, 1001}));
  EXPECT_EQ(r.clocks[1].readings, (std::vector<std::int32_t>{-2147483647 - 1}));
  EXPECT_NE(text.str().find("0 clock 1000*2 1001\n"), std::string::npos) << text.str();
  ASSERT_EQ(r.taken.size(), events.size() + 2);
  std::size_t e = 0;
  for (const replays::Taken& t : r.taken) {
    if (const auto* p = std::get_if<replays::PadReading>(&t.what)) {
      if (!p->reading) {
        EXPECT_EQ(t.at, (Stamp{12, 0}));
        continue;
      }
      EXPECT_EQ(p->reading->buttons, 0x4a1u);
      for (int a = 0; a < 16; ++a) EXPECT_EQ(p->reading->axes[a], pad.axes[a]) << "axis " << a;
      continue;
    }
    EXPECT_EQ(t.at, events[e].first) << e;
    EXPECT_TRUE(same(std::get<InputEvent>(t.what), events[e].second))
        << e << ": " << line_of(events[e].second);
    ++e;
  }
}

TEST(ReplayText, FaultsAreNamedWithTheirLine) {
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"3 down\n", "line 1:"},
      {"1 down left\nx2 up left\n", "line 2: \"x2\" is not a moment"},
      {"1.-1 down left\n", "is not a moment"},
      {"1 down hyper\n", "unknown key \"hyper\""},
      {"1 down key256\n", "unknown key"},
      {"1 jump\n", "unknown instruction \"jump\""},
      {"seed 1\nseed 2\n", "line 2: a second seed"},
      {"1.2 clock 5\n", "clock readings belong to a frame"},
      {"1 clock 5\n2 clock 5\n1 clock 6\n", "line 3: a second clock line for frame 1"},
      {"1 clock 5*0\n", "is not <ms> or <ms>*<times>"},
      {"1 pad 0 12\n", "buttons are written 0x<hex>"},
      {"1 pad 16 none\n", "a port is 0 to 15"},
      {"1 pad 0 0x1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n", "takes"},
      {"1 pad 0 0x1 0.5x\n", "axis \"0.5x\" is not a number"},
      {"1 focus away\n", "focus is lost or gained"},
      {"1 move 3\n", "takes"}};
  for (const auto& [text, message] : faults) {
    try {
      replays::parse_replay(text);
      ADD_FAILURE() << "no fault found in: " << text;
    } catch (const replays::ReplayError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos)
          << text << " -> " << error.what();
    }
  }
}
