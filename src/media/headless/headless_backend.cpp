#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <queue>
#include <tuple>
#include <utility>
#include <variant>

#include "media/detail/audio_output.h"
#include "media/detail/display_internal.h"
#include "media/detail/internal.h"
#include "media/detail/png_write.h"
#include "media/headless.h"

// The headless back end keeps a virtual clock that moves only when the program waits:
//  - delay(ms) moves it by ms;
//  - present with the vertical-blank wait moves it to the next blank of the display's refresh
//    rate (60 Hz unless the display asked for another): the blanks fall at t_k = floor(k * 1000 /
//    hertz) ms, and the clock goes to the first t_k strictly after now, so 60 such presents
//    starting at 0 end at exactly 1000;
//  - waiting for events moves it to the time of the next scripted event, or to the deadline.
// Scripted events that are due are delivered in the order they were injected.
//
// The clock is kept unwrapped, 64 bits wide, so that scripted events can wait in queues ordered
// by when they fall due, and a poll looks only at the queues' heads: a replay holds tens of
// thousands of events, and every key query polls.

namespace media {
namespace {

constexpr std::uint32_t opaque_black = 0xFF000000u;
constexpr int max_display_side = 8192;

struct Rgba {
  int r, g, b, a;
};

Rgba unpack(std::uint32_t argb) {
  return {static_cast<int>(argb >> 16 & 0xFF), static_cast<int>(argb >> 8 & 0xFF),
          static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

std::uint32_t pack_opaque(int r, int g, int b) {
  return opaque_black | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

// a * b / 255 rounded, for colour channels 0...255 (unsigned: the division is cheaper).
int mul255(int a, int b) {
  return static_cast<int>(static_cast<unsigned>(a * b + 127) / 255u);
}

// A headless texture is the picture converted to ARGB once, plus the picture it came from.
struct HeadlessTexture final : Texture {
  using Texture::Texture;

  const TPixmap* source = nullptr;
  int width = 0, height = 0;
  bool filtered = false;
  std::vector<std::uint32_t> argb;

  std::uint32_t texel(int x, int y) const {
    return argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }

  Rgba nearest(double u, double v) const {
    return unpack(texel(texel_index(u * width, width), texel_index(v * height, height)));
  }

  // Bilinear between the four nearest texel centres, the picture's edge repeated outwards.
  Rgba bilinear(double u, double v) const {
    double fx = u * width - 0.5, fy = v * height - 0.5;
    int x0 = floor_index(fx), y0 = floor_index(fy);
    // Weights in 256ths: whole-number arithmetic for the four channels.
    auto wx = static_cast<unsigned>(std::clamp(fx - x0, 0.0, 1.0) * 256.0);
    auto wy = static_cast<unsigned>(std::clamp(fy - y0, 0.0, 1.0) * 256.0);
    int xa = std::clamp(x0, 0, width - 1), xb = std::clamp(x0 + 1, 0, width - 1);
    int ya = std::clamp(y0, 0, height - 1), yb = std::clamp(y0 + 1, 0, height - 1);
    std::uint32_t p00 = texel(xa, ya), p10 = texel(xb, ya);
    std::uint32_t p01 = texel(xa, yb), p11 = texel(xb, yb);
    auto mix = [&](int shift) {
      auto channel = [&](std::uint32_t p) { return p >> shift & 0xFFu; };
      unsigned top = channel(p00) * (256 - wx) + channel(p10) * wx;
      unsigned bottom = channel(p01) * (256 - wx) + channel(p11) * wx;
      return static_cast<int>((top * (256 - wy) + bottom * wy + 32768u) >> 16);
    };
    return {mix(16), mix(8), mix(0), mix(24)};
  }

  // The texel under position f (in texels), kept on the picture. Plain comparisons and a cast:
  // this runs for every pixel drawn.
  static int texel_index(double f, int size) {
    if (!(f > 0)) return 0;
    if (f >= size - 1) return size - 1;
    return static_cast<int>(f);
  }
  // floor(f) for positions near the picture, where the sample is clamped anyway.
  static int floor_index(double f) {
    if (!(f > -2)) return -2;
    if (f > 1e8) return 100000000;
    int i = static_cast<int>(f);
    return f < i ? i - 1 : i;
  }
};

std::unique_ptr<HeadlessTexture> texture_from(const Backend& maker, const TPixmap& pixmap,
                                              int flags) {
  auto t = std::make_unique<HeadlessTexture>(maker);
  t->source = &pixmap;
  t->width = pixmap.width;
  t->height = pixmap.height;
  t->filtered = (flags & 2) != 0;
  t->argb.reserve(static_cast<std::size_t>(pixmap.width) * static_cast<std::size_t>(pixmap.height));
  for (int y = 0; y < pixmap.height; ++y) {
    for (int x = 0; x < pixmap.width; ++x) {
      TPixmap::Rgba p = pixmap.rgba(x, y);
      t->argb.push_back(static_cast<std::uint32_t>(p.a) << 24 |
                        static_cast<std::uint32_t>(p.r) << 16 |
                        static_cast<std::uint32_t>(p.g) << 8 | p.b);
    }
  }
  return t;
}

// Where a pixel's colour comes from: the drawing colour, or the texel modulated by it.
struct FlatSource {
  Rgba colour;
  Rgba operator()(double, double) const { return colour; }
};

template <bool Filtered>
struct TextureSource {
  const HeadlessTexture* texture;
  Rgba colour;
  bool plain;  // drawn in opaque white, as nearly everything is: the texel as it is

  Rgba operator()(double u, double v) const {
    Rgba t = Filtered ? texture->bilinear(u, v) : texture->nearest(u, v);
    if (plain) return t;
    return {mul255(t.r, colour.r), mul255(t.g, colour.g), mul255(t.b, colour.b),
            mul255(t.a, colour.a)};
  }
};

// The five blend modes, each its own function so the pixel loop carries no choice.
template <int Mode>
void blend_pixel(std::uint32_t& dst, Rgba s) {
  Rgba d = unpack(dst);
  if constexpr (Mode == 1) {
    if (s.a >= 128) dst = pack_opaque(s.r, s.g, s.b);
  } else if constexpr (Mode == 2) {
    dst = pack_opaque(s.r, s.g, s.b);
  } else if constexpr (Mode == 3) {
    if (s.a == 0) return;  // the clear parts of sprites, a good share of what is drawn
    auto over = [&](int sc, int dc) {
      return static_cast<int>(static_cast<unsigned>(sc * s.a + dc * (255 - s.a) + 127) / 255u);
    };
    dst = pack_opaque(over(s.r, d.r), over(s.g, d.g), over(s.b, d.b));
  } else if constexpr (Mode == 4) {
    auto add = [&](int sc, int dc) { return std::min(255, dc + mul255(sc, s.a)); };
    dst = pack_opaque(add(s.r, d.r), add(s.g, d.g), add(s.b, d.b));
  } else {
    dst = pack_opaque(mul255(d.r, s.r), mul255(d.g, s.g), mul255(d.b, s.b));
  }
}

// One edge of a triangle as a linear function of the pixel centre: positive inside. Shared edges
// are always evaluated from the same end, so two triangles meeting there see exactly opposite
// values, and the top-left rule gives each pixel on the edge to exactly one of them.
struct Edge {
  double px, py, dx, dy;
  double sign;
  bool owns_zero;  // a top or left edge keeps the pixels lying exactly on it

  Edge(const Vertex& from, const Vertex& to) {
    bool swapped = std::tie(from.x, from.y) > std::tie(to.x, to.y);
    const Vertex& p = swapped ? to : from;
    const Vertex& q = swapped ? from : to;
    px = p.x;
    py = p.y;
    dx = static_cast<double>(q.x) - p.x;
    dy = static_cast<double>(q.y) - p.y;
    sign = swapped ? -1.0 : 1.0;
    double ex = static_cast<double>(to.x) - from.x, ey = static_cast<double>(to.y) - from.y;
    owns_zero = (ey == 0 && ex > 0) || ey < 0;
  }

  // The edge along one row of pixel centres.
  struct Row {
    double base, step, sign;
    bool owns_zero;
    double at(double x) const { return sign * (base - step * x); }
    bool inside(double e) const { return e > 0 || (e == 0 && owns_zero); }
  };
  Row row(double cy) const { return {dx * (cy - py) + dy * px, dy, sign, owns_zero}; }
};

// The pixels of a row worth testing, [lo, hi], a pixel wider on each side than exact, and within
// them the ones certainly inside every edge, [inner_lo, inner_hi], a pixel narrower, which need
// no test. Positions are pixel indices; the pixel centre of index i is at i + 0.5.
struct Span {
  double lo, hi, inner_lo, inner_hi;

  void narrow(const Edge::Row& e) {
    double slope = e.sign * e.step;  // the edge value falls by this per pixel
    double constant = e.sign * e.base;
    if (slope == 0) {
      if (!e.inside(constant)) hi = lo - 1;
      return;
    }
    double cross = constant / slope - 0.5;  // where the value crosses zero
    if (std::isnan(cross)) {
      inner_hi = inner_lo - 1;
    } else if (slope > 0) {
      hi = std::min(hi, std::floor(cross) + 1);
      inner_hi = std::min(inner_hi, std::ceil(cross) - 2);
    } else {
      lo = std::max(lo, std::ceil(cross) - 1);
      inner_lo = std::max(inner_lo, std::floor(cross) + 2);
    }
  }
};

class Rasteriser {
 public:
  Rasteriser(std::vector<std::uint32_t>& pixels, int width, int height)
      : pixels_(pixels), width_(width), height_(height) {}

  // The triangle's corners go round clockwise on screen (y down) once put in order here.
  // `shade(pixel, u, v)` colours each pixel whose centre is inside.
  template <class Shade>
  void triangle(Vertex a, Vertex b, Vertex c, const Shade& shade) {
    double area = (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
                  (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x);
    if (!std::isfinite(area) || area == 0) return;
    if (area < 0) {
      std::swap(b, c);
      area = -area;
    }
    Edge ab(a, b), bc(b, c), ca(c, a);
    double top = std::min({a.y, b.y, c.y}), bottom = std::max({a.y, b.y, c.y});
    double left = std::min({a.x, b.x, c.x}), right = std::max({a.x, b.x, c.x});
    int y0 = first_pixel(top, height_), y1 = last_pixel(bottom, height_);
    int x0 = first_pixel(left, width_), x1 = last_pixel(right, width_);
    double inv = 1.0 / area;
    for (int y = y0; y <= y1; ++y) {
      double cy = y + 0.5;
      Edge::Row ea = bc.row(cy), eb = ca.row(cy), ec = ab.row(cy);
      Span span{static_cast<double>(x0), static_cast<double>(x1), static_cast<double>(x0),
                static_cast<double>(x1)};
      span.narrow(ea);
      span.narrow(eb);
      span.narrow(ec);
      if (!(span.lo <= span.hi)) continue;
      auto lo = static_cast<int>(span.lo), hi = static_cast<int>(span.hi);
      auto inner_lo = static_cast<int>(std::clamp(span.inner_lo, span.lo, span.hi + 1));
      auto inner_hi = static_cast<int>(std::clamp(span.inner_hi, span.lo - 1, span.hi));
      // The texture coordinates move by a fixed step per pixel along the row.
      double start = lo + 0.5;
      double wa0 = ea.at(start), wb0 = eb.at(start), wc0 = ec.at(start);
      double u = (wa0 * a.u + wb0 * b.u + wc0 * c.u) * inv;
      double v = (wa0 * a.v + wb0 * b.v + wc0 * c.v) * inv;
      double du = (ea.at(start + 1) - wa0) * a.u + (eb.at(start + 1) - wb0) * b.u +
                  (ec.at(start + 1) - wc0) * c.u;
      double dv = (ea.at(start + 1) - wa0) * a.v + (eb.at(start + 1) - wb0) * b.v +
                  (ec.at(start + 1) - wc0) * c.v;
      du *= inv;
      dv *= inv;
      std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
      for (int x = lo; x <= hi; ++x, u += du, v += dv) {
        if (x < inner_lo || x > inner_hi) {
          double cx = x + 0.5;
          if (!ea.inside(ea.at(cx)) || !eb.inside(eb.at(cx)) || !ec.inside(ec.at(cx))) continue;
        }
        shade(row[x], u, v);
      }
    }
  }

 private:
  // The pixels whose centres can lie within [low, high], kept on the buffer.
  static int first_pixel(double low, int size) {
    return static_cast<int>(std::clamp(std::ceil(low - 0.5), 0.0, static_cast<double>(size)));
  }
  static int last_pixel(double high, int size) {
    return static_cast<int>(std::clamp(std::floor(high - 0.5), -1.0, size - 1.0));
  }

  std::vector<std::uint32_t>& pixels_;
  int width_, height_;
};

// A quad or a convex fan, as triangles from its first corner.
template <int Mode, class Source>
void fill_triangles(Rasteriser& r, const Vertex* v, int count, const Source& source) {
  auto shade = [&](std::uint32_t& dst, double tu, double tv) {
    blend_pixel<Mode>(dst, source(tu, tv));
  };
  for (int i = 1; i + 1 < count; ++i) r.triangle(v[0], v[i], v[i + 1], shade);
}

template <class Source>
void fill_polygon(Rasteriser& r, const Vertex* v, int count, int mode, const Source& source) {
  switch (mode) {
    case 1:
      fill_triangles<1>(r, v, count, source);
      break;
    case 2:
      fill_triangles<2>(r, v, count, source);
      break;
    case 3:
      fill_triangles<3>(r, v, count, source);
      break;
    case 4:
      fill_triangles<4>(r, v, count, source);
      break;
    case 5:
      fill_triangles<5>(r, v, count, source);
      break;
    default:
      break;
  }
}

// a - b on the wrapping clock.
std::int32_t ms_between(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// A new reading of a game controller's port; none unplugs it.
struct PadChange {
  int port;
  std::optional<JoystickReading> reading;
};

struct Scripted {
  std::int64_t when;  // unwrapped virtual time, or frames presented
  std::int64_t seq;   // injection order
  std::variant<InputEvent, PadChange> what;
};

// Priority queues of scripted events, the least on top: by when they fall due, then by injection;
// and by injection alone.
struct LaterScheduled {
  bool operator()(const Scripted& a, const Scripted& b) const {
    return std::tie(a.when, a.seq) > std::tie(b.when, b.seq);
  }
};
struct LaterInjected {
  bool operator()(const Scripted& a, const Scripted& b) const { return a.seq > b.seq; }
};
using ScheduleQueue = std::priority_queue<Scripted, std::vector<Scripted>, LaterScheduled>;
using InjectionQueue = std::priority_queue<Scripted, std::vector<Scripted>, LaterInjected>;

// Moves the heads of `from` that are due at `now` to `to`.
void take_due(ScheduleQueue& from, std::int64_t now, InjectionQueue& to) {
  while (!from.empty() && from.top().when <= now) {
    to.push(from.top());
    from.pop();
  }
}

std::int32_t next_vblank(std::int32_t now, int hertz) {
  auto floor_div = [](std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); };
  std::int64_t k = floor_div(static_cast<std::int64_t>(now) * hertz, 1000);
  std::int64_t t = floor_div(k * 1000, hertz);
  while (t <= now) t = floor_div(++k * 1000, hertz);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(t));
}

}  // namespace

struct HeadlessBackend::State {
  std::int64_t clock = 0;  // unwrapped: the program reads its low 32 bits
  ScheduleQueue by_time, by_frame;
  InjectionQueue due;  // taken from the two above, not yet delivered
  std::int64_t next_seq = 0;
  // Events put ahead of everything injected, in the order they were put there.
  std::int64_t next_front_seq = std::numeric_limits<std::int64_t>::min();
  int frames = 0;
  std::function<void(int)> frame_hook;
  int hooks_set = 0;  // tells whether the hook was replaced while it ran
  bool rasterise = true;
  bool draw_log = true;
  bool open = false;
  int hertz = 60;
  int width = 1024, height = 768;
  // Both frames, black until something is drawn: they are made on the first draw, or clear to
  // another colour, while rasterising is on. Until then (and always for a run that switches
  // rasterising off first) they are empty and read as black.
  std::vector<std::uint32_t> back, front;
  std::vector<DrawRecord> draws, last_draws;
  std::map<int, JoystickReading> joysticks;
  std::vector<std::string> urls;
  int generation = detail::next_display_generation();

  // A new size starts black.
  void resize(int w, int h) {
    width = w;
    height = h;
    back = {};
    front = {};
  }

  bool has_pixels() const { return !back.empty(); }
  void make_pixels() {
    if (has_pixels()) return;
    back.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), opaque_black);
    front = back;
  }

  std::int32_t now() const { return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock)); }
  // The unwrapped time at which the clock next reads `ms`, or last did, up to 2^31 ms ago.
  std::int64_t unwrap(std::int32_t ms) const { return clock + ms_between(ms, now()); }

  std::size_t pending() const { return by_time.size() + by_frame.size() + due.size(); }

  // One at a time: a delivered event may end the program, and what is left must stay pending.
  bool deliver_due() {
    take_due(by_time, clock, due);
    take_due(by_frame, frames, due);
    bool delivered = false;
    while (!due.empty()) {
      const std::variant<InputEvent, PadChange> what = due.top().what;
      due.pop();
      delivered = true;
      if (const auto* change = std::get_if<PadChange>(&what)) {
        set_joystick(change->port, change->reading);
      } else {
        detail::deliver_event(std::get<InputEvent>(what));
      }
    }
    return delivered;
  }

  void set_joystick(int port, const std::optional<JoystickReading>& reading) {
    if (reading) {
      joysticks[port] = *reading;
    } else {
      joysticks.erase(port);
    }
  }

  // Called with nothing due: moves the clock to the first scripted time, if there is one no
  // later than `limit`, and delivers what is due then.
  bool jump_to_next_timed(std::int64_t limit) {
    if (by_time.empty() || by_time.top().when > limit) return false;
    clock = by_time.top().when;
    return deliver_due();
  }

  // Taken out while it runs, so that a present inside it does not call it again, and put back
  // unless it was replaced meanwhile, also when it throws.
  void run_frame_hook() {
    if (!frame_hook) return;
    struct PutBack {
      State& s;
      int set_at;
      std::function<void(int)> hook;
      ~PutBack() {
        if (s.hooks_set == set_at) s.frame_hook = std::move(hook);
      }
    } running{*this, hooks_set, std::exchange(frame_hook, nullptr)};
    running.hook(frames);
  }

  std::uint32_t read(const std::vector<std::uint32_t>& buffer, int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    if (!has_pixels()) return opaque_black;
    return buffer[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

struct HeadlessMoment {
  std::int64_t clock;
  int frames;
  ScheduleQueue by_time, by_frame;
  InjectionQueue due;
  std::int64_t next_seq, next_front_seq;
  std::map<int, JoystickReading> joysticks;
  std::int32_t random;
  std::uint32_t game_clock_left_out;
  std::shared_ptr<const detail::InputState> input;
};

HeadlessBackend::HeadlessBackend() : s_(std::make_unique<State>()) {}
HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::set_clock(std::int32_t ms) {
  s_->clock = s_->unwrap(ms);
}

void HeadlessBackend::inject_at_time(std::int32_t ms, const InputEvent& event) {
  s_->by_time.push({s_->unwrap(ms), s_->next_seq++, event});
}

void HeadlessBackend::inject_at_frame(int frame, const InputEvent& event) {
  s_->by_frame.push({frame, s_->next_seq++, event});
}

void HeadlessBackend::inject_joystick_at_time(std::int32_t ms, int port,
                                              std::optional<JoystickReading> reading) {
  s_->by_time.push({s_->unwrap(ms), s_->next_seq++, PadChange{port, reading}});
}

void HeadlessBackend::inject_joystick_at_frame(int frame, int port,
                                               std::optional<JoystickReading> reading) {
  s_->by_frame.push({frame, s_->next_seq++, PadChange{port, reading}});
}

std::size_t HeadlessBackend::pending_events() const {
  return s_->pending();
}
int HeadlessBackend::frames_presented() const {
  return s_->frames;
}

void HeadlessBackend::set_frame_hook(std::function<void(int frame)> hook) {
  s_->frame_hook = std::move(hook);
  ++s_->hooks_set;
}

std::shared_ptr<const HeadlessMoment> HeadlessBackend::moment() const {
  return std::make_shared<const HeadlessMoment>(
      HeadlessMoment{s_->clock, s_->frames, s_->by_time, s_->by_frame, s_->due, s_->next_seq,
                     s_->next_front_seq, s_->joysticks, detail::random_state(),
                     detail::game_clock_left_out(), detail::save_input_state()});
}

void HeadlessBackend::return_to(const HeadlessMoment& m) {
  s_->clock = m.clock;
  s_->frames = m.frames;
  s_->by_time = m.by_time;
  s_->by_frame = m.by_frame;
  s_->due = m.due;
  s_->next_seq = m.next_seq;
  s_->next_front_seq = m.next_front_seq;
  s_->joysticks = m.joysticks;
  detail::set_random_state(m.random);
  detail::set_game_clock_left_out(m.game_clock_left_out);
  detail::restore_input_state(*m.input);
}

void HeadlessBackend::set_rasterise(bool on) {
  s_->rasterise = on;
}

void HeadlessBackend::set_draw_log(bool on) {
  s_->draw_log = on;
  if (on) return;
  s_->draws = {};
  s_->last_draws = {};
}

std::uint32_t HeadlessBackend::pixel(int x, int y) const {
  return s_->read(s_->front, x, y);
}

std::uint32_t HeadlessBackend::back_buffer_pixel(int x, int y) const {
  return s_->read(s_->back, x, y);
}

bool HeadlessBackend::save_png(const std::string& path) const {
  std::vector<std::uint8_t> rgba;
  rgba.reserve(static_cast<std::size_t>(s_->width) * static_cast<std::size_t>(s_->height) * 4);
  for (int y = 0; y < s_->height; ++y) {
    for (int x = 0; x < s_->width; ++x) {
      Rgba c = unpack(s_->read(s_->front, x, y));
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.b), 255});
    }
  }
  return write_png_rgba(path, s_->width, s_->height, rgba.data(), s_->width * 4);
}

const std::vector<DrawRecord>& HeadlessBackend::draws_since_present() const {
  return s_->draws;
}
const std::vector<DrawRecord>& HeadlessBackend::draws_of_last_frame() const {
  return s_->last_draws;
}

void HeadlessBackend::set_joystick(int port, std::optional<JoystickReading> reading) {
  s_->set_joystick(port, reading);
}

const std::vector<std::string>& HeadlessBackend::opened_urls() const {
  return s_->urls;
}
bool HeadlessBackend::display_open() const {
  return s_->open;
}

std::int32_t HeadlessBackend::millisecs() {
  return s_->now();
}

void HeadlessBackend::delay(int ms) {
  if (ms > 0) s_->clock += ms;
}

void HeadlessBackend::poll_events() {
  s_->deliver_due();
}

bool HeadlessBackend::wait_events_until(std::int32_t deadline_ms) {
  if (s_->deliver_due()) return true;
  std::int64_t deadline = s_->unwrap(deadline_ms);
  if (s_->jump_to_next_timed(deadline)) return true;
  s_->clock = std::max(s_->clock, deadline);
  return false;
}

void HeadlessBackend::wait_events() {
  if (s_->deliver_due()) return;
  if (s_->jump_to_next_timed(std::numeric_limits<std::int64_t>::max())) return;
  throw InputStarved("the program waits for input but no scripted event is left (" +
                     std::to_string(s_->by_frame.size()) + " waiting for later frames, " +
                     std::to_string(s_->frames) + " frames presented, clock at " +
                     std::to_string(s_->now()) + " ms)");
}

// No frame is presented while a loop polls, so only events by time can still come.
void HeadlessBackend::wait_input(int ms) {
  if (s_->deliver_due()) return;
  if (s_->by_time.empty()) {
    throw InputStarved("the program polls for input but no scripted event by time is left (" +
                       std::to_string(s_->by_frame.size()) +
                       " waiting for later frames, clock at " + std::to_string(s_->now()) + " ms)");
  }
  const std::int64_t deadline = s_->clock + ms;
  if (!s_->jump_to_next_timed(deadline)) s_->clock = deadline;
}

bool HeadlessBackend::open_display(const DisplayMode& mode, std::string& error) {
  if (mode.width <= 0 || mode.height <= 0 || mode.width > max_display_side ||
      mode.height > max_display_side) {
    error = "unsupported size " + std::to_string(mode.width) + " x " + std::to_string(mode.height);
    return false;
  }
  if (mode.width != s_->width || mode.height != s_->height) s_->resize(mode.width, mode.height);
  s_->hertz = mode.hertz > 0 ? mode.hertz : 60;
  s_->open = true;
  s_->generation = detail::next_display_generation();
  // The pointer starts in the middle of a new display, as the real back end puts it there.
  InputEvent centre{InputEvent::Type::mouse_move, 0, mode.width / 2, mode.height / 2};
  s_->due.push({0, s_->next_front_seq++, centre});
  return true;
}

void HeadlessBackend::close_display() {
  s_->open = false;
}

void HeadlessBackend::present(bool wait_vblank) {
  if (wait_vblank) s_->clock = s_->unwrap(next_vblank(s_->now(), s_->hertz));
  if (s_->rasterise && s_->has_pixels()) s_->front = s_->back;
  ++s_->frames;
  // The old frame's vector is cleared for reuse, its room kept.
  s_->last_draws.swap(s_->draws);
  s_->draws.clear();
  s_->run_frame_hook();
}

void HeadlessBackend::clear(std::uint32_t argb) {
  if (!s_->rasterise) return;
  const std::uint32_t colour = argb | opaque_black;
  if (!s_->has_pixels() && colour == opaque_black) return;  // already black
  s_->make_pixels();
  std::fill(s_->back.begin(), s_->back.end(), colour);
}

void HeadlessBackend::draw(const Vertex* vertices, int count, Topology topology,
                           const DrawParams& params) {
  if (count < 3 || (topology == Topology::quad && count != 4)) return;
  if (!s_->draw_log && !s_->rasterise) return;  // long runs draw thousands of pictures a frame
  const auto* texture = params.texture && params.texture->made_by(*this)
                            ? static_cast<const HeadlessTexture*>(params.texture)
                            : nullptr;
  if (s_->draw_log) {
    s_->draws.push_back({std::vector<Vertex>(vertices, vertices + count), topology,
                         texture ? texture->source : nullptr, params.argb, params.blend});
  }
  if (!s_->rasterise) return;

  s_->make_pixels();
  Rasteriser r(s_->back, s_->width, s_->height);
  Rgba colour = unpack(params.argb);
  bool plain = params.argb == 0xFFFFFFFFu;
  if (!texture) {
    fill_polygon(r, vertices, count, params.blend, FlatSource{colour});
  } else if (texture->filtered) {
    fill_polygon(r, vertices, count, params.blend, TextureSource<true>{texture, colour, plain});
  } else {
    fill_polygon(r, vertices, count, params.blend, TextureSource<false>{texture, colour, plain});
  }
}

std::unique_ptr<Texture> HeadlessBackend::create_texture(const TPixmap& pixmap, int flags) {
  if (pixmap.width <= 0 || pixmap.height <= 0) return nullptr;
  return texture_from(*this, pixmap, flags);
}

int HeadlessBackend::display_generation() const {
  return s_->generation;
}

bool HeadlessBackend::read_joystick(int port, JoystickReading& reading) {
  auto it = s_->joysticks.find(port);
  if (it == s_->joysticks.end()) return false;
  reading = it->second;
  return true;
}

// Voices play out on the virtual clock.
std::shared_ptr<detail::AudioOutput> HeadlessBackend::make_audio_output() {
  return detail::make_virtual_time_output();
}

void HeadlessBackend::open_url(const std::string& url) {
  s_->urls.push_back(url);
}

void HeadlessBackend::end_program(int status) {
  throw ProgramEnded(status);
}

void HeadlessBackend::fatal(const std::string& message) {
  throw FatalError(message);
}

}  // namespace media
