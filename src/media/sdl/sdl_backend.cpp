// The real back end: one SDL window and renderer, a persistent 1024 x 768 target texture that all
// drawing goes into, shown scaled to the window with black bars.

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
#include "media/sdl/sdl_input.h"

extern char** environ;

namespace media {
namespace {

// Textures die with their renderer; a texture kept by a picture after that must not free itself.
struct RendererLife {
  bool alive = true;
};

class SdlTexture final : public Texture {
 public:
  SdlTexture(SDL_Texture* texture, const TPixmap& source, std::shared_ptr<RendererLife> life)
      : texture_(texture), source_(&source), life_(std::move(life)) {}
  ~SdlTexture() override {
    if (life_->alive) {
      SDL_DestroyTexture(texture_);
      if (mask_) SDL_DestroyTexture(mask_);
    }
  }
  SdlTexture(const SdlTexture&) = delete;
  SdlTexture& operator=(const SdlTexture&) = delete;

  SDL_Texture* texture() const { return texture_; }
  // The copy for mask mode, made on its first use.
  SDL_Texture* mask(SDL_Renderer* renderer) const;

 private:
  SDL_Texture* texture_;
  mutable SDL_Texture* mask_ = nullptr;
  const TPixmap* source_;  // a texture lives in its picture's slot, beside its pixels
  std::shared_ptr<RendererLife> life_;
};

// The picture as RGBA bytes, alpha kept or, for mask mode, cut to 0 or 255 at 128.
std::vector<std::uint8_t> rgba_bytes(const TPixmap& pixmap, bool threshold) {
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(pixmap.width) * static_cast<std::size_t>(pixmap.height) * 4);
  for (int y = 0; y < pixmap.height; ++y) {
    for (int x = 0; x < pixmap.width; ++x) {
      TPixmap::Rgba p = pixmap.rgba(x, y);
      std::uint8_t a = threshold ? (p.a >= 128 ? 255 : 0) : p.a;
      out.insert(out.end(), {p.r, p.g, p.b, a});
    }
  }
  return out;
}

SDL_Texture* upload(SDL_Renderer* renderer, const TPixmap& pixmap, bool threshold,
                    SDL_ScaleMode scale) {
  SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                     pixmap.width, pixmap.height);
  if (!t) return nullptr;
  std::vector<std::uint8_t> bytes = rgba_bytes(pixmap, threshold);
  SDL_UpdateTexture(t, nullptr, bytes.data(), pixmap.width * 4);
  SDL_SetTextureScaleMode(t, scale);
  return t;
}

SDL_Texture* SdlTexture::mask(SDL_Renderer* renderer) const {
  if (!source_->has_alpha()) return texture_;
  if (!mask_) mask_ = upload(renderer, *source_, true, SDL_ScaleModeNearest);
  return mask_;
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
    return came;
  }

  void wait_events() override {
    if (!video_ok_) fatal("waiting for input without a display: " + init_error_);
    SDL_Event e;
    if (SDL_WaitEvent(&e)) take_in(e);
    poll_events();
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
    // Mask mode has no blending, only the alpha test at 128: pictures go through a copy whose
    // alpha is cut to 0 or 255, flat shapes are drawn opaque or not at all.
    bool mask = params.blend == 1;
    if (mask) {
      if (colour.a < 128) return;
      colour.a = 255;
    }
    SDL_Texture* texture = nullptr;
    if (const auto* t = dynamic_cast<const SdlTexture*>(params.texture)) {
      texture = mask ? t->mask(renderer_) : t->texture();
      if (!texture) return;
    }
    SDL_BlendMode blend = mask && !texture ? SDL_BLENDMODE_NONE : sdl_blend(params.blend);
    if (texture) {
      SDL_SetTextureBlendMode(texture, blend);
    } else {
      SDL_SetRenderDrawBlendMode(renderer_, blend);
    }

    vertices_.clear();
    for (int i = 0; i < count; ++i) {
      const Vertex& v = vertices[i];
      // A shape at an impossible place is nothing SDL should have to convert to pixels.
      if (!std::isfinite(v.x) || !std::isfinite(v.y)) return;
      vertices_.push_back({{v.x, v.y}, colour, {v.u, v.v}});
    }
    indices_.clear();
    for (int i = 1; i + 1 < count; ++i) indices_.insert(indices_.end(), {0, i, i + 1});
    SDL_RenderGeometry(renderer_, texture, vertices_.data(), count, indices_.data(),
                       static_cast<int>(indices_.size()));
  }

  std::unique_ptr<Texture> create_texture(const TPixmap& pixmap, int flags) override {
    if (!renderer_ || pixmap.width <= 0 || pixmap.height <= 0) return nullptr;
    SDL_Texture* t = upload(renderer_, pixmap, false, scale_mode(flags));
    if (!t) return nullptr;
    return std::make_unique<SdlTexture>(t, pixmap, life_);
  }

  int display_generation() const override { return generation_; }

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

  // "Full screen" is a borderless window over the whole desktop: the monitor's mode is left alone.
  bool make_window(const DisplayMode& mode) {
    if (mode.fullscreen) {
      SDL_Rect desk{0, 0, mode.width, mode.height};
      SDL_GetDisplayBounds(0, &desk);
      window_ = SDL_CreateWindow("Hedgerow", desk.x, desk.y, desk.w, desk.h,
                                 SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    } else {
      window_ = SDL_CreateWindow("Hedgerow", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 mode.width, mode.height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    }
    return window_ != nullptr;
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

  void take_in(const SDL_Event& e) {
    if (e.type == SDL_RENDER_TARGETS_RESET || e.type == SDL_RENDER_DEVICE_RESET) {
      recover_target(e.type == SDL_RENDER_DEVICE_RESET);
      return;
    }
    InputEvent out;
    if (!detail::translate_sdl_event(e, out)) return;
    if (out.type == InputEvent::Type::mouse_down || out.type == InputEvent::Type::mouse_up ||
        out.type == InputEvent::Type::mouse_move) {
      to_back_buffer(out.x, out.y);
    }
    detail::deliver_event(out);
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
  int width_ = 1024, height_ = 768;
  int generation_ = detail::next_display_generation();
  std::vector<SDL_Vertex> vertices_;
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

std::unique_ptr<Backend> make_sdl_backend() {
  return std::make_unique<SdlBackend>();
}
}  // namespace detail

}  // namespace media
