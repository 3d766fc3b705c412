#include "replay_run.h"

#include <algorithm>
#include <chrono>

#include "media/headless.h"
#include "media/media.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"
#include "state_hash.h"

namespace replays {

namespace {

// Thrown from the frame hook when the replay has nothing left and its last frame has passed: play
// that needs no input would otherwise go on for ever.
struct ReplayOver {};

int last_frame(const Replay& replay) {
  int last = 0;
  if (!replay.taken.empty()) last = replay.taken.back().at.frame;
  if (!replay.clocks.empty()) last = std::max(last, replay.clocks.back().frame);
  return last;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::string ReplayResult::text() const {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

ReplayResult play_replay(const Replay& replay) {
  const auto start = std::chrono::steady_clock::now();
  media::HeadlessBackend& hb = media::use_headless();
  hb.set_rasterise(false);
  hb.set_draw_log(false);
  reset_globals();
  ReplayFeed feed(replay);
  media::set_feed(&feed);
  ReplayResult result;
  LevelWatch watch;
  const int last = last_frame(replay);
  hb.set_frame_hook([&](int frames) {
    if (frames > last + 1 && !feed.more_to_come()) throw ReplayOver{};
    if (!globals().manager) return;
    if (result.start_seconds == 0) result.start_seconds = seconds_since(start);
    if (auto line = watch.look(*globals().manager->_game, frames)) result.lines.push_back(*line);
  });
  std::string how;
  try {
    shell::run();
  } catch (const media::ProgramEnded& ended) {
    how = "status " + std::to_string(ended.status);
  } catch (const media::InputStarved&) {
    how = "the replay ran out";
  } catch (const ReplayOver&) {
    how = "the replay ran out";
  }
  hb.set_frame_hook({});
  media::set_feed(nullptr);
  result.frames = hb.frames_presented();
  if (globals().manager) {
    result.lines.push_back(LevelWatch::end_line(*globals().manager->_game, result.frames, how));
  } else {
    result.lines.push_back("end frame " + std::to_string(result.frames) + " before the game " +
                           how);
  }
  result.strays = feed.strays();
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

}  // namespace replays
