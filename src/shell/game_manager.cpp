#include "shell/game_manager.h"

#include <string>

#include "media/files.h"
#include "media/sound.h"

namespace {

constexpr int menu_screen = 0;
constexpr int play_screen = 1;
constexpr int leave_screen = 2;

const std::string save_file = "data\\save.dat";
constexpr int save_file_bytes = 8;  // the record and the last level, 4 bytes each

}  // namespace

// Both start in English whatever the last run chose: the choice is not kept.
TGameManager::TGameManager() : _menu(std::make_unique<TMenu>()), _game(std::make_unique<TGame>()) {
  _game->_lang = "ENG";
  _menu->_lang = "ENG";
}

int TGameManager::update() {
  if (_state == menu_screen) {
    if (_menu->update() == leave_screen) start_game();
  } else if (_state == play_screen) {
    if (_game->update() == leave_screen) {
      media::PauseChannel(_game->_channel);
      _state = menu_screen;
    }
  }
  return 1;
}

// The score carries over from earlier games of the run; the story and the tutorial show again.
// Paused music reports not playing, so a new game starts it again from its beginning.
void TGameManager::start_game() {
  _game->_lives = 3;
  if (media::ChannelPlaying(_game->_channel) == 0) {
    _game->play_sound();
  } else {
    media::ResumeChannel(_game->_channel);
  }
  _game->_lang = _menu->_lang;
  _game->initialize_level(0);
  _state = play_screen;
}

// Opened for reading only: an installed game's files are not the player's to write, and the game
// never writes this one. Both values or neither: a file too short to hold the two counts as
// empty, and nothing is read past its end.
int TGameManager::load_data() {
  const media::Stream file = media::OpenFile(save_file, 1, 0);
  if (!file) return 0;
  if (media::FileSize(save_file) >= save_file_bytes) {
    _game->_record = media::ReadInt(file);
    _game->_last_level = media::ReadInt(file);
  }
  media::Close(file);
  return 0;
}
