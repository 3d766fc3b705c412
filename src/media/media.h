#pragma once
// Choosing the back end. The game binary calls use_sdl() first thing; tests and tools call
// use_headless(), which also puts every module of the media layer back to its start-of-run state.

namespace media {

class HeadlessBackend;

void use_sdl();
HeadlessBackend& use_headless();

}  // namespace media
