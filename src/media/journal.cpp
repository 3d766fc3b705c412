#include "media/journal.h"

#include "media/detail/internal.h"

namespace media {
namespace {

Journal* g_journal = nullptr;
Feed* g_feed = nullptr;
Stamp g_stamp;

void next_take_in() {
  ++g_stamp.take_in;
}

// Hands the game what the feed holds for this take-in; true if anything came.
bool fed(TakeIn how) {
  std::vector<InputEvent> events;
  g_feed->events(g_stamp, how, events);
  for (const InputEvent& event : events) detail::take_event(event);
  return !events.empty();
}

}  // namespace

void set_journal(Journal* journal) {
  g_journal = journal;
}

void set_feed(Feed* feed) {
  g_feed = feed;
}

Stamp current_stamp() {
  return g_stamp;
}

namespace detail {

bool feeding() {
  return g_feed != nullptr;
}

void note_event(const InputEvent& event) {
  if (g_journal) g_journal->event(g_stamp, event);
}

void look_for_input() {
  if (g_feed) {
    fed(TakeIn::look);
  } else {
    backend().poll_events();
  }
  next_take_in();
}

bool wait_for_input_until(std::int32_t deadline_ms) {
  bool came = false;
  if (g_feed) {
    // The back end's clock still moves to the deadline when nothing came.
    came = fed(TakeIn::wait_for_tick);
    if (!came) backend().wait_events_until(deadline_ms);
  } else {
    came = backend().wait_events_until(deadline_ms);
  }
  next_take_in();
  return came;
}

void wait_for_input() {
  if (!g_feed) {
    backend().wait_events();
  } else if (!fed(TakeIn::wait) && !g_feed->more_to_come()) {
    backend().wait_events();
  }
  next_take_in();
}

void wait_for_input_at_most(int ms) {
  if (!g_feed) {
    backend().wait_input(ms);
  } else if (!fed(TakeIn::wait)) {
    if (g_feed->more_to_come()) {
      backend().delay(ms);
    } else {
      backend().wait_input(ms);
    }
  }
  next_take_in();
}

bool read_pad(int port, JoystickReading& reading) {
  std::optional<JoystickReading> got;
  if (g_feed) {
    got = g_feed->pad(g_stamp, port);
  } else if (JoystickReading r; backend().read_joystick(port, r)) {
    got = r;
  }
  if (g_journal) g_journal->pad(g_stamp, port, got);
  if (got) reading = *got;
  return got.has_value();
}

std::int32_t clock_taken(std::int32_t now) {
  if (g_feed) now = g_feed->clock(g_stamp, now);
  if (g_journal) g_journal->clock(g_stamp, now);
  return now;
}

int seed_taken(int seed) {
  if (g_feed) seed = g_feed->seed(seed);
  if (g_journal) g_journal->seed(seed);
  return seed;
}

void frame_presented() {
  ++g_stamp.frame;
  g_stamp.take_in = 0;
  if (g_journal) g_journal->presented(g_stamp.frame);
}

void program_ending(int status) {
  if (g_journal) g_journal->ending(status);
}

void reset_journal_state() {
  g_journal = nullptr;
  g_feed = nullptr;
  g_stamp = Stamp{};
}

}  // namespace detail
}  // namespace media
