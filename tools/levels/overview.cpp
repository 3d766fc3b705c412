#include "overview.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "level/cell_codes.h"
#include "level/records.h"
#include "level_world.h"
#include "media/display.h"
#include "media/image.h"
#include "media/text.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace levels {

namespace {

constexpr int max_side = 8192;  // the largest display the headless back end opens
constexpr int ruler_width = 44;
constexpr int title_height = 30;
constexpr int ruler_height = 22;
constexpr int right_margin = 12;
constexpr int legend_line = 20;
constexpr int min_width = 760;

struct Colour {
  int r, g, b;
};
constexpr Colour sky{150, 200, 235};
constexpr Colour paper{40, 46, 56};
constexpr Colour ink{235, 238, 242};
constexpr Colour death_red{235, 40, 40};
constexpr Colour exit_green{30, 210, 70};
constexpr Colour start_yellow{255, 220, 0};
constexpr Colour bottom_blue{30, 60, 230};
constexpr Colour fall_orange{255, 140, 0};
constexpr Colour unknown_purple{170, 40, 200};
constexpr float mark_alpha = 0.7f;  // the picture under a mark still shows

// Cells, inclusive.
struct Extent {
  int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
  int columns() const { return c1 - c0 + 1; }
  int rows() const { return r1 - r0 + 1; }
};

struct Layout {
  Extent cells;
  int shrink = 4;
  int width = 0, height = 0;
  int world_width() const { return cells.columns() * cell_size / shrink; }
  int world_height() const { return cells.rows() * cell_size / shrink; }
  float x(float world_x) const {
    return static_cast<float>(ruler_width) +
           (world_x - static_cast<float>(cells.c0 * cell_size)) / static_cast<float>(shrink);
  }
  float y(float world_y) const {
    return static_cast<float>(title_height + ruler_height) +
           (world_y - static_cast<float>(cells.r0 * cell_size)) / static_cast<float>(shrink);
  }
  float cell_side() const { return static_cast<float>(cell_size) / static_cast<float>(shrink); }
};

struct LegendItem {
  Colour colour;
  const char* text;
};
const LegendItem legend_items[] = {
    {death_red, "death zone (X): touching it costs a life"},
    {exit_green, "level exit (E)"},
    {start_yellow, "hero start (@); the hero is drawn where the game puts him"},
    {bottom_blue, "bottom line (_): the camera shows nothing below it"},
    {fall_orange, "a hero whose top falls below this line loses a life"},
    {unknown_purple, "a code that builds nothing"},
};
constexpr int legend_count = sizeof legend_items / sizeof legend_items[0];

void set_colour(Colour c, float alpha = 1.0f) {
  media::SetColor(c.r, c.g, c.b);
  media::SetAlpha(alpha);
}

void reset_colour() {
  media::SetColor(255, 255, 255);
  media::SetAlpha(1.0f);
}

bool has_meaning(std::int32_t code) {
  const auto& entries = legend();
  return std::any_of(entries.begin(), entries.end(),
                     [&](const LegendEntry& e) { return e.code == code; });
}

// The cells that hold something, the hero and the fall line, with room on the right and below
// for pictures that reach beyond their cell (trees, the large saw).
Extent used_cells(const Grid& grid, const TGame& game) {
  Extent e{columns, rows, -1, -1};
  auto include = [&](int c, int r) {
    e.c0 = std::min(e.c0, c);
    e.r0 = std::min(e.r0, r);
    e.c1 = std::max(e.c1, c);
    e.r1 = std::max(e.r1, r);
  };
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      if (grid.at(c, r) != cell::empty) include(c, r);
    }
  }
  include(static_cast<int>(game._player->_x) / cell_size,
          static_cast<int>(game._player->_y) / cell_size);
  include(e.c0, std::min(rows - 1, static_cast<int>(fall_line(game)) / cell_size));
  return {std::max(0, e.c0 - 1), std::max(0, e.r0 - 1), std::min(columns - 1, e.c1 + 3),
          std::min(rows - 1, e.r1 + 4)};
}

Layout lay_out(const Extent& cells, int shrink) {
  Layout l{cells, shrink};
  l.width = std::max(ruler_width + l.world_width() + right_margin, min_width);
  l.height = title_height + ruler_height + l.world_height() + legend_line * (legend_count + 1);
  if (l.width > max_side || l.height > max_side) {
    throw std::runtime_error("the overview would be " + std::to_string(l.width) + " x " +
                             std::to_string(l.height) + " pixels; shrink it more");
  }
  return l;
}

void draw_picture(const Layout& l, const media::Image& image, float world_x, float world_y) {
  media::DrawImage(image, l.x(world_x), l.y(world_y));
}

// Every record where play draws it: walls, decorations, coins, hedgehogs, saws, flowers, hero.
void draw_world(const Layout& l, TGame& game) {
  const MediaCatalogue& c = catalogue();
  const float scale = 1.0f / static_cast<float>(l.shrink);
  media::SetScale(scale, scale);
  game.each_wall([&](TWall& w) { draw_picture(l, w._image, w._x, w._y); });
  game.each_object<TObj>([&](TObj& o) { draw_picture(l, o._image, o._x, o._y); });
  game.each_object<TBonus>([&](TBonus& b) { draw_picture(l, c.coin_images[0], b._x, b._y); });
  game.each_object<THedgehog>(
      [&](THedgehog& h) { draw_picture(l, c.hedgehog_right_images[0], h._x, h._y + 19.0f); });
  game.each_object<TSaw>([&](TSaw& s) {
    const float centre = s._size == 0 ? 64.0f : 32.0f;
    draw_picture(l, c.saw_images[s._size == 0 ? 0 : 1], s._x + centre, s._y + centre);
  });
  game.each_object<TFlower>([&](TFlower& f) { draw_picture(l, c.flower_images[0], f._x, f._y); });
  draw_picture(l, c.hero_stay_right_images[0], game._player->_x, game._player->_y + 2.0f);
  media::SetScale(1.0f, 1.0f);
}

void fill_cell(const Layout& l, int column, int row) {
  media::DrawRect(l.x(static_cast<float>(column * cell_size)),
                  l.y(static_cast<float>(row * cell_size)), l.cell_side(), l.cell_side());
}

void frame_cell(const Layout& l, int column, int row) {
  const float x = l.x(static_cast<float>(column * cell_size));
  const float y = l.y(static_cast<float>(row * cell_size));
  const float side = l.cell_side(), t = std::max(1.0f, side / 8.0f);
  media::DrawRect(x, y, side, t);
  media::DrawRect(x, y + side - t, side, t);
  media::DrawRect(x, y, t, side);
  media::DrawRect(x + side - t, y, t, side);
}

void horizontal_line(const Layout& l, float world_y) {
  media::DrawRect(static_cast<float>(ruler_width), l.y(world_y) - 1.0f,
                  static_cast<float>(l.world_width()), 2.0f);
}

// What play never shows: triggers, the hero's start, the bottom line, codes without a meaning.
void draw_marks(const Layout& l, const Grid& grid, const TGame& game) {
  bool has_bottom_line = false;
  for (int c = l.cells.c0; c <= l.cells.c1; ++c) {
    for (int r = l.cells.r0; r <= l.cells.r1; ++r) {
      const std::int32_t code = grid.at(c, r);
      if (code == cell::empty) continue;
      if (code == cell::death_zone) {
        set_colour(death_red, mark_alpha);
        fill_cell(l, c, r);
      } else if (code == cell::level_exit) {
        set_colour(exit_green, mark_alpha);
        fill_cell(l, c, r);
      } else if (code == cell::hero_start) {
        set_colour(start_yellow);
        frame_cell(l, c, r);
      } else if (code == cell::bottom_line) {
        has_bottom_line = true;
        set_colour(bottom_blue, mark_alpha);
        fill_cell(l, c, r);
      } else if (!has_meaning(code)) {
        set_colour(unknown_purple, mark_alpha);
        fill_cell(l, c, r);
      }
    }
  }
  if (has_bottom_line) {
    set_colour(bottom_blue);
    horizontal_line(l, game._max_y);
  }
  set_colour(fall_orange);
  horizontal_line(l, fall_line(game));
  reset_colour();
}

// Cell numbers every ten cells along the top and the left, with faint lines across the world.
void draw_rulers(const Layout& l) {
  for (int c = (l.cells.c0 + 9) / 10 * 10; c <= l.cells.c1; c += 10) {
    const float x = l.x(static_cast<float>(c * cell_size));
    set_colour(paper, 0.25f);
    media::DrawRect(x, static_cast<float>(title_height + ruler_height), 1.0f,
                    static_cast<float>(l.world_height()));
    set_colour(ink);
    media::DrawText(std::to_string(c), x + 2.0f, static_cast<float>(title_height + 2));
  }
  for (int r = (l.cells.r0 + 9) / 10 * 10; r <= l.cells.r1; r += 10) {
    const float y = l.y(static_cast<float>(r * cell_size));
    set_colour(paper, 0.25f);
    media::DrawRect(static_cast<float>(ruler_width), y, static_cast<float>(l.world_width()), 1.0f);
    set_colour(ink);
    media::DrawText(std::to_string(r), 4.0f, y + 2.0f);
  }
  reset_colour();
}

// The title, the margins (over any picture that reaches out of the world) and the legend.
void draw_frame(const Layout& l, const std::string& title) {
  const float world_bottom = static_cast<float>(title_height + ruler_height + l.world_height());
  const float world_right = static_cast<float>(ruler_width + l.world_width());
  set_colour(paper);
  media::DrawRect(0, 0, static_cast<float>(l.width), title_height + ruler_height);
  media::DrawRect(0, 0, ruler_width, static_cast<float>(l.height));
  media::DrawRect(world_right, 0, static_cast<float>(l.width) - world_right,
                  static_cast<float>(l.height));
  media::DrawRect(0, world_bottom, static_cast<float>(l.width),
                  static_cast<float>(l.height) - world_bottom);
  set_colour(ink);
  media::DrawText(title + "    columns " + std::to_string(l.cells.c0) + "-" +
                      std::to_string(l.cells.c1) + ", rows " + std::to_string(l.cells.r0) + "-" +
                      std::to_string(l.cells.r1) + ", 1/" + std::to_string(l.shrink),
                  8.0f, 7.0f);
  float y = world_bottom + legend_line / 2.0f;
  for (const LegendItem& item : legend_items) {
    set_colour(item.colour);
    media::DrawRect(12.0f, y + 3.0f, 24.0f, 12.0f);
    set_colour(ink);
    media::DrawText(item.text, 44.0f, y);
    y += legend_line;
  }
  reset_colour();
}

}  // namespace

OverviewSize draw_overview(const Grid& grid, const std::string& title, int shrink,
                           const media::Font& font) {
  if (shrink < 1 || shrink > 16)
    throw std::runtime_error("the shrink is a whole number from 1 to 16");
  std::unique_ptr<TGame> game = built_world(grid);
  const Layout l = lay_out(used_cells(grid, *game), shrink);
  media::Graphics(l.width, l.height, 32, 60, 0);
  media::SetBlend(3);
  media::SetImageFont(font);
  set_colour(sky);
  media::DrawRect(0, 0, static_cast<float>(l.width), static_cast<float>(l.height));
  reset_colour();
  draw_world(l, *game);
  draw_marks(l, grid, *game);
  draw_frame(l, title);
  draw_rulers(l);
  media::Flip(0);
  return {l.width, l.height};
}

}  // namespace levels
