#include <png.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "media/detail/display_internal.h"
#include "media/display.h"
#include "media/input.h"
#include "media/system.h"
#include "support/headless_test.h"

using namespace media;

namespace {

constexpr std::uint32_t black = 0xFF000000u;
constexpr std::uint32_t white = 0xFFFFFFFFu;

std::uint32_t rgb(int r, int g, int b) {
  return black | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

// A w x h RGBA picture filled with one colour.
TPixmap solid_pixmap(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  TPixmap p(w, h, PixelFormat::rgba8);
  for (std::size_t i = 0; i < p.pixels.size(); i += 4) {
    p.pixels[i] = r;
    p.pixels[i + 1] = g;
    p.pixels[i + 2] = b;
    p.pixels[i + 3] = a;
  }
  return p;
}

// A PNG file's size and its pixels as RGB bytes (none if it cannot be read).
struct RgbPicture {
  unsigned width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};
RgbPicture read_png_rgb(const char* path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  return {image.width, image.height, std::move(pixels)};
}

class Display : public HeadlessTest {
 protected:
  void SetUp() override { Graphics(1024, 768, 32, 60, 0); }

  // The back-buffer pixels of `colour` inside the box, counted.
  int count_back(std::uint32_t colour, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += hb.back_buffer_pixel(x, y) == colour;
    return n;
  }

  // The box of back-buffer pixels that are not black: {left, top, right, bottom}, exclusive.
  std::array<int, 4> lit_box() const {
    std::array<int, 4> box{1024, 768, -1, -1};
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x)
        if (hb.back_buffer_pixel(x, y) != black) {
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                 std::max(box[3], y + 1)};
        }
    return box;
  }
};

}  // namespace

TEST_F(Display, DefaultsRightAfterGraphicsFillTheScreenInOpaqueWhite) {
  const TDrawState& s = draw_state();
  EXPECT_EQ(s.blend_mode, 1);
  EXPECT_EQ(s.viewport_w, 1024);
  EXPECT_EQ(s.viewport_h, 768);
  EXPECT_EQ(s.g_width, 1024);
  EXPECT_EQ(s.vres_height, 768.0f);
  Matrix2 m = collision_matrix();
  EXPECT_EQ(m.ix, 1.0f);
  EXPECT_EQ(m.iy, 0.0f);
  EXPECT_EQ(m.jx, 0.0f);
  EXPECT_EQ(m.jy, 1.0f);

  DrawRect(0, 0, 1024, 768);
  EXPECT_EQ(count_back(white, 0, 0, 1024, 768), 1024 * 768);
  EXPECT_EQ(hb.draws_since_present().back().argb, white);
  EXPECT_EQ(hb.draws_since_present().back().blend, 1);
}

TEST_F(Display, GraphicsStartsFromAFreshDrawStateAndClearsBothBuffersTwice) {
  SetColor(10, 20, 30);
  SetRotation(45);
  SetBlend(4);
  DrawRect(0, 0, 1024, 768);
  Flip(0);
  int presented = hb.frames_presented();

  Graphics(1024, 768, 32, 60, 0);
  EXPECT_EQ(hb.frames_presented(), presented + 2);
  EXPECT_EQ(hb.pixel(500, 400), black);
  EXPECT_EQ(hb.back_buffer_pixel(500, 400), black);
  EXPECT_EQ(draw_state().color_red, 255);
  EXPECT_EQ(draw_state().tform_rot, 0.0f);
  EXPECT_EQ(draw_state().blend_mode, 1);
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(hb.draws_since_present().back().argb, white);
  EXPECT_EQ(hb.draws_since_present().back().blend, 1);
}

TEST_F(Display, ThePointerStartsInTheMiddleOfANewDisplay) {
  EXPECT_EQ(MouseX(), 512);
  EXPECT_EQ(MouseY(), 384);
}

TEST_F(Display, EachNewDisplaysPointerGoesOutAheadOfWaitingEventsAndInTurn) {
  Graphics(800, 600, 32, 60, 0);
  Graphics(640, 480, 32, 60, 0);
  EXPECT_EQ(MouseX(), 320);
  EXPECT_EQ(MouseY(), 240);

  hb.inject_at_time(MilliSecs(), {InputEvent::Type::mouse_move, 0, 7, 9});
  Graphics(1024, 768, 32, 60, 0);
  EXPECT_EQ(MouseX(), 7);
  EXPECT_EQ(MouseY(), 9);
}

TEST_F(Display, ANewDisplayForgetsKeysAndButtonsPressedBeforeIt) {
  hb.inject_at_time(MilliSecs(), {InputEvent::Type::key_down, 32});
  hb.inject_at_time(MilliSecs(), {InputEvent::Type::mouse_down, 1});
  ASSERT_EQ(KeyDown(32), 1);

  Graphics(1024, 768, 32, 60, 0);
  EXPECT_EQ(KeyDown(32), 0);
  EXPECT_EQ(KeyHit(32), 0);
  EXPECT_EQ(MouseDown(1), 0);
}

TEST_F(Display, ColourAndAlphaAreClampedNotWrapped) {
  SetColor(300, -5, 128);
  SetAlpha(1.5f);
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(hb.draws_since_present().back().argb, 0xFFFF0080u);
  SetAlpha(-1.0f);
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(hb.draws_since_present().back().argb, 0x00FF0080u);
  SetAlpha(0.5f);  // trunc(127.5)
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(hb.draws_since_present().back().argb >> 24, 127u);
}

TEST_F(Display, ShapesAndPicturesWhollyOffTheBackBufferAreNotDrawn) {
  TPixmap p = solid_pixmap(16, 16, 10, 20, 30, 255);
  TextureSlot slot;
  // A pixel or more beyond each edge: the back end hears nothing, and no texture is made.
  detail::draw_textured_quad(p, slot, 0, 0, 0, 16, 16, -17.5f, 300);
  detail::draw_textured_quad(p, slot, 0, 0, 0, 16, 16, 1025, 300);
  detail::draw_textured_quad(p, slot, 0, 0, 0, 16, 16, 500, -17);
  detail::draw_textured_quad(p, slot, 0, 0, 0, 16, 16, 500, 769.25f);
  DrawRect(-3000, -3000, 100, 100);
  DrawOval(1100, 200, 50, 30);
  EXPECT_TRUE(hb.draws_since_present().empty());
  EXPECT_FALSE(slot.texture);

  // Reaching in by a fraction of a pixel, or turned so that it crosses the buffer with every
  // corner outside it, they are drawn.
  detail::draw_textured_quad(p, slot, 0, 0, 0, 16, 16, -15.4f, 300);
  DrawRect(1023.4f, 700, 50, 50);
  SetRotation(45);
  DrawRect(-300, -300, 2000, 4);
  EXPECT_EQ(hb.draws_since_present().size(), 3u);
  EXPECT_EQ(hb.back_buffer_pixel(0, 305), rgb(10, 20, 30));
  EXPECT_EQ(hb.back_buffer_pixel(1023, 720), white);
  EXPECT_EQ(hb.back_buffer_pixel(400, 402), white);
}

TEST_F(Display, RotationTurnsClockwiseAroundTheHandlePoint) {
  SetRotation(90);
  DrawRect(100, 100, 10, 20);
  EXPECT_EQ(lit_box(), (std::array<int, 4>{80, 100, 100, 110}));
  EXPECT_EQ(count_back(white, 80, 100, 100, 110), 200);
  Matrix2 m = collision_matrix();
  EXPECT_EQ(m.iy, -1.0f);
  EXPECT_EQ(m.jx, 1.0f);
  EXPECT_NEAR(m.ix, 0.0f, 1e-7f);
}

TEST_F(Display, NegativeScaleMirrorsAroundTheHandlePoint) {
  SetScale(-1, 1);
  DrawRect(100, 100, 10, 20);
  EXPECT_EQ(lit_box(), (std::array<int, 4>{90, 100, 100, 120}));
  Cls();
  SetScale(2, 0.5f);
  DrawRect(100, 100, 10, 20);
  EXPECT_EQ(lit_box(), (std::array<int, 4>{100, 100, 120, 110}));
}

TEST_F(Display, OvalSegmentCountFollowsItsSize) {
  auto segments = [&](float w, float h) {
    DrawOval(100, 100, w, h);
    return hb.draws_since_present().back().vertices.size();
  };
  EXPECT_EQ(segments(10, 10), 12u);
  EXPECT_EQ(segments(100, 100), 100u);
  EXPECT_EQ(segments(50, 27), 36u);
  EXPECT_EQ(segments(-50, 27), 36u);
  // Nonsense sizes stay bounded rather than asking for billions of points.
  EXPECT_LE(segments(1e30f, 1e30f), 65536u);
  EXPECT_EQ(segments(NAN, 5), 12u);
}

TEST_F(Display, OvalPointsLieOnTheirAnglesExactlyWhateverSizeWasDrawnBefore) {
  struct Oval {
    float x, y, w, h;
  };
  // 12, 36, 12 and 100 points; the unequal halves and the fractions show a swapped or rounded
  // term.
  const Oval ovals[] = {{100.25f, 50.5f, 10, 7.5f},
                        {300.75f, 200.125f, 50, 27.25f},
                        {600.5f, 20.25f, 9.5f, 11},
                        {10.125f, 400.75f, 100.5f, 99.75f}};
  for (const Oval& o : ovals) {
    SCOPED_TRACE(o.w);
    DrawOval(o.x, o.y, o.w, o.h);
    const std::vector<Vertex>& v = hb.draws_since_present().back().vertices;
    const int n = static_cast<int>(v.size());
    const float rx = o.w * 0.5f, ry = o.h * 0.5f;
    for (int i = 0; i < n; ++i) {
      const double theta = -i * 360.0 / n * std::numbers::pi / 180.0;
      EXPECT_EQ(v[i].x, static_cast<float>(rx + std::cos(theta) * rx) + o.x) << i;
      EXPECT_EQ(v[i].y, static_cast<float>(ry - std::sin(theta) * ry) + o.y) << i;
    }
  }
}

TEST_F(Display, OvalStartsAtTheRightAndGoesClockwise) {
  DrawOval(100, 100, 40, 20);
  const auto& v = hb.draws_since_present().back().vertices;
  EXPECT_FLOAT_EQ(v[0].x, 140);
  EXPECT_FLOAT_EQ(v[0].y, 110);
  EXPECT_GT(v[1].y, v[0].y);  // the next point is below: clockwise on screen
  EXPECT_EQ(hb.back_buffer_pixel(120, 110), white);
  EXPECT_EQ(hb.back_buffer_pixel(101, 101), black);  // outside the ellipse, inside its box
}

TEST_F(Display, EachBlendModeHasItsArithmetic) {
  struct Case {
    int mode;
    float alpha;
    std::uint32_t expected;
  };
  // Over a back buffer of (100, 150, 200), drawing (200, 100, 50).
  const Case cases[] = {
      {1, 0.51f, rgb(200, 100, 50)},  // alpha 130 passes the test at 128
      {1, 0.5f, rgb(100, 150, 200)},  // alpha 127 does not
      {2, 0.2f, rgb(200, 100, 50)},   // alpha ignored
      {3, 0.6f, rgb(160, 120, 110)},  // src * a + dst * (1 - a)
      {4, 0.6f, rgb(220, 210, 230)},  // dst + src * a, saturated
      {5, 0.1f, rgb(78, 59, 39)},     // dst * src
  };
  for (const Case& c : cases) {
    SetBlend(2);
    SetAlpha(1);
    SetColor(100, 150, 200);
    DrawRect(0, 0, 4, 4);
    SetBlend(c.mode);
    SetAlpha(c.alpha);
    SetColor(200, 100, 50);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(hb.back_buffer_pixel(1, 1), c.expected) << "mode " << c.mode;
  }
}

TEST_F(Display, AnUnknownBlendModeIsStoredButTheBlendingStays) {
  SetBlend(4);
  SetBlend(9);
  EXPECT_EQ(draw_state().blend_mode, 9);
  SetColor(10, 10, 10);
  DrawRect(0, 0, 2, 2);
  DrawRect(0, 0, 2, 2);
  EXPECT_EQ(hb.draws_since_present().back().blend, 4);
  EXPECT_EQ(hb.back_buffer_pixel(0, 0), rgb(20, 20, 20));
}

TEST_F(Display, ShapesMeetingOnAnEdgeCoverEachPixelOnce) {
  SetBlend(4);
  SetColor(100, 100, 100);
  // Two rectangles sharing the edge x = 10.5, a quad's own diagonal, and a fan's inner edges.
  DrawRect(0.25f, 0.75f, 10.25f, 10.5f);
  DrawRect(10.5f, 0.75f, 10.0f, 10.5f);
  DrawOval(30.3f, 0.1f, 40.0f, 30.0f);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) {
      std::uint32_t p = hb.back_buffer_pixel(x, y);
      ASSERT_TRUE(p == black || p == rgb(100, 100, 100)) << x << "," << y;
    }
  EXPECT_EQ(hb.back_buffer_pixel(10, 5), rgb(100, 100, 100));  // centre 10.5 lies on the edge
  EXPECT_EQ(count_back(rgb(100, 100, 100), 0, 0, 30, 20), 20 * 10);
}

TEST_F(Display, ATurnedGridOfCellsCoversExactlyWhatOneQuadOverItCovers) {
  // Corners on whole pixels along slopes of 1/3, so many pixel centres lie exactly on edges.
  auto corner = [](int i, int j) {
    return Vertex{200.0f + 24 * i - 8 * j, 100.0f + 8 * i + 24 * j, 0, 0};
  };
  DrawParams add{nullptr, 0xFF646464u, 4};
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j) {
      Vertex cell[4] = {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)};
      hb.draw(cell, 4, Topology::quad, add);
    }
  std::vector<std::uint32_t> cells;
  for (int y = 90; y < 300; ++y)
    for (int x = 140; x < 360; ++x) cells.push_back(hb.back_buffer_pixel(x, y));

  Cls();
  Vertex whole[4] = {corner(0, 0), corner(6, 0), corner(6, 6), corner(0, 6)};
  hb.draw(whole, 4, Topology::quad, add);
  std::size_t k = 0;
  for (int y = 90; y < 300; ++y)
    for (int x = 140; x < 360; ++x)
      ASSERT_EQ(cells[k++], hb.back_buffer_pixel(x, y)) << x << "," << y;
  EXPECT_NEAR(count_back(rgb(100, 100, 100), 140, 90, 360, 300), 144 * 144 + 48 * 48, 200);
}

TEST_F(Display, PicturesAreModulatedAndSampledNearestOrFiltered) {
  TPixmap two = solid_pixmap(2, 1, 0, 0, 0, 255);
  two.pixels[4] = two.pixels[5] = two.pixels[6] = 200;  // black | light grey
  TextureSlot slot;

  SetColor(255, 128, 255);
  detail::draw_textured_quad(two, slot, 0, 0, 0, 8, 2, 0, 0);
  EXPECT_EQ(hb.back_buffer_pixel(3, 0), black);
  EXPECT_EQ(hb.back_buffer_pixel(4, 0), rgb(200, 100, 200));
  EXPECT_EQ(hb.draws_since_present().back().pixmap, &two);

  TextureSlot filtered;
  SetColor(255, 255, 255);
  detail::draw_textured_quad(two, filtered, 2, 0, 10, 8, 12, 0, 0);
  std::uint32_t middle = hb.back_buffer_pixel(3, 10) & 0xFF;
  EXPECT_GT(middle, 0u);
  EXPECT_LT(middle, 200u);
  EXPECT_EQ(hb.back_buffer_pixel(0, 10), black);  // the edge repeats, nothing wraps round
}

TEST_F(Display, MaskModeTestsThePicturesOwnAlpha) {
  TPixmap p = solid_pixmap(2, 1, 255, 0, 0, 255);
  p.pixels[7] = 100;  // the right texel is mostly transparent
  TextureSlot slot;
  detail::draw_textured_quad(p, slot, 0, 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(hb.back_buffer_pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(hb.back_buffer_pixel(1, 0), black);
}

TEST_F(Display, TexturesAreMadeAgainForEachNewDisplay) {
  TPixmap p = solid_pixmap(1, 1, 1, 2, 3, 255);
  TextureSlot slot;
  detail::draw_textured_quad(p, slot, 0, 0, 0, 1, 1, 0, 0);
  const Texture* first = slot.texture.get();
  int first_seq = slot.seq;
  detail::draw_textured_quad(p, slot, 0, 0, 0, 1, 1, 0, 0);
  EXPECT_EQ(slot.texture.get(), first);

  Graphics(1024, 768, 32, 60, 0);
  detail::draw_textured_quad(p, slot, 0, 0, 0, 1, 1, 0, 0);
  EXPECT_NE(slot.seq, first_seq);
  EXPECT_EQ(slot.seq, hb.display_generation());
}

TEST_F(Display, TheBackBufferKeepsItsPictureAcrossFlip) {
  DrawRect(10, 10, 5, 5);
  Flip(0);
  EXPECT_EQ(hb.pixel(12, 12), white);
  EXPECT_EQ(hb.back_buffer_pixel(12, 12), white);
  EXPECT_EQ(hb.draws_of_last_frame().size(), 1u);
  EXPECT_TRUE(hb.draws_since_present().empty());
  Cls();
  EXPECT_EQ(hb.back_buffer_pixel(12, 12), black);
  EXPECT_EQ(hb.pixel(12, 12), white);
}

TEST_F(Display, FullScreenFlipWaitsForEachVerticalBlank) {
  std::int32_t start = MilliSecs();
  Flip(0);
  EXPECT_EQ(MilliSecs(), start);
  Flip(-1);
  EXPECT_EQ(MilliSecs(), 16);
  Flip(-1);
  EXPECT_EQ(MilliSecs(), 33);
  for (int i = 2; i < 60; ++i) Flip(-1);
  EXPECT_EQ(MilliSecs(), 1000);
  Delay(5);
  Flip(1);  // any other sync value waits too
  EXPECT_EQ(MilliSecs(), 1016);
}

TEST_F(Display, WindowedFlipSpreadsTheOddMillisecondsOverTheSecond) {
  hb.set_clock(5000);
  Graphics(1024, 768, 0, 60, 0);
  std::int32_t start = MilliSecs();
  for (int i = 0; i < 60; ++i) Flip(-1);
  EXPECT_EQ(MilliSecs() - start, 1000);

  // A late frame is not made up: the schedule starts again from now.
  Delay(100);
  std::int32_t late = MilliSecs();
  Flip(-1);
  EXPECT_EQ(MilliSecs(), late);
  Flip(-1);
  EXPECT_EQ(MilliSecs(), late + 17);  // 16, and one of the spread milliseconds
}

TEST_F(Display, WindowedWithoutARatePresentsAtOnce) {
  Graphics(1024, 768, 0, 0, 0);
  for (int i = 0; i < 10; ++i) Flip(-1);
  EXPECT_EQ(MilliSecs(), 0);
}

TEST_F(Display, TimerTicksEvery16MsAndFoldsMissedTicks) {
  Timer t = CreateTimer(60);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->period_ms, 16);
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 16);
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 32);
  Delay(50);  // a slow frame
  EXPECT_EQ(WaitTimer(t), 3);
  EXPECT_EQ(MilliSecs(), 82);
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 96);
}

TEST_F(Display, WaitTimerTakesInEventsWhileWaiting) {
  Timer t = CreateTimer(60);
  hb.inject_at_time(5, {InputEvent::Type::key_down, 65});
  hb.inject_at_time(40, {InputEvent::Type::key_down, 66});
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 16);
  EXPECT_EQ(hb.pending_events(), 1u);
  Delay(30);  // the second is due, though the tick came already
  WaitTimer(t);
  EXPECT_EQ(hb.pending_events(), 0u);
}

TEST_F(Display, WhileTheWindowIsAwayWaitTimerHoldsAndTheGameClockLeavesTheTimeOut) {
  Timer t = CreateTimer(60);
  EXPECT_EQ(WaitTimer(t), 1);
  hb.inject_at_time(21, {InputEvent::Type::focus_lost});
  hb.inject_at_time(4000, {InputEvent::Type::mouse_move, 0, 7, 9});  // taken in meanwhile
  hb.inject_at_time(7000, {InputEvent::Type::focus_gained});
  EXPECT_EQ(WaitTimer(t), 1) << "the ticks of the time away are not made up";
  EXPECT_EQ(hb.millisecs(), 7000 + (32 - 21)) << "on to the next tick after the return";
  EXPECT_EQ(MilliSecs(), 32) << "the game's clock stood still from 21 ms on";
  EXPECT_EQ(MouseX(), 7);
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 48);

  // Away while the loop is elsewhere (a screen waiting for a key): the hold comes at the next
  // wait for the timer.
  hb.inject_at_time(7030, {InputEvent::Type::focus_lost});
  Delay(10);
  EXPECT_EQ(KeyDown(65), 0);
  hb.inject_at_time(9000, {InputEvent::Type::focus_gained});
  EXPECT_EQ(WaitTimer(t), 1);
  EXPECT_EQ(MilliSecs(), 64);
  EXPECT_EQ(hb.millisecs(), 9000 + 64 - 58);
}

TEST_F(Display, ACloseRequestWhileAwayEndsTheProgram) {
  Timer t = CreateTimer(60);
  hb.inject_at_time(5, {InputEvent::Type::focus_lost});
  hb.inject_at_time(60000, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([&] { WaitTimer(t); }), 0);
  EXPECT_EQ(hb.millisecs(), 60000);
}

TEST_F(Display, TheFrameHookSeesEachFrameOnceInOrderUntilItRemovesItself) {
  std::vector<int> seen;
  hb.set_frame_hook([&](int frame) {
    seen.push_back(frame);
    if (frame == 5) hb.set_frame_hook({});
  });
  for (int i = 0; i < 5; ++i) Flip(-1);
  EXPECT_EQ(seen, (std::vector<int>{3, 4, 5}));  // Graphics presented frames 1 and 2
}

TEST_F(Display, APresentInsideTheFrameHookDoesNotCallItAgain) {
  std::vector<int> seen;
  hb.set_frame_hook([&](int frame) {
    seen.push_back(frame);
    if (frame == 3) Flip(0);
  });
  Flip(-1);
  Flip(-1);
  EXPECT_EQ(seen, (std::vector<int>{3, 5}));
}

TEST_F(Display, EventsTheFrameHookInjectsForItsFrameReachTheGameAtTheNextPoll) {
  constexpr int right = 39;
  hb.set_frame_hook([&](int frame) {
    if (frame == 3) hb.inject_at_frame(frame, {InputEvent::Type::key_down, right});
    if (frame == 4) hb.inject_at_time(hb.millisecs(), {InputEvent::Type::key_up, right});
  });
  Timer timer = CreateTimer(60);
  EXPECT_EQ(KeyDown(right), 0);
  WaitTimer(timer);
  Flip(-1);
  EXPECT_EQ(KeyDown(right), 1);
  WaitTimer(timer);
  Flip(-1);
  EXPECT_EQ(KeyDown(right), 0);
}

TEST_F(Display, WhatTheFrameHookThrowsComesOutOfFlipWithTheFrameShown) {
  struct Stop {};
  int calls = 0;
  hb.set_frame_hook([&](int frame) {
    ++calls;
    if (frame == 3) throw Stop{};
  });
  SetColor(200, 0, 0);
  DrawRect(0, 0, 8, 8);
  EXPECT_THROW(Flip(-1), Stop);
  EXPECT_EQ(hb.frames_presented(), 3);
  EXPECT_EQ(MilliSecs(), 16);
  EXPECT_EQ(hb.pixel(4, 4), rgb(200, 0, 0));
  EXPECT_EQ(hb.draws_of_last_frame().size(), 1u);
  EXPECT_TRUE(hb.draws_since_present().empty());

  Flip(-1);  // the hook stays
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(MilliSecs(), 33);
}

TEST_F(Display, TimerOfNoRateIsNone) {
  EXPECT_FALSE(CreateTimer(0));
  EXPECT_FALSE(CreateTimer(-3));
  EXPECT_EQ(WaitTimer(nullptr), 0);
  EXPECT_EQ(CreateTimer(5000)->period_ms, 1);
}

TEST_F(HeadlessTest, ADisplayThatCannotBeOpenedStopsWithAMessage) {
  try {
    Graphics(0, 768, 32, 60, 0);
    FAIL() << "Graphics returned";
  } catch (const FatalError& e) {
    EXPECT_NE(std::string(e.what()).find("0 x 768"), std::string::npos) << e.what();
  }
}

TEST_F(HeadlessTest, WaitingWithNothingLeftToInjectSaysSo) {
  hb.inject_at_frame(3, {InputEvent::Type::key_down, 27});
  try {
    hb.wait_events();
    FAIL() << "wait_events returned";
  } catch (const InputStarved& e) {
    EXPECT_NE(std::string(e.what()).find("no scripted event"), std::string::npos) << e.what();
  }
  hb.present(false);
  hb.present(false);
  hb.present(false);
  hb.wait_events();
  EXPECT_EQ(hb.pending_events(), 0u);
}

TEST_F(HeadlessTest, WaitingForEventsJumpsTheClockNoFurtherThanNeeded) {
  hb.inject_at_time(300, {InputEvent::Type::key_down, 65});
  EXPECT_FALSE(hb.wait_events_until(100));
  EXPECT_EQ(hb.millisecs(), 100);
  EXPECT_TRUE(hb.wait_events_until(1000));
  EXPECT_EQ(hb.millisecs(), 300);
  hb.inject_at_time(450, {InputEvent::Type::key_down, 65});
  hb.wait_events();
  EXPECT_EQ(hb.millisecs(), 450);
}

TEST_F(HeadlessTest, ScreenshotsAreReadablePngs) {
  Graphics(1024, 768, 32, 60, 0);
  SetColor(255, 0, 0);
  DrawRect(0, 0, 1, 1);
  Flip(0);
  ASSERT_TRUE(hb.save_png("shot.png"));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, "shot.png"));
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(image.width, 1024u);
  EXPECT_EQ(image.height, 768u);
  EXPECT_EQ(pixels[0], 255);
  EXPECT_EQ(pixels[1], 0);
  EXPECT_EQ(pixels[4], 0);  // the next pixel is black
  EXPECT_FALSE(hb.save_png("no/such/folder/shot.png"));
}

TEST_F(HeadlessTest, RasterisingOffKeepsTheDrawLogOnly) {
  Graphics(1024, 768, 32, 60, 0);
  hb.set_rasterise(false);
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(hb.back_buffer_pixel(5, 5), black);
  EXPECT_EQ(hb.draws_since_present().size(), 1u);
}

TEST_F(HeadlessTest, BothFramesAreBlackUntilDrawnAndRasterisingCanComeBackLater) {
  EXPECT_EQ(hb.pixel(0, 0), black);
  EXPECT_EQ(hb.back_buffer_pixel(1023, 767), black);
  EXPECT_EQ(hb.pixel(1024, 0), 0u) << "off the frame";

  hb.set_rasterise(false);
  Graphics(1024, 768, 32, 60, 0);
  SetColor(0, 200, 0);
  DrawRect(0, 0, 10, 10);
  hb.clear(rgb(10, 20, 30));
  Flip(0);
  EXPECT_EQ(hb.pixel(5, 5), black);
  EXPECT_EQ(hb.back_buffer_pixel(5, 5), black);

  hb.set_rasterise(true);
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(hb.back_buffer_pixel(5, 5), rgb(0, 200, 0));
  EXPECT_EQ(hb.back_buffer_pixel(15, 5), black);
  EXPECT_EQ(hb.pixel(5, 5), black) << "not presented yet";
  Flip(0);
  EXPECT_EQ(hb.pixel(5, 5), rgb(0, 200, 0));
  EXPECT_EQ(hb.pixel(15, 5), black);

  hb.clear(rgb(10, 20, 30));
  EXPECT_EQ(hb.back_buffer_pixel(700, 700), rgb(10, 20, 30));
  EXPECT_EQ(hb.pixel(700, 700), black);

  // A display of another size starts black again.
  Graphics(640, 480, 32, 60, 0);
  EXPECT_EQ(hb.back_buffer_pixel(5, 5), black);
  EXPECT_EQ(hb.pixel(639, 479), black);
  EXPECT_EQ(hb.pixel(700, 10), 0u);
}

TEST_F(HeadlessTest, AFrameClearedToAColourBeforeAnyDrawIsThatColour) {
  hb.clear(rgb(10, 20, 30));
  hb.present(false);
  EXPECT_EQ(hb.pixel(0, 0), rgb(10, 20, 30));
  EXPECT_EQ(hb.pixel(1023, 767), rgb(10, 20, 30));
  ASSERT_TRUE(hb.save_png("cleared.png"));
  const RgbPicture shot = read_png_rgb("cleared.png");
  EXPECT_EQ(shot.width, 1024u);
  EXPECT_EQ(shot.height, 768u);
  ASSERT_GE(shot.pixels.size(), 3u);
  EXPECT_EQ((std::vector<std::uint8_t>{shot.pixels.end() - 3, shot.pixels.end()}),
            (std::vector<std::uint8_t>{10, 20, 30}));
}

TEST_F(HeadlessTest, AScreenshotOfNothingDrawnIsBlack) {
  ASSERT_TRUE(hb.save_png("black.png"));
  const RgbPicture shot = read_png_rgb("black.png");
  EXPECT_EQ(shot.width, 1024u);
  EXPECT_EQ(shot.height, 768u);
  EXPECT_EQ(std::count(shot.pixels.begin(), shot.pixels.end(), 0), 1024 * 768 * 3);
}

TEST_F(HeadlessTest, TheDrawLogCanBeSwitchedOffApartFromRasterising) {
  Graphics(1024, 768, 32, 60, 0);
  DrawRect(0, 0, 10, 10);
  Flip(0);
  DrawRect(0, 0, 10, 10);
  hb.set_draw_log(false);
  EXPECT_TRUE(hb.draws_of_last_frame().empty());
  EXPECT_TRUE(hb.draws_since_present().empty());

  SetColor(0, 200, 0);
  DrawRect(20, 20, 10, 10);
  EXPECT_TRUE(hb.draws_since_present().empty());
  EXPECT_EQ(hb.back_buffer_pixel(25, 25), rgb(0, 200, 0));
  Flip(0);
  EXPECT_TRUE(hb.draws_of_last_frame().empty());

  hb.set_draw_log(true);
  DrawRect(20, 20, 10, 10);
  EXPECT_EQ(hb.draws_since_present().size(), 1u);
}

TEST_F(HeadlessTest, ANewHeadlessBackEndHasNoFrameHookAndLogsDraws) {
  int calls = 0;
  hb.set_frame_hook([&](int) { ++calls; });
  hb.set_draw_log(false);
  HeadlessBackend& fresh = use_headless();
  Graphics(1024, 768, 32, 60, 0);
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(fresh.draws_since_present().size(), 1u);
}

TEST(Letterbox, TheBackBufferIsShownAsLargeAsFitsWithTheMouseMappedBack) {
  using detail::letterbox;
  auto same = [](detail::ShownArea a, detail::ShownArea b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
  };
  EXPECT_TRUE(same(letterbox(1024, 768, 1024, 768), {0, 0, 1024, 768}));
  EXPECT_TRUE(same(letterbox(1280, 1024, 1024, 768), {0, 32, 1280, 960}));
  EXPECT_TRUE(same(letterbox(1920, 1080, 1024, 768), {240, 0, 1440, 1080}));

  detail::ShownArea shown = letterbox(1280, 1024, 1024, 768);
  auto map = [&](int x, int y) {
    detail::window_to_back_buffer(shown, 1024, 768, x, y);
    return std::pair(x, y);
  };
  EXPECT_EQ(map(640, 512), std::pair(512, 384));
  EXPECT_EQ(map(0, 32), std::pair(0, 0));
  EXPECT_EQ(map(100, 5), std::pair(80, 0));  // the bar above the picture
  EXPECT_EQ(map(1279, 991), std::pair(1023, 767));
  EXPECT_EQ(map(1279, 1023), std::pair(1023, 767));
}
