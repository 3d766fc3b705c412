// The real back end: one SDL window and renderer, a persistent 1024 x 768 target texture that all
// drawing goes into, shown scaled to the window with black bars. Alt+Enter turns the full-screen
// window into a normal one and back; the window, and with it everything drawn, stays.

#include <SDL2/SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "media/detail/audio_output.h"
#include "media/detail/display_internal.h"
#include "media/detail/internal.h"
#include "media/sdl/sdl_backend.h"
#include "media/sdl/sdl_input.h"

extern char** environ;

namespace media {
namespace {

// Textures die with their renderer; a texture kept by a picture after that must not free itself.
struct RendererLife {
  bool alive = true;
};

// An SDL texture and the blending last set on it: most draws use the mode already set, and
// then cost no call.
class Blended {
 public:
  explicit Blended(SDL_Texture* texture = nullptr) : texture_(texture) {}
  SDL_Texture* get() const { return texture_; }
  SDL_Texture* with(SDL_BlendMode blend) {
    if (blend != blend_) {
      SDL_SetTextureBlendMode(texture_, blend);
      blend_ = blend;
    }
    return texture_;
  }

 private:
  SDL_Texture* texture_;
  SDL_BlendMode blend_ = SDL_BLENDMODE_INVALID;
};

SDL_Texture* make_texture(SDL_Renderer* renderer, const TPixmap& pixmap, SDL_ScaleMode scale) {
  SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                     pixmap.width, pixmap.height);
  if (t) SDL_SetTextureScaleMode(t, scale);
  return t;
}

// Puts the picture into `texture` as RGBA, each alpha given by `alpha(a)`.
template <class Alpha>
void fill(SDL_Texture* texture, const TPixmap& pixmap, Alpha alpha) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(pixmap.width) * static_cast<std::size_t>(pixmap.height) *
                4);
  for (int y = 0; y < pixmap.height; ++y) {
    for (int x = 0; x < pixmap.width; ++x) {
      TPixmap::Rgba p = pixmap.rgba(x, y);
      bytes.insert(bytes.end(), {p.r, p.g, p.b, alpha(p.a)});
    }
  }
  SDL_UpdateTexture(texture, nullptr, bytes.data(), pixmap.width * 4);
}

class SdlTexture final : public Texture {
 public:
  SdlTexture(const Backend& maker, SDL_Texture* texture, const TPixmap& source,
             std::shared_ptr<RendererLife> life)
      : Texture(maker), texture_(texture), source_(&source), life_(std::move(life)) {}
  ~SdlTexture() override {
    if (life_->alive) {
      SDL_DestroyTexture(texture_.get());
      if (mask_.get()) SDL_DestroyTexture(mask_.get());
    }
  }

  SDL_Texture* texture(SDL_BlendMode blend) const { return texture_.with(blend); }
  // For mask mode at drawing alpha `alpha`: a copy whose texels are opaque where they pass the
  // alpha test and clear elsewhere, remade when the alpha asks for another cut.
  SDL_Texture* mask(SDL_Renderer* renderer, int alpha) const;

 private:
  mutable Blended texture_;
  mutable Blended mask_;
  mutable int mask_cut_ = -1;  // the texel alpha from which mask_ is opaque
  const TPixmap* source_;      // a texture lives in its picture's slot, beside its pixels
  std::shared_ptr<RendererLife> life_;
};

SDL_Texture* SdlTexture::mask(SDL_Renderer* renderer, int alpha) const {
  // Every texel is opaque: the drawing alpha alone decides, and it passed.
  if (!source_->has_alpha()) return texture_.with(SDL_BLENDMODE_BLEND);
  const int cut = detail::mask_alpha_threshold(alpha);
  if (!mask_.get()) {
    mask_ = Blended(make_texture(renderer, *source_, SDL_ScaleModeNearest));
    if (!mask_.get()) return nullptr;
  }
  if (cut != mask_cut_) {
    fill(mask_.get(), *source_,
         [&](std::uint8_t a) { return static_cast<std::uint8_t>(a >= cut ? 255 : 0); });
    mask_cut_ = cut;
  }
  return mask_.with(SDL_BLENDMODE_BLEND);
}

bool same_colour(SDL_Color a, SDL_Color b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

SDL_Color colour_of(std::uint32_t argb) {
  return {static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
          static_cast<Uint8>(argb >> 24)};
}

SDL_BlendMode sdl_blend(int blend) {
  switch (blend) {
    case 2:
      return SDL_BLENDMODE_NONE;
    case 4:
      return SDL_BLENDMODE_ADD;
    case 5:
      return SDL_BLENDMODE_MOD;
    default:
      return SDL_BLENDMODE_BLEND;
  }
}

std::int32_t monotonic_ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
            static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

// From now until `deadline` on the wrapping clock.
std::int32_t ms_until(std::int32_t deadline) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(deadline) -
                                   static_cast<std::uint32_t>(monotonic_ms()));
}

class SdlBackend final : public Backend {
 public:
  SdlBackend() {
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
      init_error_ = SDL_GetError();
      return;
    }
    video_ok_ = init_video(init_error_);
    if (!video_ok_) return;
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    detail::sdl_input_open();
  }

  ~SdlBackend() override { shut_down(); }

  std::int32_t millisecs() override { return monotonic_ms(); }

  void delay(int ms) override {
    if (ms <= 0) return;
    timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  }

  void poll_events() override {
    reap_children();
    if (!video_ok_) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) take_in(e);
  }

  bool wait_events_until(std::int32_t deadline_ms) override {
    if (!video_ok_) {
      delay(ms_until(deadline_ms));
      return false;
    }
    SDL_Event e;
    bool came = false;
    while (SDL_PollEvent(&e)) {
      take_in(e);
      came = true;
    }
    for (std::int32_t left = ms_until(deadline_ms); !came && left > 0;
         left = ms_until(deadline_ms)) {
      if (SDL_WaitEventTimeout(&e, left)) {
        take_in(e);
        came = true;
      }
    }
    if (came) poll_events();
    show_again_if_lost();
    return came;
  }

  void wait_events() override {
    if (!video_ok_) fatal("waiting for input without a display: " + init_error_);
    SDL_Event e;
    if (SDL_WaitEvent(&e)) take_in(e);
    poll_events();
    show_again_if_lost();
  }

  void wait_input(int ms) override {
    wait_events_until(static_cast<std::int32_t>(static_cast<std::uint32_t>(monotonic_ms()) +
                                                static_cast<std::uint32_t>(ms)));
  }

  bool open_display(const DisplayMode& mode, std::string& error) override {
    if (!video_ok_) {
      error = init_error_;
      return false;
    }
    close_display();
    if (!make_window(mode) || !make_renderer() || !make_target(mode)) {
      error = SDL_GetError();
      close_display();
      return false;
    }
    width_ = mode.width;
    height_ = mode.height;
    fullscreen_ = mode.fullscreen;
    windowed_w_ = mode.width;
    windowed_h_ = mode.height;
    generation_ = detail::next_display_generation();
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);  // without a window manager nobody else gives it the keys
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    SDL_WarpMouseInWindow(window_, ww / 2, wh / 2);
    return true;
  }

  void close_display() override {
    if (target_) SDL_DestroyTexture(target_);
    target_ = nullptr;
    if (renderer_) {
      life_->alive = false;
      SDL_DestroyRenderer(renderer_);
    }
    renderer_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
  }

  void present(bool wait_vblank) override {
    if (!renderer_) return;
    if (wait_vblank != vsync_) {
      SDL_RenderSetVSync(renderer_, wait_vblank ? 1 : 0);
      vsync_ = wait_vblank;
    }
    show();
  }

  void clear(std::uint32_t argb) override {
    if (!renderer_) return;
    SDL_Color c = colour_of(argb);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderClear(renderer_);
  }

  void draw(const Vertex* vertices, int count, Topology topology,
            const DrawParams& params) override {
    if (!renderer_ || count < 3 || (topology == Topology::quad && count != 4)) return;
    SDL_Color colour = colour_of(params.argb);
    // Mask mode has no blending, only the alpha test: pictures go through a copy whose texels
    // are opaque where they pass it at this alpha and clear elsewhere; flat shapes are drawn
    // opaque or not at all.
    const bool mask = params.blend == 1;
    if (mask && colour.a < 128) return;
    SDL_Texture* texture = nullptr;
    if (params.texture && params.texture->made_by(*this)) {
      const auto& t = static_cast<const SdlTexture&>(*params.texture);
      texture = mask ? t.mask(renderer_, colour.a) : t.texture(sdl_blend(params.blend));
      if (!texture) return;
    } else {
      set_draw_blend(mask ? SDL_BLENDMODE_NONE : sdl_blend(params.blend));
    }
    if (mask) colour.a = 255;

    // A shape at an impossible place is nothing SDL should have to convert to pixels.
    if (!detail::all_finite(vertices, count)) return;
    // SDL reads the corners where they are; only the colour needs a list of its own.
    const SDL_Color* colours = colour_list(colour, count);
    constexpr int stride = sizeof(Vertex);
    SDL_RenderGeometryRaw(renderer_, texture, &vertices->x, stride, colours, sizeof(SDL_Color),
                          &vertices->u, stride, count, fan_indices(count), 3 * (count - 2),
                          sizeof(int));
  }

  std::unique_ptr<Texture> create_texture(const TPixmap& pixmap, int flags) override {
    if (!renderer_ || pixmap.width <= 0 || pixmap.height <= 0) return nullptr;
    SDL_Texture* t = make_texture(renderer_, pixmap, scale_mode(flags));
    if (!t) return nullptr;
    fill(t, pixmap, [](std::uint8_t a) { return a; });
    return std::make_unique<SdlTexture>(*this, t, pixmap, life_);
  }

  int display_generation() const override { return generation_; }
  SDL_Renderer* renderer() const { return renderer_; }

  bool read_joystick(int port, JoystickReading& reading) override {
    return video_ok_ && detail::sdl_read_joystick(port, reading);
  }

  // The sound card through OpenAL; without one the game runs silent, after saying so once.
  std::shared_ptr<detail::AudioOutput> make_audio_output() override {
    if (auto device = detail::open_openal_output()) return device;
    std::fputs("Hedgerow: no audio device could be opened; the game runs without sound\n", stderr);
    return detail::make_silent_output();
  }

  void open_url(const std::string& url) override {
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) {
      children_.push_back(pid);
    }
  }

  [[noreturn]] void end_program(int status) override {
    shut_down();
    std::exit(status);
  }

  [[noreturn]] void fatal(const std::string& message) override {
    std::fprintf(stderr, "Hedgerow: %s\n", message.c_str());
    shut_down();
    std::exit(1);
  }

 private:
  // A driver that shows something. Without one SDL would fall back to drawing off screen, and
  // the game would run on unseen; the errors of each driver tried make the message instead.
  static bool init_video(std::string& error) {
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
      std::string name = SDL_GetVideoDriver(i);
      if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
      SDL_SetHint(SDL_HINT_VIDEODRIVER, name.c_str());
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
      error += (error.empty() ? "" : "; ") + name + ": " + SDL_GetError();
    }
    error = "no X server or Wayland desktop could be reached (" + error + ")";
    return false;
  }

  static SDL_ScaleMode scale_mode(int flags) {
    return (flags & 2) != 0 ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
  }

  // The back buffer, letterboxed into the window as it is now; the back buffer keeps its picture.
  void show() {
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(renderer_, &ow, &oh);
    detail::ShownArea shown = detail::letterbox(ow, oh, width_, height_);
    SDL_Rect dst{shown.x, shown.y, shown.w, shown.h};
    SDL_RenderCopy(renderer_, target_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
    SDL_SetRenderTarget(renderer_, target_);
    picture_lost_ = false;
  }

  // A window that was switched, resized or uncovered has lost its picture. A game that waits
  // (for a key, or for the next frame) has a whole picture in the back buffer, and it is shown
  // at once: a game waiting for a key would otherwise leave the window black, having no Flip to
  // make until the key comes.
  void show_again_if_lost() {
    if (picture_lost_ && renderer_) show();
  }

  // "Full screen" is a borderless window over the whole desktop: the monitor's mode is left alone.
  bool make_window(const DisplayMode& mode) {
    if (mode.fullscreen) {
      const SDL_Rect desk = desktop_bounds(0);
      window_ = SDL_CreateWindow("Hedgerow", desk.x, desk.y, desk.w, desk.h,
                                 SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    } else {
      window_ = SDL_CreateWindow("Hedgerow", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 mode.width, mode.height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    }
    return window_ != nullptr;
  }

  // Back to full screen from a normal window. The frame comes off and the window is placed over
  // the desktop, as make_window makes it; but a window manager may put it back a frame's width
  // off, having taken the frame off in its own time, so it is also asked to keep the window full
  // screen (it then does, above its panels too). Without a window manager nobody answers that,
  // and the window's own place and size do it. SDL leaves the frame and size of a full-screen
  // window alone, so they come first.
  void enter_full_screen() {
    const SDL_Rect desk = desktop_bounds(SDL_GetWindowDisplayIndex(window_));
    SDL_SetWindowResizable(window_, SDL_FALSE);
    SDL_SetWindowBordered(window_, SDL_FALSE);
    SDL_SetWindowPosition(window_, desk.x, desk.y);
    SDL_SetWindowSize(window_, desk.w, desk.h);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }

  // A normal window: decorated, resizable, of the size it last had, in the middle of the desktop.
  void leave_full_screen() {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, windowed_w_, windowed_h_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }

  static SDL_Rect desktop_bounds(int display) {
    SDL_Rect desk{0, 0, 1024, 768};
    SDL_GetDisplayBounds(display < 0 ? 0 : display, &desk);
    return desk;
  }

  // Accelerated when there is a GPU, the software renderer otherwise (a virtual X server).
  bool make_renderer() {
    renderer_ = SDL_CreateRenderer(
        window_, -1,
        SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
    vsync_ = renderer_ != nullptr;
    if (!renderer_) {
      renderer_ =
          SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    }
    if (renderer_) life_ = std::make_shared<RendererLife>();
    draw_blend_ = SDL_BLENDMODE_INVALID;
    return renderer_ != nullptr;
  }

  bool make_target(const DisplayMode& mode) {
    target_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                mode.width, mode.height);
    if (!target_) return false;
    SDL_SetTextureBlendMode(target_, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(target_, SDL_ScaleModeLinear);
    SDL_SetRenderTarget(renderer_, target_);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    return true;
  }

  // Alt+Enter. It is the same window all along, so its renderer, the textures and the back
  // buffer stay; the size of the normal window is kept for the next time.
  void toggle_window() {
    if (!window_) return;
    if (fullscreen_) {
      leave_full_screen();
    } else {
      SDL_GetWindowSize(window_, &windowed_w_, &windowed_h_);
      enter_full_screen();
    }
    fullscreen_ = !fullscreen_;
    picture_lost_ = true;
  }

  static bool loses_picture(const SDL_Event& e) {
    return e.type == SDL_WINDOWEVENT && (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                         e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED);
  }

  void take_in(const SDL_Event& e) {
    if (e.type == SDL_RENDER_TARGETS_RESET || e.type == SDL_RENDER_DEVICE_RESET) {
      recover_target(e.type == SDL_RENDER_DEVICE_RESET);
      return;
    }
    if (loses_picture(e)) picture_lost_ = true;
    InputEvent out;
    switch (detail::translate_sdl_event(e, out)) {
      case detail::SdlEventMeaning::nothing:
        return;
      case detail::SdlEventMeaning::toggle_window:
        toggle_window();
        return;
      case detail::SdlEventMeaning::input:
        break;
    }
    if (out.type == InputEvent::Type::mouse_down || out.type == InputEvent::Type::mouse_up ||
        out.type == InputEvent::Type::mouse_move) {
      to_back_buffer(out.x, out.y);
    }
    detail::deliver_event(out);
  }

  // `count` times `colour`, written again only when the colour changes or more are needed.
  const SDL_Color* colour_list(SDL_Color colour, int count) {
    if (!colours_.empty() && !same_colour(colours_[0], colour)) {
      std::fill(colours_.begin(), colours_.end(), colour);
    }
    if (colours_.size() < static_cast<std::size_t>(count)) colours_.resize(count, colour);
    return colours_.data();
  }

  // Flat shapes blend by the renderer's mode, set only when it changes.
  void set_draw_blend(SDL_BlendMode blend) {
    if (blend == draw_blend_) return;
    SDL_SetRenderDrawBlendMode(renderer_, blend);
    draw_blend_ = blend;
  }

  // The corners of a fan as triangles from the first, {0, 1, 2, 0, 2, 3, ...}: the list for n
  // corners begins the list for more, so one list serves every shape, quads included.
  const int* fan_indices(int count) {
    for (int i = static_cast<int>(indices_.size()) / 3 + 1; i + 1 < count; ++i) {
      indices_.insert(indices_.end(), {0, i, i + 1});
    }
    return indices_.data();
  }

  // The target's picture is gone (and after a device reset, every texture): the target is made
  // again and pictures remake their textures on their next draw. The draw state is untouched.
  void recover_target(bool device_lost) {
    if (!renderer_) return;
    generation_ = detail::next_display_generation();
    if (device_lost) {
      SDL_DestroyTexture(target_);
      DisplayMode mode{width_, height_, false, 0};
      if (!make_target(mode))
        fatal("the display could not be restored: " + std::string(SDL_GetError()));
    } else {
      SDL_SetRenderTarget(renderer_, target_);
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
    }
  }

  // Window coordinates to back-buffer pixels, through the black bars.
  void to_back_buffer(int& x, int& y) const {
    if (!window_) return;
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    detail::window_to_back_buffer(detail::letterbox(ww, wh, width_, height_), width_, height_, x,
                                  y);
  }

  void reap_children() {
    std::erase_if(children_, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
  }

  // The exit handlers; they run once however the program ends.
  void shut_down() {
    if (shut_down_) return;
    shut_down_ = true;
    detail::shutdown_sound();
    close_display();
    if (video_ok_) detail::sdl_input_close();
    video_ok_ = false;
    SDL_Quit();
  }

  bool video_ok_ = false;
  bool shut_down_ = false;
  std::string init_error_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* target_ = nullptr;
  std::shared_ptr<RendererLife> life_ = std::make_shared<RendererLife>();
  bool vsync_ = false;
  bool fullscreen_ = true;
  bool picture_lost_ = false;
  int windowed_w_ = 1024, windowed_h_ = 768;  // the size of the normal window, for Alt+Enter
  SDL_BlendMode draw_blend_ = SDL_BLENDMODE_INVALID;
  int width_ = 1024, height_ = 768;
  int generation_ = detail::next_display_generation();
  std::vector<SDL_Color> colours_;
  std::vector<int> indices_;
  std::vector<pid_t> children_;
};

}  // namespace

namespace detail {

ShownArea letterbox(int area_w, int area_h, int w, int h) {
  if (w <= 0 || h <= 0) return {0, 0, 0, 0};
  double scale = std::min(static_cast<double>(area_w) / w, static_cast<double>(area_h) / h);
  auto sw = static_cast<int>(w * scale), sh = static_cast<int>(h * scale);
  return {(area_w - sw) / 2, (area_h - sh) / 2, sw, sh};
}

void window_to_back_buffer(const ShownArea& shown, int w, int h, int& x, int& y) {
  if (shown.w <= 0 || shown.h <= 0) return;
  double bx = std::floor((x - shown.x) * static_cast<double>(w) / shown.w);
  double by = std::floor((y - shown.y) * static_cast<double>(h) / shown.h);
  x = static_cast<int>(std::clamp(bx, 0.0, w - 1.0));
  y = static_cast<int>(std::clamp(by, 0.0, h - 1.0));
}

// x - x is 0 for every finite x and not a number otherwise, and a sum with one not-a-number in it
// is not a number: one test for every corner, with no branch per corner.
bool all_finite(const Vertex* v, int count) {
  float probe = 0.0f;
  for (int i = 0; i < count; ++i) probe += (v[i].x - v[i].x) + (v[i].y - v[i].y);
  return probe == 0.0f;
}

int mask_alpha_threshold(int drawing_alpha) {
  // The texel passes when texel * drawing / 255, rounded, reaches 128: texel * drawing >= 32513.
  constexpr int product = 128 * 255 - 127;
  if (drawing_alpha <= 0) return 256;
  return std::min(256, (product + drawing_alpha - 1) / drawing_alpha);
}

std::unique_ptr<Backend> make_sdl_backend() {
  return std::make_unique<SdlBackend>();
}

SDL_Renderer* sdl_renderer() {
  const auto* sdl = dynamic_cast<const SdlBackend*>(&backend());
  return sdl ? sdl->renderer() : nullptr;
}
}  // namespace detail

}  // namespace media
