#pragma once
// The narrow interface under the media layer. Two implementations: `sdl` (the real window,
// renderer, events and controllers) and `headless` (virtual clock, scripted input, offscreen
// frame). Everything above this interface is written once and behaves the same on both.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "media/pixmap.h"

namespace media {

namespace detail {
class AudioOutput;
}

// A point of a shape on screen, with its texture coordinate (0...1 across the picture).
struct Vertex {
  float x, y, u, v;
};

enum class Topology {
  quad,  // 4 corners in order around the quad
  fan,   // a convex polygon filled as a fan from the first vertex
};

class Backend;

// A texture made by a back end from a pixel buffer; it belongs to one display generation. Only
// the back end that made it draws with it, and it knows its own by the maker, without asking
// the type system on every draw.
class Texture {
 public:
  explicit Texture(const Backend& maker) : maker_(&maker) {}
  virtual ~Texture() = default;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  bool made_by(const Backend& backend) const { return maker_ == &backend; }

 private:
  const Backend* maker_;
};

// What one draw call needs besides its vertices.
struct DrawParams {
  const Texture* texture = nullptr;  // none: flat colour
  std::uint32_t argb = 0xFFFFFFFF;   // drawing colour and alpha, already clamped
  int blend = 1;                     // 1 mask, 2 solid, 3 alpha, 4 additive, 5 multiply
};

struct DisplayMode {
  int width = 1024;
  int height = 768;
  bool fullscreen = true;
  int hertz = 60;
};

struct InputEvent {
  enum class Type {
    key_down,    // code = virtual-key code 1...255
    key_repeat,  // code = virtual-key code
    key_up,      // code = virtual-key code
    character,   // code = the character
    mouse_down,  // code = button 1 left, 2 right, 3 middle
    mouse_up,    // code = button
    mouse_move,  // x, y in back-buffer pixels
    wheel,       // code = wheel delta (120 per notch)
    focus_lost,
    focus_gained,
    close_requested,
  };
  Type type = Type::key_down;
  int code = 0;
  int x = 0;
  int y = 0;
};

// One reading of a game controller.
struct JoystickReading {
  std::uint32_t buttons = 0;  // bit b = the game's button b
  float axes[16] = {};        // 0 = X ... ; 9 = hat (fraction of a turn, -1 centred)
};

// Thrown on the headless back end where a real run would end the process, so tests see it.
struct ProgramEnded : std::runtime_error {
  int status;
  explicit ProgramEnded(int s)
      : std::runtime_error("program ended with status " + std::to_string(s)), status(s) {}
};
// Thrown on the headless back end for a fatal media error (the message a real run prints).
struct FatalError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// Thrown on the headless back end when the program waits for input and nothing is left to inject.
struct InputStarved : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Clock: milliseconds, signed 32-bit, wrapping.
  virtual std::int32_t millisecs() = 0;
  // Sleeps without processing events.
  virtual void delay(int ms) = 0;

  // Takes in every pending event (delivered to the input state through deliver_event).
  virtual void poll_events() = 0;
  // Waits until at least one event has been taken in or the clock reaches `deadline_ms`,
  // whichever comes first, then takes in every pending event. Returns true if events came.
  virtual bool wait_events_until(std::int32_t deadline_ms) = 0;
  // Waits for at least one event however long it takes, then takes in every pending one.
  virtual void wait_events() = 0;
  // Waits for input for at most `ms` milliseconds, taking in what comes, in a loop that polls
  // until some input arrives. On headless, a wait with no scripted event left to come is
  // starvation, as in wait_events.
  virtual void wait_input(int ms) = 0;

  // Display. open_display returns false (with `error` set) when no display can be opened.
  virtual bool open_display(const DisplayMode& mode, std::string& error) = 0;
  virtual void close_display() = 0;
  // Presents the back buffer; the back buffer keeps its picture.
  virtual void present(bool wait_vblank) = 0;
  virtual void clear(std::uint32_t argb) = 0;
  virtual void draw(const Vertex* vertices, int count, Topology topology,
                    const DrawParams& params) = 0;
  // Makes a texture; `flags` are the image flags (bit 2 filtered, bit 4 mipmapped).
  virtual std::unique_ptr<Texture> create_texture(const TPixmap& pixmap, int flags) = 0;
  // Bumped when textures made earlier can no longer be used (display replaced or reset).
  virtual int display_generation() const = 0;

  // Game controllers: false when the port has no readable device.
  virtual bool read_joystick(int port, JoystickReading& reading) = 0;

  // Where sounds are heard on this back end. Made at the first LoadSound.
  virtual std::shared_ptr<detail::AudioOutput> make_audio_output() = 0;

  // Hands an address or file to the desktop's opener; does not wait.
  virtual void open_url(const std::string& url) = 0;

  // Program end. On sdl: exit handlers, then exit. On headless: thrown exceptions.
  [[noreturn]] virtual void end_program(int status) = 0;
  [[noreturn]] virtual void fatal(const std::string& message) = 0;
};

// The back end in use. The game selects `sdl` at start; tests and tools select `headless`.
Backend& backend();

namespace detail {
// Called by back ends for every input event they take in (the input state lives above them).
void deliver_event(const InputEvent& event);
}  // namespace detail

}  // namespace media
