// The hero's frame: controls, animation and drawing, throwing, speeds, jumping, the walls, the
// move, the camera, and falling out of the level.

#include <memory>

#include "level/records.h"
#include "media/image.h"
#include "media/input.h"
#include "media/sound.h"
#include "play/animation_frame.h"
#include "play/camera.h"
#include "play/hero_walls.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

constexpr int left_key = 37;
constexpr int up_key = 38;
constexpr int right_key = 39;
constexpr int space_key = 32;
constexpr int left_shift_key = 160;
constexpr int right_shift_key = 161;
constexpr int jump_button = 3;
constexpr int throw_button = 4;
constexpr int run_buttons[] = {7, 1};

enum Anim { standing = 1, walking_right = 2, rising = 3, falling = 4, walking_left = 5 };

// The controls as they stand in this frame. Only a stick pushed all the way counts as a direction.
struct Controls {
  bool left, right, jump, run;
};

Controls read_controls() {
  const float axis = media::JoyX(0);
  return {media::KeyDown(left_key) != 0 || axis == -1.0f,
          media::KeyDown(right_key) != 0 || axis == 1.0f,
          media::KeyDown(up_key) != 0 || media::JoyDown(jump_button) != 0,
          media::KeyDown(left_shift_key) != 0 || media::KeyDown(right_shift_key) != 0 ||
              media::JoyDown(run_buttons[0]) != 0 || media::JoyDown(run_buttons[1]) != 0};
}

// Any number of presses since the last frame throw one stone. The stick's button is asked only
// when the key was not pressed, so its press is kept for the next frame.
bool throw_pressed() {
  return media::KeyHit(space_key) > 0 || media::JoyHit(throw_button) > 0;
}

// How many pictures each animation has.
int frames_of(int anim) {
  switch (anim) {
    case standing:
      return 2;
    case walking_right:
    case walking_left:
      return 4;
    default:
      return 1;
  }
}

void enter(TPlayer& p, int anim) {
  p._anim = anim;
  p._anim_frame = 0.0f;
  p._anim_last_frame = frames_of(anim);
}

struct Pose {
  media::Image image;
  float drop;  // how far below the hero's top the picture starts
};

Pose pose_of(const TPlayer& p) {
  const MediaCatalogue& c = catalogue();
  const bool right = p._dir == 1;
  switch (p._anim) {
    case standing:
      return {animation_frame(right ? c.hero_stay_right_images : c.hero_stay_left_images,
                              p._anim_frame),
              2.0f};
    case walking_right:
      return {animation_frame(c.hero_move_right_images, p._anim_frame), 4.0f};
    case walking_left:
      return {animation_frame(c.hero_move_left_images, p._anim_frame), 4.0f};
    case rising:
      return {right ? c.hero_jump_right_image : c.hero_jump_left_image, 0.0f};
    case falling:
      return {right ? c.hero_fall_right_image : c.hero_fall_left_image, 0.0f};
    default:
      return {nullptr, 0.0f};
  }
}

void draw_hero(const TGame& game, const TPlayer& p) {
  const Pose pose = pose_of(p);
  media::DrawImage(pose.image, p._x - game._cam_x, p._y + pose.drop - game._cam_y);
}

// The stone leaves from beside the hero's middle on the side he faces, 20 pixels below his top.
void throw_stone(TGame& game, const TPlayer& p) {
  auto stone = std::make_shared<TStone>();
  stone->_dir = p._dir == 1 ? 1 : -1;
  media::PlaySound(catalogue().throw_sound);
  stone->_x = p._x + 32.0f + 10.0f * static_cast<float>(stone->_dir);
  stone->_y = p._y + 20.0f;
  stone->_rotation = 0.0f;
  game._object_list->add_last(stone);
}

// Which animation the controls and the speeds ask for, and which way he faces.
void choose_animation(TPlayer& p, const Controls& in) {
  if (in.right && p._jump == 0 && p._anim != walking_right) enter(p, walking_right);
  if (in.left && p._jump == 0 && p._anim != walking_left) enter(p, walking_left);
  if (in.left) p._dir = 0;
  if (in.right) p._dir = 1;
  // Entered afresh in every frame of a rise or a fall.
  if (p._jump == 1 && p._move_y < 0.0f) enter(p, rising);
  if (p._move_y > 0.0f) enter(p, falling);
}

void advance_animation(TPlayer& p) {
  p._anim_frame += 0.1f * p._run;
  if (!(p._anim_frame < static_cast<float>(p._anim_last_frame))) p._anim_frame = 0.0f;
}

// The limit is tested before the step, so a speed may end one step past it and stay there.
void accelerate(TPlayer& p, const Controls& in) {
  if (in.left && p._move_x > -p._max_move_speed * p._run) p._move_x -= 2.0f * p._run;
  if (in.right && p._move_x < p._max_move_speed * p._run) p._move_x += 2.0f * p._run;
  // Back from running speed to walking speed, one per frame, even with the key still held.
  if (p._run == 1.0f) {
    if (p._move_x > 4.0f) p._move_x -= 1.0f;
    if (p._move_x < -4.0f) p._move_x += 1.0f;
  }
  if (!in.left && !in.right) {
    if (p._move_x > 0.0f) p._move_x -= 1.0f;
    if (p._move_x < 0.0f) p._move_x += 1.0f;
    if (p._move_x > -1.0f && p._move_x < 1.0f) p._move_x = 0.0f;
  }
}

// Gravity comes first, so a hero on the ground (or in his first frame off a ledge) has 0.25 here.
void fall_or_jump(TGame& game, TPlayer& p, const Controls& in) {
  if (p._move_y < p._max_fall_speed) p._move_y += 0.25f;
  if (in.jump && p._jump == 0 && p._move_y <= 0.25f && game.check_up() == 0) {
    p._move_y = -11.25f;
    p._jump = 1;
    media::PlaySound(catalogue().sounds[1]);
  }
}

}  // namespace

int TGame::update_player() {
  const std::shared_ptr<TPlayer> hero = _player;
  TPlayer& p = *hero;
  const Controls in = read_controls();

  // The jump flag is still the one left by the last frame.
  p._run = in.run && p._jump == 0 ? 1.5f : 1.0f;
  if (p._move_x == 0.0f && p._anim != standing) enter(p, standing);
  if (throw_pressed()) throw_stone(*this, p);
  choose_animation(p, in);
  draw_hero(*this, p);  // where he stood at the end of the last frame
  advance_animation(p);
  accelerate(p, in);
  fall_or_jump(*this, p, in);
  collide_with_walls(p, wall_grid());
  p._y += p._move_y;
  p._x += p._move_x;
  follow_hero(*this);
  if (p._y > _max_cam_y + 100.0f) player_death();
  return 0;
}
