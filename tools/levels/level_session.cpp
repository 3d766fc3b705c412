#include "level_session.h"

#include <cstdio>
#include <stdexcept>

#include "level/box.h"
#include "media/display.h"
#include "media/media.h"
#include "media/system.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"

namespace routes {

namespace {

constexpr int enter_key = 13;
constexpr int lives_at_start = 3;

// Thrown from the frame hook to end a frame that showed a screen.
struct ScreenVerdict {
  Outcome outcome;
};

media::InputEvent key_event(media::InputEvent::Type type, int code) {
  media::InputEvent event;
  event.type = type;
  event.code = code;
  return event;
}

template <class T>
std::shared_ptr<TObject> copy_as(const TObject& object) {
  return std::make_shared<T>(static_cast<const T&>(object));
}

std::shared_ptr<TObject> copy_of(const TObject& object) {
  switch (object.kind()) {
    case ObjectKind::player:
      return copy_as<TPlayer>(object);
    case ObjectKind::wall:
      return copy_as<TWall>(object);
    case ObjectKind::cloud:
      return copy_as<TCloud>(object);
    case ObjectKind::flower:
      return copy_as<TFlower>(object);
    case ObjectKind::bullet:
      return copy_as<TBullet>(object);
    case ObjectKind::bonus:
      return copy_as<TBonus>(object);
    case ObjectKind::obj:
      return copy_as<TObj>(object);
    case ObjectKind::script:
      return copy_as<TScript>(object);
    case ObjectKind::hedgehog:
      return copy_as<THedgehog>(object);
    case ObjectKind::stone:
      return copy_as<TStone>(object);
    case ObjectKind::saw:
      return copy_as<TSaw>(object);
  }
  throw std::logic_error("an object of no known kind");
}

// Every record copied, in list order.
std::shared_ptr<TList> copy_of(const TList& list) {
  auto copy = std::make_shared<TList>();
  list.each_object([&](const TObject& object) { copy->add_last(copy_of(object)); });
  return copy;
}

}  // namespace

HeroState hero_state(const TPlayer& hero) {
  return {hero._x, hero._y, hero._move_x, hero._move_y, hero._anim};
}

std::string describe(const HeroState& h) {
  char text[160];
  std::snprintf(text, sizeof text, "x %.2f y %.2f move_x %.2f move_y %.2f anim %d",
                static_cast<double>(h.x), static_cast<double>(h.y), static_cast<double>(h.move_x),
                static_cast<double>(h.move_y), h.anim);
  return text;
}

struct LevelSession::Snapshot {
  std::shared_ptr<const media::HeadlessMoment> moment;
  media::TTimer timer;
  std::shared_ptr<const TPlayer> hero;
  std::shared_ptr<const TList> objects;
  std::shared_ptr<TList> walls;
  float cam_x, cam_y;
  int score, score_this_level, lives, level;
  KeySet held;
  int frames;
};

GameStart::GameStart() : hb_(media::use_headless()) {
  hb_.set_rasterise(false);
  hb_.set_draw_log(false);
  reset_globals();
  shell::start_up();
  moment_ = hb_.moment();
  timer_ = *globals().frame_timer;
}

// The draw state is as start-up left it: play and the screens put back what they change, and a
// session that stops in the middle of a screen puts back what that screen had changed.
void GameStart::begin_again() {
  hb_.return_to(*moment_);
  *globals().frame_timer = timer_;
  globals().manager = std::make_unique<TGameManager>();
  globals().manager->load_data();
}

LevelSession::LevelSession(GameStart& start, int level) : hb_(start.backend()), level_(level) {
  start.begin_again();
  game_ = globals().manager->_game.get();
  game_->_lives = lives_at_start;
  game_->_lang = "ENG";
  hb_.set_frame_hook([this](int) { on_present(); });
  answering_ = true;
  try {
    game_->initialize_level(level);
  } catch (...) {
    hb_.set_frame_hook({});  // it would outlive the session
    throw;
  }
  answering_ = false;
}

LevelSession::~LevelSession() {
  hb_.set_frame_hook({});
}

Outcome LevelSession::frame(KeySet keys) {
  if (stopped_) throw std::logic_error("play has stopped: restore a snapshot first");
  press(keys);
  screen_frames_ = 0;
  bool left = false;
  Outcome outcome = Outcome::playing;
  try {
    shell::run_frame([&] {
      in_update_ = true;
      left = game_->update() == 2;
      in_update_ = false;
      return 1;
    });
  } catch (const ScreenVerdict& verdict) {
    in_update_ = false;
    outcome = verdict.outcome;
    // The screen was left in the middle of its fade.
    media::SetAlpha(1.0f);
    media::SetColor(255, 255, 255);
  }
  ++frames_;
  // A death screen answered before it was known for one (the hero on an exit): the level has
  // been built again.
  if (outcome == Outcome::playing && game_->_lives < lives_at_start) outcome = Outcome::died;
  if (outcome == Outcome::playing && left) outcome = Outcome::left_play;
  if (outcome != Outcome::playing) stopped_ = true;
  if (stopped_ && screen_frames_ == 0) stopped_at_ = hero_state(*game_->_player);
  return outcome;
}

HeroState LevelSession::hero() const {
  return stopped_ ? stopped_at_ : hero_state(*game_->_player);
}

// Keys change just before the frame: the game reads them at its first look at the input.
void LevelSession::press(KeySet keys) {
  for (Key k : all_keys) {
    if (keys.has(k) == held_.has(k)) continue;
    const auto type =
        keys.has(k) ? media::InputEvent::Type::key_down : media::InputEvent::Type::key_up;
    hb_.inject_at_time(media::MilliSecs(), key_event(type, key_code(k)));
  }
  held_ = keys;
}

void LevelSession::on_present() {
  if (!in_update_) {
    if (answering_) answer_screen();
    return;
  }
  if (game_->_level != level_) throw ScreenVerdict{Outcome::reached_exit};
  if (game_->_lives < lives_at_start) throw ScreenVerdict{Outcome::died};
  if (screen_frames_++ == 0) {
    stopped_at_ = hero_state(*game_->_player);
    if (!hero_touches_exit()) throw ScreenVerdict{Outcome::died};
  }
  answer_screen();
}

// Enter, just after this frame of the screen: a screen waits for a key only after its fade, and
// forgets the keys pressed before it waits, so the one after its last frame is the one it takes.
void LevelSession::answer_screen() {
  const std::int32_t now = media::MilliSecs();
  hb_.inject_at_time(now + 1, key_event(media::InputEvent::Type::key_down, enter_key));
  hb_.inject_at_time(now + 2, key_event(media::InputEvent::Type::key_up, enter_key));
}

// The exits test the hero's whole 64 x 64 frame, where the objects' pass saw him.
bool LevelSession::hero_touches_exit() const {
  const TPlayer& h = *game_->_player;
  const Box hero = box(h._x, h._y, 64, 64);
  bool touches = false;
  game_->each_object<TScript>([&](TScript& s) {
    touches = s._type == 2 && overlap(hero, box(s._x, s._y, 64, 64));
    return !touches;
  });
  return touches;
}

std::shared_ptr<const LevelSession::Snapshot> LevelSession::snapshot() const {
  const TGame& g = *game_;
  return std::make_shared<const Snapshot>(
      Snapshot{hb_.moment(), *globals().frame_timer, std::make_shared<const TPlayer>(*g._player),
               copy_of(*g._object_list), g._wall_list, g._cam_x, g._cam_y, g._score,
               g._score_this_level, g._lives, g._level, held_, frames_});
}

void LevelSession::restore(const Snapshot& s) {
  TGame& g = *game_;
  hb_.return_to(*s.moment);
  *globals().frame_timer = s.timer;
  g._player = std::make_shared<TPlayer>(*s.hero);
  g._object_list = copy_of(*s.objects);
  g._wall_list = s.walls;
  g._cam_x = s.cam_x;
  g._cam_y = s.cam_y;
  g._score = s.score;
  g._score_this_level = s.score_this_level;
  g._lives = s.lives;
  g._level = s.level;
  held_ = s.held;
  frames_ = s.frames;
  stopped_ = false;
}

}  // namespace routes
