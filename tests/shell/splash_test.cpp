// The splash sequence on the virtual clock, with both, one or no splash pictures, and the
// start-up font.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "media/detail/text_internal.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/system.h"
#include "shell/splash.h"
#include "support/headless_test.h"
#include "support/picture_writer.h"

namespace {

constexpr int frames_per_fade = 101;
constexpr double frame_ms = 1000.0 / 60.0;

struct SplashRun {
  std::int32_t elapsed_ms;
  int frames;
};

class SplashTest : public HeadlessTest {
 protected:
  void SetUp() override {
    media::Graphics(1024, 768, 32, 60, 0);
    media::SetBlend(3);
    hb.set_rasterise(false);  // full-screen pictures for 400 frames: the draw log says enough
    timer = media::CreateTimer(60);
  }

  void write_splash(const std::string& name, int width, int height) {
    scratch.write("fsdata/" + name,
                  test_support::encode_jpeg(
                      width, height, 3, test_support::solid_pixels(width, height, {200, 120, 40})));
  }

  SplashRun run_sequence() {
    const std::int32_t start = media::MilliSecs();
    const int frames = hb.frames_presented();
    shell::run_splash_sequence(timer);
    return {media::MilliSecs() - start, hb.frames_presented() - frames};
  }

  // Frames are paced by the 60 Hz vertical blank. Where a fade starts within a blank interval
  // depends on the pause before it, so each fade may gain or lose up to one frame.
  static void expect_duration(const SplashRun& run, int pauses_ms, int fades) {
    const double expected = pauses_ms + fades * frames_per_fade * frame_ms;
    EXPECT_NEAR(run.elapsed_ms, expected, fades * frame_ms + 1.0);
  }

  static void expect_state_left_for_the_menu() {
    EXPECT_FLOAT_EQ(media::draw_state().tform_scale_x, 1.0f);
    EXPECT_FLOAT_EQ(media::draw_state().tform_scale_y, 1.0f);
    EXPECT_FLOAT_EQ(media::draw_state().color_alpha, 1.0f);
  }

  media::Timer timer;
};

TEST_F(SplashTest, BothSplashesFadeInHoldAndFadeOut) {
  write_splash("splash2.jpg", 1024, 768);
  write_splash("splash1.jpg", 1024, 768);
  const SplashRun run = run_sequence();

  EXPECT_EQ(run.frames, 4 * frames_per_fade);
  expect_duration(run, 1000 + 2000 + 2000, 4);

  // The last frame drew the picture all but invisible: the menu starts from a black screen.
  const auto& last = hb.draws_of_last_frame();
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].argb >> 24, 0u);
  expect_state_left_for_the_menu();
}

TEST_F(SplashTest, SecondSplashAloneStartsWithoutThePause) {
  // A damaged first splash counts as absent, pause included.
  scratch.write("fsdata/splash2.jpg", std::string("\xFF\xD8\xFF\xE0 cut short", 14));
  write_splash("splash1.jpg", 640, 480);
  const SplashRun run = run_sequence();
  EXPECT_EQ(run.frames, 2 * frames_per_fade);
  expect_duration(run, 2000, 2);
}

TEST_F(SplashTest, SplashIsStretchedOverTheWholeScreen) {
  write_splash("splash2.jpg", 800, 600);
  const SplashRun run = run_sequence();
  EXPECT_EQ(run.frames, 2 * frames_per_fade);
  expect_duration(run, 1000 + 2000, 2);

  const auto& last = hb.draws_of_last_frame();
  ASSERT_EQ(last.size(), 1u);
  float right = 0, bottom = 0;
  for (const media::Vertex& v : last[0].vertices) {
    EXPECT_TRUE(v.x == 0 || v.x == 1024) << v.x;
    EXPECT_TRUE(v.y == 0 || v.y == 768) << v.y;
    right = std::max(right, v.x);
    bottom = std::max(bottom, v.y);
  }
  EXPECT_EQ(right, 1024);
  EXPECT_EQ(bottom, 768);
}

TEST_F(SplashTest, UnreadableSplashesAreSkippedWithTheirPauses) {
  scratch.write("fsdata/splash2.jpg", std::string("not a picture at all"));
  std::filesystem::create_directories(scratch.path() / "fsdata" / "splash1.jpg");
  const SplashRun run = run_sequence();
  EXPECT_EQ(run.frames, 0);
  EXPECT_EQ(run.elapsed_ms, 0);
}

TEST_F(SplashTest, WithoutSplashesTheMenuStillGetsScaleAlphaAndWhiteMask) {
  media::SetScale(3, 3);
  media::SetAlpha(0.5f);
  const SplashRun run = run_sequence();
  EXPECT_EQ(run.frames, 0);
  EXPECT_EQ(run.elapsed_ms, 0);
  expect_state_left_for_the_menu();

  // The next masked picture loses its pure white, and only that.
  scratch.write("probe.png", test_support::encode_png(3, 1, 3, {255, 255, 255, 1, 2, 3, 0, 0, 0}));
  media::Image probe = media::LoadImage("probe.png", media::image_masked);
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->pixmaps[0].rgba(0, 0).a, 0);
  EXPECT_EQ(probe->pixmaps[0].rgba(1, 0).a, 255);
  EXPECT_EQ(probe->pixmaps[0].rgba(2, 0).a, 255);
}

TEST_F(SplashTest, StartupFontIsTheGameFontOrElseTheBuiltinOne) {
  shell::load_startup_font();
  EXPECT_FALSE(media::draw_state().image_font);

  std::ifstream in(std::string(HEDGEROW_SOURCE_DIR) + "/assets/fonts/arial.ttf", std::ios::binary);
  scratch.write("fonts/arial.ttf", std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                                              std::istreambuf_iterator<char>()));
  shell::load_startup_font();
  const media::Font& font = media::draw_state().image_font;
  ASSERT_TRUE(font);
  EXPECT_EQ(media::detail::font_metrics(*font).size, 18);
  EXPECT_EQ(font->_imageFlags, media::image_filtered | media::image_mipmapped);
}

}  // namespace
