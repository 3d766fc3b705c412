#pragma once
// One level of the game, started the way the game starts and played frame by frame with keys
// pressed by a program instead of a player, on the headless back end with neither pixels nor a
// draw log. The working directory must be the game folder (or a play folder made from it).
//
// The start: the game's own start-up (pictures and sounds, the display, the random seed from the
// clock, the font, the frame timer, the game manager), then a game on the level with three lives
// in English, built by initialize_level; the tutorial before level 1 is answered with Enter.
// Loading every picture and sound takes far longer than playing a level, so one start-up serves
// any number of sessions: each goes back to the moment just after it (the media layer's clock,
// random generator and input, the frame timer, and a new game manager), which is where a fresh
// start would have left it.
// Each frame then runs as the main loop runs it (the game's update, WaitTimer, Flip, Cls), the
// keys that change between frames going down or up just before it.
//
// How a frame ends play: a screen shown inside the frame is the level-complete screen when the
// hero touches an exit (it is answered with Enter, and its next screen shows the level has
// moved on), otherwise the death screen. Play stops there: the next level is never built, and
// the game is left in the middle of that frame.

#include <memory>

#include "level/records.h"
#include "media/display.h"
#include "media/headless.h"
#include "route.h"

namespace routes {

// The hero as traces and reports show him.
struct HeroState {
  float x = 0, y = 0, move_x = 0, move_y = 0;
  int anim = 0;
};
HeroState hero_state(const TPlayer& hero);
// "x 640.00 y 320.00 move_x 4.00 move_y 0.25 anim 2"
std::string describe(const HeroState& hero);

enum class Outcome { playing, reached_exit, died, left_play };

class GameStart {
 public:
  GameStart();  // the game's start-up, on a fresh headless media layer
  // Back to the moment just after the start-up, with a new game manager.
  void begin_again();
  media::HeadlessBackend& backend() const { return hb_; }

 private:
  media::HeadlessBackend& hb_;
  std::shared_ptr<const media::HeadlessMoment> moment_;
  media::TTimer timer_;
};

class LevelSession {
 public:
  // Throws media::FatalError when the level file is missing or too short.
  LevelSession(GameStart& start, int level);
  ~LevelSession();
  LevelSession(const LevelSession&) = delete;
  LevelSession& operator=(const LevelSession&) = delete;

  // One frame with `keys` held in it.
  Outcome frame(KeySet keys);
  // Play frames so far.
  int frames_played() const { return frames_; }
  const TGame& game() const { return *game_; }
  // The hero now, or where he was when the frame that ended play showed its screen.
  HeroState hero() const;

  // Everything play reads or changes from one frame to the next: the hero, the objects in their
  // order, the camera, the score, lives and level, the walls (shared: play never changes them),
  // the media layer's moment (clock, random generator, input) and the frame timer, and the keys
  // held. restore() puts the session back there, so that several futures can be played from it.
  struct Snapshot;
  std::shared_ptr<const Snapshot> snapshot() const;
  void restore(const Snapshot& snapshot);

 private:
  void press(KeySet keys);
  void on_present();
  void answer_screen();
  bool hero_touches_exit() const;

  media::HeadlessBackend& hb_;
  TGame* game_ = nullptr;
  int level_;
  KeySet held_;
  int frames_ = 0;
  bool answering_ = false;  // building the level: its tutorial is answered
  bool in_update_ = false;
  int screen_frames_ = 0;  // frames shown by a screen inside the frame being played
  bool stopped_ = false;
  HeroState stopped_at_;
};

}  // namespace routes
