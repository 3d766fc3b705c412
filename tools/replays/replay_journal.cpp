#include "replay_journal.h"

#include <cstring>

namespace replays {

namespace {

bool same(const std::optional<media::JoystickReading>& a,
          const std::optional<media::JoystickReading>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  return a->buttons == b->buttons && std::memcmp(a->axes, b->axes, sizeof a->axes) == 0;
}

bool is_event(const Taken& t) {
  return std::holds_alternative<media::InputEvent>(t.what);
}

}  // namespace

void ReplayWriter::line(const std::string& text) {
  out_ << text << '\n';
}

void ReplayWriter::event(media::Stamp at, const media::InputEvent& event) {
  line(event_line(at, event));
}

void ReplayWriter::pad(media::Stamp at, int port,
                       const std::optional<media::JoystickReading>& reading) {
  if (port < 0 || port >= static_cast<int>(pads_.size())) return;
  std::optional<media::JoystickReading>& last = pads_[static_cast<std::size_t>(port)];
  if (same(last, reading)) return;
  last = reading;
  line(pad_line(at, {port, reading}));
}

void ReplayWriter::clock(media::Stamp at, std::int32_t ms) {
  if (!clock_) clock_ = ClockReadings{at.frame, {}};
  clock_->readings.push_back(ms);
}

void ReplayWriter::seed(int seed) {
  line("seed " + std::to_string(seed));
}

// A frame's clock readings all come before the present that ends it.
void ReplayWriter::presented(int) {
  if (clock_) line(clock_line(*clock_));
  clock_.reset();
}

void ReplayWriter::ending(int) {
  finish();
}

void ReplayWriter::finish() {
  presented(0);
  out_.flush();
}

bool ReplayFeed::next_is_event(std::size_t from, std::size_t& at) const {
  at = from;
  while (at < replay_.taken.size() && !is_event(replay_.taken[at])) ++at;
  return at < replay_.taken.size();
}

void ReplayFeed::events(media::Stamp at, media::TakeIn how, std::vector<media::InputEvent>& out) {
  std::size_t i = 0;
  bool due = next_is_event(next_event_, i) && replay_.taken[i].at <= at;
  // A wait for a key: no frame passes until it ends, so what comes next comes now.
  if (!due && how == media::TakeIn::wait && i < replay_.taken.size() &&
      replay_.taken[i].at.frame != at.frame) {
    at = replay_.taken[i].at;
    due = true;
  }
  if (!due) return;
  for (; i < replay_.taken.size() && replay_.taken[i].at <= at; ++i) {
    if (is_event(replay_.taken[i]))
      out.push_back(std::get<media::InputEvent>(replay_.taken[i].what));
  }
  next_event_ = i;
}

bool ReplayFeed::more_to_come() const {
  std::size_t i = 0;
  return next_is_event(next_event_, i);
}

std::optional<media::JoystickReading> ReplayFeed::pad(media::Stamp at, int port) {
  for (; next_pad_ < replay_.taken.size() && replay_.taken[next_pad_].at <= at; ++next_pad_) {
    if (const auto* p = std::get_if<PadReading>(&replay_.taken[next_pad_].what)) {
      pads_[static_cast<std::size_t>(p->port)] = p->reading;
    }
  }
  if (port < 0 || port >= static_cast<int>(pads_.size())) return std::nullopt;
  return pads_[static_cast<std::size_t>(port)];
}

std::int32_t ReplayFeed::clock(media::Stamp at, std::int32_t now) {
  const std::vector<ClockReadings>& clocks = replay_.clocks;
  if (clocks.empty()) return now;
  while (clock_frame_ < clocks.size() && clocks[clock_frame_].frame < at.frame) {
    unread_readings_ += static_cast<int>(clocks[clock_frame_].readings.size() - clock_reading_);
    ++clock_frame_;
    clock_reading_ = 0;
  }
  if (clock_frame_ < clocks.size() && clocks[clock_frame_].frame == at.frame &&
      clock_reading_ < clocks[clock_frame_].readings.size()) {
    last_reading_ = clocks[clock_frame_].readings[clock_reading_++];
    return *last_reading_;
  }
  ++extra_readings_;
  return last_reading_.value_or(now);
}

int ReplayFeed::seed(int asked) {
  return replay_.seed.value_or(asked);
}

ReplayFeed::Strays ReplayFeed::strays() const {
  Strays s{extra_readings_, unread_readings_, 0};
  for (std::size_t c = clock_frame_; c < replay_.clocks.size(); ++c) {
    s.unread_readings += static_cast<int>(replay_.clocks[c].readings.size() -
                                          (c == clock_frame_ ? clock_reading_ : 0));
  }
  for (std::size_t i = next_event_; i < replay_.taken.size(); ++i) {
    s.events_left += is_event(replay_.taken[i]);
  }
  return s;
}

}  // namespace replays
