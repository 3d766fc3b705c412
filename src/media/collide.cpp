// Pixel-exact collision of two images placed as DrawImage would place them.
//
// Each image becomes a quad on screen (the current rotation and scale apply). The two quads are
// scanned together row by row; the first pixel that is solid in both is a hit.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "media/image.h"

namespace media {
namespace {

struct Corner {
  float x, y, u, v;
};

struct Quad {
  Corner corner[4];  // clockwise on screen
  float minx, miny, maxx, maxy;
  const TPixmap* mask;  // none: solid everywhere
};

// Where a boundary of a quad crosses one scanline.
struct Crossing {
  float x, u, v;
};

// The pixels of one quad on one scanline, with the texture step across them.
struct Span {
  int start, end;  // start <= px < end
  Crossing left;
  float du, dv;
};

// Float-to-int truncation that stays defined for absurd scales and NaN.
int trunc_int(float f) {
  constexpr float limit = 1073741824.0f;  // 2^30
  if (!(f > -limit)) return -static_cast<int>(limit);
  if (f > limit) return static_cast<int>(limit);
  return static_cast<int>(f);
}

// Measured from the first corner, so that far from the screen's origin the sign stays right.
double twice_signed_area(const Corner (&c)[4]) {
  double sum = 0.0;
  for (int i = 1; i < 3; ++i) {
    const double ax = c[i].x - c[0].x, ay = c[i].y - c[0].y;
    const double bx = c[i + 1].x - c[0].x, by = c[i + 1].y - c[0].y;
    sum += ax * by - bx * ay;
  }
  return sum;
}

Quad build_quad(const TImage& image, int frame, int x, int y) {
  const Matrix2 m = collision_matrix();
  const TDrawState& state = draw_state();
  const float tx = static_cast<float>(x) + state.origin_x;
  const float ty = static_cast<float>(y) + state.origin_y;
  const float x0 = -image.handle_x, y0 = -image.handle_y;
  const float x1 = x0 + static_cast<float>(image.width);
  const float y1 = y0 + static_cast<float>(image.height);
  const Corner local[4] = {{x0, y0, 0, 0}, {x1, y0, 1, 0}, {x1, y1, 1, 1}, {x0, y1, 0, 1}};

  Quad q{};
  for (int i = 0; i < 4; ++i) {
    const Corner& l = local[i];
    q.corner[i] = {l.x * m.ix + l.y * m.iy + tx, l.x * m.jx + l.y * m.jy + ty, l.u, l.v};
  }
  // Mirroring turns the corner order around; put it back so the rising edges are on the left.
  if (twice_signed_area(q.corner) < 0.0) std::reverse(std::begin(q.corner), std::end(q.corner));
  q.minx = q.maxx = q.corner[0].x;
  q.miny = q.maxy = q.corner[0].y;
  for (const Corner& c : q.corner) {
    q.minx = std::min(q.minx, c.x);
    q.maxx = std::max(q.maxx, c.x);
    q.miny = std::min(q.miny, c.y);
    q.maxy = std::max(q.maxy, c.y);
  }
  const TPixmap& pixmap = image.pixmaps[frame];
  q.mask = pixmap.has_alpha() ? &pixmap : nullptr;
  return q;
}

// One side of a quad, left or right, followed down the scanlines in rising order. Along each edge
// the crossing starts half a scanline below the edge's first scanline and moves on by one step
// for each further scanline, summed as the scan goes: a scanline sees exactly the value the
// running sum has reached there, rounding and all.
class Side {
 public:
  // The edge from `top` to `bottom` covers the scanlines first <= y < end.
  void add_edge(const Corner& top, const Corner& bottom, int first, int end) {
    edges_[count_++] = {&top, &bottom, first, end};
  }

  // The crossing on scanline `y`, or none where no edge of this side covers it. `y` never goes
  // back up between calls.
  const Crossing* at(int y) {
    if (current_ < 0 || y >= edges_[current_].end) {
      current_ = edge_covering(y);
      if (current_ < 0) return nullptr;
      start(edges_[current_]);
    }
    for (; row_ < y; ++row_) {
      crossing_.x += step_.x;
      crossing_.u += step_.u;
      crossing_.v += step_.v;
    }
    return &crossing_;
  }

 private:
  struct Edge {
    const Corner* top;
    const Corner* bottom;
    int first, end;
  };

  int edge_covering(int y) const {
    for (int i = 0; i < count_; ++i)
      if (y >= edges_[i].first && y < edges_[i].end) return i;
    return -1;
  }

  void start(const Edge& e) {
    const float rows = static_cast<float>(e.end - e.first);
    const Corner& a = *e.top;
    const Corner& b = *e.bottom;
    step_ = {(b.x - a.x) / rows, (b.u - a.u) / rows, (b.v - a.v) / rows};
    crossing_ = {a.x + step_.x * 0.5f, a.u + step_.u * 0.5f, a.v + step_.v * 0.5f};
    row_ = e.first;
  }

  Edge edges_[4];
  int count_ = 0;
  int current_ = -1;  // the edge being followed, if any
  Crossing crossing_{}, step_{};
  int row_ = 0;  // the scanline `crossing_` stands for
};

struct Sides {
  Side left, right;
};

// With the corners clockwise on screen, edges running down form the right side and edges
// running up the left one. Each edge owns the scanlines trunc(top.y) <= y < trunc(bottom.y).
Sides sides_of(const Quad& q) {
  Sides sides;
  for (int i = 0; i < 4; ++i) {
    const Corner& a = q.corner[i];
    const Corner& b = q.corner[(i + 1) % 4];
    const int ta = trunc_int(a.y), tb = trunc_int(b.y);
    if (ta < tb) {
      sides.right.add_edge(a, b, ta, tb);
    } else if (tb < ta) {
      sides.left.add_edge(b, a, tb, ta);
    }
  }
  return sides;
}

Span span_between(const Crossing& left, const Crossing& right) {
  Span s{trunc_int(left.x), trunc_int(right.x), left, 0.0f, 0.0f};
  if (s.end > s.start) {
    const float width = static_cast<float>(s.end - s.start);
    s.du = (right.u - left.u) / width;
    s.dv = (right.v - left.v) / width;
  }
  return s;
}

// Reads a quad's mask along one span: is the texel under the centre of a pixel solid?
class SpanSampler {
 public:
  SpanSampler(const Quad& q, const Span& s) : span_(s) {
    if (!q.mask) return;
    const TPixmap& m = *q.mask;
    // The alpha byte is the last one of the pixel in both formats that have one.
    bpp_ = bytes_per_pixel(m.format);
    alpha_ = m.pixels.data() + bpp_ - 1;
    pitch_ = m.pitch;
    width_ = static_cast<float>(m.width);
    height_ = static_cast<float>(m.height);
    last_col_ = m.width - 1;
    last_row_ = m.height - 1;
  }

  bool solid(int px) const {
    if (!alpha_) return true;
    const float offset = static_cast<float>(px - span_.start) + 0.5f;
    const float u = std::clamp(span_.left.u + offset * span_.du, 0.0f, 1.0f);
    const float v = std::clamp(span_.left.v + offset * span_.dv, 0.0f, 1.0f);
    const int col = std::min(static_cast<int>(u * width_), last_col_);
    const int row = std::min(static_cast<int>(v * height_), last_row_);
    return alpha_[static_cast<std::ptrdiff_t>(row) * pitch_ + col * bpp_] >= 128;
  }

 private:
  Span span_;
  const std::uint8_t* alpha_ = nullptr;  // none: solid everywhere
  int bpp_ = 0, pitch_ = 0, last_col_ = 0, last_row_ = 0;
  float width_ = 0.0f, height_ = 0.0f;
};

bool boxes_apart(const Quad& p, const Quad& q) {
  return p.maxx < q.minx || p.maxy < q.miny || p.minx > q.maxx || p.miny > q.maxy;
}

bool quads_collide(const Quad& p, const Quad& q) {
  if (boxes_apart(p, q)) return false;
  const int first = std::max(trunc_int(p.miny), trunc_int(q.miny));
  const int last = std::min(trunc_int(p.maxy), trunc_int(q.maxy));
  Sides p_sides = sides_of(p), q_sides = sides_of(q);
  for (int y = first; y < last; ++y) {
    const Crossing* pl = p_sides.left.at(y);
    const Crossing* pr = p_sides.right.at(y);
    const Crossing* ql = q_sides.left.at(y);
    const Crossing* qr = q_sides.right.at(y);
    if (!pl || !pr || !ql || !qr) continue;
    const Span ps = span_between(*pl, *pr);
    const Span qs = span_between(*ql, *qr);
    const int from = std::max(ps.start, qs.start);
    const int to = std::min(ps.end, qs.end);
    if (from >= to) continue;
    const SpanSampler in_p(p, ps), in_q(q, qs);
    for (int px = from; px < to; ++px)
      if (in_p.solid(px) && in_q.solid(px)) return true;
  }
  return false;
}

bool valid_frame(const Image& image, int frame) {
  return image && frame >= 0 && frame < static_cast<int>(image->pixmaps.size()) &&
         image->pixmaps[frame].width > 0 && image->pixmaps[frame].height > 0;
}

}  // namespace

int ImagesCollide(const Image& image1, int x1, int y1, int frame1, const Image& image2, int x2,
                  int y2, int frame2) {
  if (!valid_frame(image1, frame1) || !valid_frame(image2, frame2)) return 0;
  const Quad p = build_quad(*image1, frame1, x1, y1);
  const Quad q = build_quad(*image2, frame2, x2, y2);
  return quads_collide(p, q) ? 1 : 0;
}

}  // namespace media
