#include "media/display.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "media/detail/display_internal.h"
#include "media/detail/internal.h"
#include "media/system.h"

namespace media {
namespace {

// How Flip -1 paces, fixed when the display is opened.
struct Pacing {
  bool vblank_sync = false;
  bool software = false;
  int hertz = 0;
  int frame_ms = 0;
  int remainder_ms = 0;
  int accumulator = 0;
  std::int32_t next_frame_time = 0;
};

// The part of the plane where a shape can touch a pixel of the back buffer: a pixel wider than
// the buffer on every side, so that no rounding of any rasteriser reaches in from beyond. Before
// a display is opened it is the whole plane.
struct Bounds {
  float left = -std::numeric_limits<float>::infinity();
  float top = -std::numeric_limits<float>::infinity();
  float right = std::numeric_limits<float>::infinity();
  float bottom = std::numeric_limits<float>::infinity();
};

struct DisplayModule {
  bool open = false;
  Pacing pacing;
  TDrawState state;
  // The colour and blending every draw hands the back end, kept up to date by the calls that
  // change them rather than worked out for each of the thousands of pictures of a frame. The
  // blending is the last known mode: SetBlend with an unknown mode leaves it.
  DrawParams params;
  Bounds reach;
};

DisplayModule g;

// An oval as big as the screen needs a few thousand points; anything past this is nonsense input.
constexpr float max_oval_segments = 65536.0f;

int clamp_byte(int v) {
  return std::clamp(v, 0, 255);
}

std::uint32_t drawing_argb(const TDrawState& s) {
  float alpha = std::clamp(s.color_alpha, 0.0f, 1.0f);
  if (std::isnan(s.color_alpha)) alpha = 0.0f;
  auto a = static_cast<std::uint32_t>(alpha * 255.0f);
  auto r = static_cast<std::uint32_t>(clamp_byte(s.color_red));
  auto gr = static_cast<std::uint32_t>(clamp_byte(s.color_green));
  auto b = static_cast<std::uint32_t>(clamp_byte(s.color_blue));
  return a << 24 | r << 16 | gr << 8 | b;
}

std::uint32_t clear_argb(const TDrawState& s) {
  auto r = static_cast<std::uint32_t>(clamp_byte(s.clscolor_red));
  auto gr = static_cast<std::uint32_t>(clamp_byte(s.clscolor_green));
  auto b = static_cast<std::uint32_t>(clamp_byte(s.clscolor_blue));
  return 0xFF000000u | r << 16 | gr << 8 | b;
}

void update_matrix(TDrawState& s) {
  double radians = static_cast<double>(s.tform_rot) * std::numbers::pi / 180.0;
  double sn = std::sin(radians);
  double cs = std::cos(radians);
  s.tform_ix = static_cast<float>(cs * s.tform_scale_x);
  s.tform_iy = static_cast<float>(-sn * s.tform_scale_y);
  s.tform_jx = static_cast<float>(sn * s.tform_scale_x);
  s.tform_jy = static_cast<float>(cs * s.tform_scale_y);
}

// A point of a shape, relative to its handle point, on the screen at (tx, ty).
Vertex place(const TDrawState& s, float px, float py, float tx, float ty, float u, float v) {
  return {px * s.tform_ix + py * s.tform_iy + tx, px * s.tform_jx + py * s.tform_jy + ty, u, v};
}

void refresh_colour() {
  g.params.argb = drawing_argb(g.state);
}

template <class Beyond>
bool all_beyond(const Vertex* v, int count, Beyond beyond) {
  for (int i = 0; i < count; ++i) {
    if (!beyond(v[i])) return false;
  }
  return true;
}

// True when every corner lies past the same edge of the back buffer, so no pixel can change. The
// game draws every object of a level in every frame, most of them off screen; those cost no
// draw call. A corner that is not a number is past no edge and is left to the back end.
bool out_of_reach(const Vertex* v, int count) {
  const Bounds& b = g.reach;
  return all_beyond(v, count, [&](const Vertex& p) { return p.x <= b.left; }) ||
         all_beyond(v, count, [&](const Vertex& p) { return p.x >= b.right; }) ||
         all_beyond(v, count, [&](const Vertex& p) { return p.y <= b.top; }) ||
         all_beyond(v, count, [&](const Vertex& p) { return p.y >= b.bottom; });
}

void draw_flat(const Vertex* v, int count, Topology topology) {
  if (out_of_reach(v, count)) return;
  backend().draw(v, count, topology, g.params);
}

TDrawState fresh_state(int width, int height) {
  TDrawState s;
  s.viewport_w = width;
  s.viewport_h = height;
  s.vres_width = static_cast<float>(width);
  s.vres_height = static_cast<float>(height);
  s.g_width = width;
  s.g_height = height;
  update_matrix(s);
  return s;
}

Pacing pacing_for(int depth, int hertz) {
  Pacing p;
  p.vblank_sync = depth != 0 && hertz != 0;
  p.software = depth == 0 && hertz > 0;
  if (p.software) {
    p.hertz = hertz;
    p.frame_ms = 1000 / hertz;
    p.remainder_ms = 1000 - p.frame_ms * hertz;
    p.next_frame_time = detail::game_clock();
  }
  return p;
}

// a + b and a - b on the millisecond clock, which wraps.
std::int32_t clock_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t clock_diff(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Sleeps until the next frame of the millisecond schedule. The odd milliseconds of 1000 / hertz
// are spread over the second, and a late frame restarts the schedule rather than being made up.
void pace_by_clock(Pacing& p) {
  p.next_frame_time = clock_add(p.next_frame_time, p.frame_ms);
  p.accumulator += p.remainder_ms;
  if (p.accumulator >= p.hertz) {
    p.accumulator -= p.hertz;
    p.next_frame_time = clock_add(p.next_frame_time, 1);
  }
  std::int32_t d = clock_diff(p.next_frame_time, detail::game_clock());
  if (d > 0) {
    Delay(d);
  } else {
    p.next_frame_time = clock_diff(p.next_frame_time, d);
  }
}

int oval_segments(float rx, float ry) {
  float sum = std::fabs(rx) + std::fabs(ry);
  if (std::isnan(sum)) return 12;
  int n = sum < max_oval_segments ? static_cast<int>(sum) : static_cast<int>(max_oval_segments);
  return std::max(12, n) & ~3;
}

struct UnitPoint {
  double cos, sin;
};

// The n points of an oval on the unit circle, from 0 degrees round by -360 / n each. Those of
// the last count asked for are kept: the game's ovals are its bullets, all of one size.
const std::vector<UnitPoint>& unit_circle(int n) {
  static std::vector<UnitPoint> points;
  if (points.size() == static_cast<std::size_t>(n)) return points;
  points.clear();
  for (int i = 0; i < n; ++i) {
    double theta = -i * 360.0 / n * std::numbers::pi / 180.0;
    points.push_back({std::cos(theta), std::sin(theta)});
  }
  return points;
}

}  // namespace

// There is one renderer, and its flags change nothing (see Graphics).
void SelectRenderer(int /*default_flags*/) {}

// Every display has exactly one back buffer, so neither the flags nor the renderer's default flags
// change what is opened.
bool Graphics(int width, int height, int depth, int hertz, int /*flags*/) {
  Backend& b = backend();
  if (g.open) b.close_display();
  g.open = false;

  DisplayMode mode{width, height, depth != 0, hertz};
  std::string error;
  if (!b.open_display(mode, error)) {
    b.fatal("Cannot open the " + std::to_string(width) + " x " + std::to_string(height) +
            " display: " + error);
  }
  g.open = true;
  // What was pressed before the window existed belongs to nobody.
  detail::flush_input();
  g.pacing = pacing_for(depth, hertz);
  g.state = fresh_state(width, height);
  g.params = DrawParams{nullptr, drawing_argb(g.state), g.state.blend_mode};
  g.reach = {-1.0f, -1.0f, static_cast<float>(width) + 1.0f, static_cast<float>(height) + 1.0f};

  // Both buffers start black.
  Cls();
  Flip(0);
  Cls();
  Flip(0);
  return true;
}

void Flip(int sync) {
  Backend& b = backend();
  if (sync != -1) {
    b.present(sync != 0);
  } else if (g.pacing.software) {
    pace_by_clock(g.pacing);
    b.present(false);
  } else {
    b.present(!g.open || g.pacing.vblank_sync);
  }
  detail::frame_presented();
}

void Cls() {
  backend().clear(clear_argb(g.state));
}

void SetColor(int r, int g_, int b) {
  g.state.color_red = r;
  g.state.color_green = g_;
  g.state.color_blue = b;
  refresh_colour();
}

void SetAlpha(float alpha) {
  g.state.color_alpha = alpha;
  refresh_colour();
}

void SetBlend(int mode) {
  g.state.blend_mode = mode;
  if (mode >= 1 && mode <= 5) g.params.blend = mode;
}

void SetRotation(float degrees) {
  g.state.tform_rot = degrees;
  update_matrix(g.state);
}

void SetScale(float sx, float sy) {
  g.state.tform_scale_x = sx;
  g.state.tform_scale_y = sy;
  update_matrix(g.state);
}

void DrawRect(float x, float y, float w, float h) {
  const TDrawState& s = g.state;
  float hx = s.handle_x, hy = s.handle_y;
  float tx = x + s.origin_x, ty = y + s.origin_y;
  Vertex v[4] = {place(s, hx, hy, tx, ty, 0, 0), place(s, hx + w, hy, tx, ty, 1, 0),
                 place(s, hx + w, hy + h, tx, ty, 1, 1), place(s, hx, hy + h, tx, ty, 0, 1)};
  draw_flat(v, 4, Topology::quad);
}

void DrawOval(float x, float y, float w, float h) {
  const TDrawState& s = g.state;
  float x0 = s.handle_x, y0 = s.handle_y;
  float x1 = x0 + w, y1 = y0 + h;
  float rx = (x1 - x0) * 0.5f, ry = (y1 - y0) * 0.5f;
  float cx = x0 + rx, cy = y0 + ry;
  float tx = x + s.origin_x, ty = y + s.origin_y;
  int n = oval_segments(rx, ry);
  const std::vector<UnitPoint>& circle = unit_circle(n);

  // Kept between calls, like the circle: every bullet is an oval, every frame.
  static std::vector<Vertex> v;
  v.clear();
  for (const UnitPoint& p : circle) {
    auto px = static_cast<float>(cx + p.cos * rx);
    auto py = static_cast<float>(cy - p.sin * ry);
    v.push_back(place(s, px, py, tx, ty, 0, 0));
  }
  draw_flat(v.data(), n, Topology::fan);
}

Timer CreateTimer(float hertz) {
  if (!(hertz > 0.0f)) return nullptr;
  auto timer = std::make_shared<TTimer>();
  float period = 1000.0f / hertz;
  timer->period_ms = period < 1.0f ? 1 : period > 1e9f ? 1000000000 : static_cast<int>(period);
  timer->start_ms = detail::game_clock();
  return timer;
}

namespace {

int ticks_so_far(const TTimer& t) {
  auto elapsed = static_cast<std::uint32_t>(clock_diff(detail::game_clock(), t.start_ms));
  return static_cast<int>(elapsed / static_cast<std::uint32_t>(t.period_ms));
}

// While another window has the focus no frame is drawn: every loop of frames waits on the timer,
// so it is held here until the focus comes back, taking in events meanwhile (a close request
// still ends the program). The game's clock stands still meanwhile, so that the world goes on
// from where it stopped rather than catching up.
void hold_while_away() {
  if (!detail::window_away()) return;
  struct Restart {
    ~Restart() { detail::restart_game_clock(); }
  } restart;
  detail::stop_game_clock();
  while (detail::window_away()) detail::wait_for_input();
}

// Waits on the back end's clock until the game's clock reads `deadline`.
void wait_events_until(Backend& b, std::int32_t deadline) {
  detail::wait_for_input_until(
      clock_add(b.millisecs(), clock_diff(deadline, detail::game_clock())));
}

}  // namespace

int WaitTimer(const Timer& timer) {
  if (!timer) return 0;
  TTimer& t = *timer;
  Backend& b = backend();
  // Ticks are counted while events are taken in, so a late frame still reads its input.
  detail::look_for_input();
  hold_while_away();
  t._ticks = ticks_so_far(t);
  while (t._ticks == t._wticks) {
    auto next_tick = clock_add(
        t.start_ms, static_cast<std::int32_t>((static_cast<std::uint32_t>(t._wticks) + 1u) *
                                              static_cast<std::uint32_t>(t.period_ms)));
    wait_events_until(b, next_tick);
    hold_while_away();
    t._ticks = ticks_so_far(t);
  }
  int n = t._ticks - t._wticks;
  t._wticks = t._ticks;
  return n;
}

const TDrawState& draw_state() {
  return g.state;
}

Matrix2 collision_matrix() {
  return {g.state.tform_ix, g.state.tform_iy, g.state.tform_jx, g.state.tform_jy};
}

namespace detail {

void draw_textured_quad(const TPixmap& pixmap, TextureSlot& slot, int image_flags, float x0,
                        float y0, float x1, float y1, float tx, float ty) {
  const TDrawState& s = g.state;
  const Vertex v[4] = {place(s, x0, y0, tx, ty, 0, 0), place(s, x1, y0, tx, ty, 1, 0),
                       place(s, x1, y1, tx, ty, 1, 1), place(s, x0, y1, tx, ty, 0, 1)};
  // Before the texture: a picture never seen needs none.
  if (out_of_reach(v, 4)) return;
  Backend& b = backend();
  const int generation = b.display_generation();
  if (!slot.texture || slot.seq != generation) {
    slot.texture = b.create_texture(pixmap, image_flags);
    slot.seq = generation;
  }
  // A picture the renderer cannot hold is left out rather than drawn as a flat box.
  if (!slot.texture) return;
  DrawParams p = g.params;
  p.texture = slot.texture.get();
  b.draw(v, 4, Topology::quad, p);
}

void set_image_font(std::shared_ptr<TImageFont> font) {
  g.state.image_font = std::move(font);
}

int next_display_generation() {
  static int last = 0;
  return ++last;
}

void reset_display_state() {
  g = DisplayModule{};
}

}  // namespace detail
}  // namespace media
