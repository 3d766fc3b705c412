#pragma once
// The headless back end: a virtual millisecond clock that moves only when the program waits,
// input events injected by the caller, an offscreen 1024 x 768 frame, and a log of draw calls.
//
// The clock starts at 0 and moves only: by delay(ms); on a present that waits for the vertical
// blank, to the next blank of the display's rate (60 Hz), the first t_k = floor(k * 1000 / 60)
// strictly after now (16, 33, 50 ... 1000); and while waiting for events, to the next scripted
// event or the deadline. The clock wraps, so an event for a time is placed when injected: a time
// up to 2^31 ms behind the clock is due at once, any other lies ahead. Due events are delivered
// in the order they were injected, by time and by frame alike; a delivery that throws leaves the
// rest pending. A new display puts the pointer in its middle: a mouse_move that goes out ahead
// of every other event at the next poll. This is the back end's clock (millisecs() below); the
// game's, MilliSecs, is the same less the time WaitTimer held the frame loop while the window
// was away (between a focus_lost and a focus_gained).
//
// A moment (`moment()`, `return_to`) is what a play frame reads from the media layer and moves on,
// besides pictures and sounds: the clock (and the time the game's clock leaves out), the frames
// presented, the scripted events still to come, the random generator, and the keyboard, mouse and
// controller state. A search that plays several futures from one moment goes back to it before
// each. Voices keep playing as they were (nothing in play asks about them), and the display, the
// draw state, the frame hook and whether the window is away are left alone.
//
// The frame hook, if set, is called at the end of each present with the number of frames
// presented so far. Events it injects for that frame are delivered at the next poll. What it
// throws comes out of the present, the frame already counted and shown. It may replace or remove
// itself; a present made from inside it does not call it again.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/backend.h"

namespace media {

// One draw call as the back end received it.
struct DrawRecord {
  std::vector<Vertex> vertices;
  Topology topology = Topology::quad;
  const TPixmap* pixmap = nullptr;  // the picture of the texture, none for flat shapes
  std::uint32_t argb = 0;
  int blend = 1;
};

struct HeadlessMoment;

class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // --- what tests and tools use ---
  // Moves the clock to `ms` the shorter way round; scripted events keep their times.
  void set_clock(std::int32_t ms);
  // Delivered the first time events are taken in at or after virtual time `ms`.
  void inject_at_time(std::int32_t ms, const InputEvent& event);
  // Delivered the first time events are taken in after `frame` frames have been presented.
  void inject_at_frame(int frame, const InputEvent& event);
  std::size_t pending_events() const;
  int frames_presented() const;
  // An empty function removes the hook.
  void set_frame_hook(std::function<void(int frame)> hook);

  std::shared_ptr<const HeadlessMoment> moment() const;
  void return_to(const HeadlessMoment& moment);

  // Off: nothing is rasterised, the picture stays as it was (for long runs).
  void set_rasterise(bool on);
  // Off: draw calls are not logged and both logs below are emptied (for runs that never read
  // them). On by default; independent of rasterising.
  void set_draw_log(bool on);
  // The presented picture and the back buffer, as 0xAARRGGBB.
  std::uint32_t pixel(int x, int y) const;
  std::uint32_t back_buffer_pixel(int x, int y) const;
  bool save_png(const std::string& path) const;
  // Draw calls since the last present, and those of the last presented frame.
  const std::vector<DrawRecord>& draws_since_present() const;
  const std::vector<DrawRecord>& draws_of_last_frame() const;

  // Game controllers: nullopt unplugs the port. Now, or scripted like the events above: a
  // scripted reading is taken in (and ends a wait for input) as an event is, in the same order.
  void set_joystick(int port, std::optional<JoystickReading> reading);
  void inject_joystick_at_time(std::int32_t ms, int port, std::optional<JoystickReading> reading);
  void inject_joystick_at_frame(int frame, int port, std::optional<JoystickReading> reading);
  // Every string handed to open_url, in order; nothing is started.
  const std::vector<std::string>& opened_urls() const;
  bool display_open() const;

  // --- Backend ---
  std::int32_t millisecs() override;
  void delay(int ms) override;
  void poll_events() override;
  bool wait_events_until(std::int32_t deadline_ms) override;
  void wait_events() override;
  void wait_input(int ms) override;
  bool open_display(const DisplayMode& mode, std::string& error) override;
  void close_display() override;
  void present(bool wait_vblank) override;
  void clear(std::uint32_t argb) override;
  void draw(const Vertex* vertices, int count, Topology topology,
            const DrawParams& params) override;
  std::unique_ptr<Texture> create_texture(const TPixmap& pixmap, int flags) override;
  int display_generation() const override;
  bool read_joystick(int port, JoystickReading& reading) override;
  std::shared_ptr<detail::AudioOutput> make_audio_output() override;
  void open_url(const std::string& url) override;
  [[noreturn]] void end_program(int status) override;
  [[noreturn]] void fatal(const std::string& message) override;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace media
