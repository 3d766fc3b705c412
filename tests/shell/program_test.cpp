#include "shell/program.h"

#include "media/system.h"
#include "support/headless_test.h"

using namespace media;

namespace {

class Program : public HeadlessTest {
 protected:
  void SetUp() override {
    hb.set_clock(1234);
    shell::start_up();
  }
};

int draw_a_square() {
  DrawRect(10, 10, 4, 4);
  return 1;
}

}  // namespace

TEST_F(Program, StartUpOpensTheDisplaySeedsAndSetsUpPacing) {
  EXPECT_TRUE(hb.display_open());
  EXPECT_GE(hb.frames_presented(), 2);  // both buffers cleared before anything is shown
  EXPECT_EQ(draw_state().blend_mode, 3);
  ASSERT_TRUE(shell::frame_timer());
  EXPECT_EQ(shell::frame_timer()->period_ms, 16);

  // Seeded from the clock as it read right after the display opened.
  int drawn[5];
  for (int& d : drawn) d = Rand(0, 1000000);
  SeedRnd(1234);
  for (int d : drawn) EXPECT_EQ(d, Rand(0, 1000000));
}

TEST_F(Program, AFrameIsDrawnHeldForTheTickShownThenCleared) {
  std::int32_t before = MilliSecs();
  int presented = hb.frames_presented();
  shell::run_frame(draw_a_square);
  EXPECT_EQ(hb.frames_presented(), presented + 1);
  ASSERT_EQ(hb.draws_of_last_frame().size(), 1u);
  EXPECT_EQ(hb.pixel(11, 11), 0xFFFFFFFFu);
  EXPECT_EQ(hb.back_buffer_pixel(11, 11), 0xFF000000u);
  // Held for the timer's tick, then shown on the following vertical blank.
  EXPECT_EQ(before, 1234);
  EXPECT_EQ(MilliSecs(), 1266);
}

TEST_F(Program, AnUpdateOfZeroEndsBeforeItsFrameIsShown) {
  int presented = hb.frames_presented();
  EXPECT_EQ(test_support::program_end_status([] { shell::run_frame([] { return 0; }); }), 0)
      << "the frame ran on";
  EXPECT_EQ(hb.frames_presented(), presented);
}

TEST_F(Program, ACloseRequestWhileWaitingForTheTickEndsTheProgram) {
  hb.inject_at_time(1240, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([] { shell::run_frame(draw_a_square); }), 0)
      << "the close request was swallowed";
}

TEST_F(HeadlessTest, TheGameRunsFramesUntilItsWindowIsClosed) {
  hb.inject_at_frame(12, {InputEvent::Type::close_requested});
  EXPECT_EQ(test_support::program_end_status([] { shell::run(); }), 0);
  EXPECT_EQ(hb.frames_presented(), 12);
  EXPECT_EQ(hb.pending_events(), 0u);
}
