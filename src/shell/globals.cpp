#include "shell/globals.h"

#include "shell/game_manager.h"

Globals::Globals() = default;
Globals::~Globals() = default;

namespace {

std::unique_ptr<Globals>& instance() {
  static std::unique_ptr<Globals> g = std::make_unique<Globals>();
  return g;
}

}  // namespace

Globals& globals() {
  return *instance();
}

void reset_globals() {
  instance() = std::make_unique<Globals>();
}
