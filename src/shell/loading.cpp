#include "shell/loading.h"

#include <cstdio>

#include "shell/globals.h"

namespace shell {
namespace {

// The menu and the catalogue both load the backdrop: its absence is told once.
void report_missing(const std::string& path) {
  if (!globals().reported_missing.insert(path).second) return;
  std::fprintf(stderr, "Hedgerow: cannot load %s; the game goes on without it\n", path.c_str());
}

}  // namespace

media::Image load_picture(const std::string& path) {
  media::Image picture = media::LoadImage(path, -1);
  if (!picture) report_missing(path);
  return picture;
}

media::Sound load_sound(const std::string& path, int flags) {
  media::Sound sound = media::LoadSound(path, flags);
  if (!sound) report_missing(path);
  return sound;
}

}  // namespace shell
