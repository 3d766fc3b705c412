#include "media/files.h"
#include "media/media.h"
#include "shell/program.h"

int main() {
  media::use_sdl();
  media::enter_program_folder(HEDGEROW_DATA_FROM_BIN);
  shell::run();
}
