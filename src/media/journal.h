#pragma once
// What the game takes in from outside, written down as it comes (a journal) or handed to it in
// place of the back end's (a feed): the input events, the controller readings, the clock readings
// the game makes and the random seed. With a journal on one run and a feed of what it wrote on
// another, the game sees the same things at the same moments, whatever back end runs it. Tools
// set them; the game never does.
//
// A moment of a run is a stamp: the frames presented so far and, within that frame, how many
// times input has been taken in before (every look at the input, and every wait for it, counts
// once). The media layer's own readings of the clock (frame pacing, timers) are none of the
// game's: they are neither written down nor fed.

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

#include "media/backend.h"

namespace media {

struct Stamp {
  int frame = 0;
  int take_in = 0;
  auto operator<=>(const Stamp&) const = default;
};

// How the game takes input in: it looks at what has come, waits for it until the next tick of
// its timer, or waits for as long as it takes (a screen waiting for a key).
enum class TakeIn { look, wait_for_tick, wait };

class Journal {
 public:
  virtual ~Journal() = default;
  virtual void event(Stamp at, const InputEvent& event) = 0;
  // Called at every reading of a port; nullopt when it had no readable device.
  virtual void pad(Stamp at, int port, const std::optional<JoystickReading>& reading) = 0;
  virtual void clock(Stamp at, std::int32_t ms) = 0;
  virtual void seed(int seed) = 0;
  // After the present that made `frames` frames.
  virtual void presented(int frames) = 0;
  // The program ends with `status` (the menu's exit, a close request, a fatal error).
  virtual void ending(int status) = 0;
};

class Feed {
 public:
  virtual ~Feed() = default;
  // Appends, in order, the events the game takes in at `at`.
  virtual void events(Stamp at, TakeIn how, std::vector<InputEvent>& out) = 0;
  // False when no event is left to come: a wait then goes to the back end (on headless, a wait
  // for ever is starvation).
  virtual bool more_to_come() const = 0;
  virtual std::optional<JoystickReading> pad(Stamp at, int port) = 0;
  // The game's clock at `at`; `now` is what it would read without the feed.
  virtual std::int32_t clock(Stamp at, std::int32_t now) = 0;
  // The seed the game seeds its random numbers with, when it asks for `asked`.
  virtual int seed(int asked) = 0;
};

// Neither is owned; nullptr takes it away. Selecting a back end takes both away. While a feed
// is set the back end's own events are dropped.
void set_journal(Journal* journal);
void set_feed(Feed* feed);
// Where the run is now.
Stamp current_stamp();

}  // namespace media
