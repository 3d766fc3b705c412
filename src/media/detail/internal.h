#pragma once
// Shared between the modules of the media layer only; the game never includes this.

#include <memory>

#include "media/backend.h"

namespace media::detail {

std::unique_ptr<Backend> make_sdl_backend();

// Each module puts its state back to the start of a run. Called when a back end is selected.
void reset_system_state();
void reset_files_state();
void reset_display_state();
void reset_image_state();
void reset_text_state();
void reset_input_state();
void reset_sound_state();

// Forgets held keys and buttons and their counted presses: a new display starts with none.
void flush_input();

// While the window is away. The frame loop holds in WaitTimer then, the clock the game reads
// (MilliSecs) stands still, and every voice stands where it is.
bool window_away();
// The clock the game reads stops at its present reading; restarted, it goes on from there, the
// time in between left out for good.
void stop_game_clock();
void restart_game_clock();
// Held: every voice, playing or paused, stands where it is, and sounds started meanwhile wait
// with them; let go, the playing ones go on from there.
void hold_sound(bool held);

// Exit handlers, run by End and by fatal errors on the real back end.
void shutdown_sound();

}  // namespace media::detail
