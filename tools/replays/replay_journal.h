#pragma once
// The replay's two ends in the media layer: a journal that writes a replay's text as the game
// takes things in, and a feed that hands a replay back to the game.

#include <array>
#include <cstddef>
#include <optional>
#include <ostream>

#include "media/journal.h"
#include "replay_text.h"

namespace replays {

// Writes each line as it comes; the clock readings of a frame go out together when the frame
// has been presented or the run ends. A controller is written down only when its reading changes.
class ReplayWriter : public media::Journal {
 public:
  explicit ReplayWriter(std::ostream& out) : out_(out) {}

  void event(media::Stamp at, const media::InputEvent& event) override;
  void pad(media::Stamp at, int port, const std::optional<media::JoystickReading>& r) override;
  void clock(media::Stamp at, std::int32_t ms) override;
  void seed(int seed) override;
  void presented(int frames) override;
  void ending(int status) override;
  // Writes what is held back and flushes the stream.
  void finish();

 private:
  void line(const std::string& text);

  std::ostream& out_;
  std::optional<ClockReadings> clock_;
  std::array<std::optional<media::JoystickReading>, 16> pads_{};
};

// Hands the game the replay's events at their moments. Events of a moment the run has passed are
// handed over at the next take-in. A wait that finds nothing due takes the events of the next
// moment that holds some, unless that moment is later in the same frame (the run reaches it by
// taking in again). Controllers read as the last reading written for them up to the moment.
// Without clock lines the game reads its own clock; with them, frame by frame in order, and a
// frame that asks more often than the replay says reads the last value again.
class ReplayFeed : public media::Feed {
 public:
  explicit ReplayFeed(Replay replay) : replay_(std::move(replay)) {}

  void events(media::Stamp at, media::TakeIn how, std::vector<media::InputEvent>& out) override;
  bool more_to_come() const override;
  std::optional<media::JoystickReading> pad(media::Stamp at, int port) override;
  std::int32_t clock(media::Stamp at, std::int32_t now) override;
  int seed(int asked) override;

  // How far the run strayed from the replay: clock readings asked for that the replay did not
  // hold, those it held that were never asked for, and events never handed over.
  struct Strays {
    int extra_readings = 0, unread_readings = 0, events_left = 0;
    bool any() const { return extra_readings + unread_readings + events_left > 0; }
  };
  Strays strays() const;

 private:
  bool next_is_event(std::size_t from, std::size_t& at) const;

  Replay replay_;
  std::size_t next_event_ = 0;
  std::size_t next_pad_ = 0;
  std::array<std::optional<media::JoystickReading>, 16> pads_{};
  std::size_t clock_frame_ = 0;  // index into replay_.clocks
  std::size_t clock_reading_ = 0;
  std::optional<std::int32_t> last_reading_;
  int extra_readings_ = 0, unread_readings_ = 0;
};

}  // namespace replays
