#pragma once
// The record of the game in progress and the records a level is made of. World positions are
// pixels as 32-bit floats, x to the right and y downwards; cell (c, r) of a level has its
// top-left corner at (64 c, 64 r). Fields are read and written directly by the menu, the level
// and play code; every record's constructor sets its defaults.

#include <array>
#include <memory>
#include <string>

#include "level/object_list.h"
#include "level/wall_grid.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/text.h"

constexpr int level_columns = 200;
constexpr int level_rows = 200;
constexpr int cell_size = 64;

// The hero.
class TPlayer : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::player;
  TPlayer() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  float _move_x = 0.0f;
  float _move_y = 0.0f;
  float _run = 1.0f;
  int _anim = 0;  // 1 standing, 2 walking right, 3 rising, 4 falling, 5 walking left
  float _anim_frame = 0.0f;
  int _anim_last_frame = 0;
  int _dir = 1;  // 1 right, 0 left
  int _jump = 0;
  float _max_move_speed = 4.0f;
  float _max_fall_speed = 16.0f;
};

// A solid 64 x 64 block of ground.
class TWall : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::wall;
  TWall() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  int _size_x = 0;
  int _size_y = 0;
  media::Image _image;
};

class TCloud : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::cloud;
  TCloud() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  float _move_x = 0.0f;
  media::Image _image;
};

// A plant that shoots to the left.
class TFlower : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::flower;
  TFlower();  // remembers the clock as the time of its last shot

  float _x = 0.0f;
  float _y = 0.0f;
  float _frame = 0.0f;
  float _timer = 0.0f;
};

class TBullet : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::bullet;
  TBullet() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  int _dir = 0;
  float _speed = 0.0f;
};

// A coin.
class TBonus : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::bonus;
  TBonus() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  int _score = 0;
  int _image = 0;
  float _frame = 0.0f;
  float _last_frame = 0.0f;
};

// A picture that only decorates: tree, flowers, grass, stone, signpost.
class TObj : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::obj;
  TObj() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  media::Image _image;
};

// An invisible 64 x 64 trigger: 1 death zone, 2 level exit.
class TScript : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::script;
  TScript() : TObject(object_kind) {}

  int get_value() const { return _type; }

  float _x = 0.0f;
  float _y = 0.0f;
  int _type = 0;
};

class THedgehog : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::hedgehog;
  THedgehog() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  float _move_x = 0.0f;  // 1 walking right, 0 walking left
  float _speed = 0.0f;
  float _frame = 0.0f;
};

// A stone thrown by the hero; its position is its centre.
class TStone : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::stone;
  TStone() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  float _rotation = 0.0f;
  float _life = 0.0f;
  int _dir = 0;
};

class TSaw : public TObject {
 public:
  static constexpr ObjectKind object_kind = ObjectKind::saw;
  TSaw() : TObject(object_kind) {}

  float _x = 0.0f;
  float _y = 0.0f;
  int _size = 0;  // 0 large, 1 small
  float _rotation = 0.0f;
};

// The game in progress: one for the whole run, reused by every game started from the menu.
class TGame {
 public:
  TGame();  // loads the two fonts and makes the idle music channel

  int update();
  int update_objects();
  int update_player();
  int update_map();
  int initialize_level(int level);
  int check_up();
  int level_complete();
  int player_death();
  int play_sound();
  int show_story();
  int show_map(int level);

  // Visits the objects of kind T in `_object_list` (or `_wall_list`) in list order. A level
  // rebuilt during the walk ends it: the discarded level's objects are not visited any more,
  // though the list and the object being visited stay alive until the walk is over. `visit` may
  // return false to end the walk itself.
  template <class T, class Visit>
  void each_object(Visit&& visit) {
    walk<T>(&TGame::_object_list, visit);
  }
  template <class Visit>
  void each_wall(Visit&& visit) {
    walk<TWall>(&TGame::_wall_list, visit);
  }
  // Where the walls of `_wall_list` stand, brought up to date with the list.
  WallGrid& wall_grid();

  std::string _lang;
  std::shared_ptr<TPlayer> _player;
  std::array<std::array<int, level_rows>, level_columns> _map{};  // [column][row]
  int _level = 0;
  int _monets = 0;
  int _lives = 0;
  int _score = 0;
  int _score_this_level = 0;
  int _record = 0;
  int _last_level = 0;
  media::Channel _channel;
  media::Font _font_1;
  media::Font _font_2;
  float _cam_x = 0.0f;
  float _cam_y = 0.0f;
  float _max_cam_y = 0.0f;
  float _max_y = 0.0f;
  std::shared_ptr<TList> _object_list;
  std::shared_ptr<TList> _wall_list;

 private:
  WallGrid _wall_grid;  // made from `_wall_list` when first asked about it

  template <class T, class Visit>
  void walk(std::shared_ptr<TList> TGame::*which, Visit& visit) {
    std::shared_ptr<TList> list = this->*which;  // alive until this walk is over
    if (!list) return;
    list->each<T>([&](T& object) {
      if constexpr (std::is_same_v<decltype(visit(object)), bool>) {
        if (!visit(object)) return false;
      } else {
        visit(object);
      }
      return this->*which == list;
    });
  }
};
