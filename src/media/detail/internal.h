#pragma once
// Shared between the modules of the media layer only; the game never includes this.

#include <cstdint>
#include <memory>
#include <string>

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

// The random generator's state, and the keyboard, mouse and controller state: the parts of a
// moment that the headless back end takes and puts back for a search (HeadlessBackend::moment).
std::int32_t random_state();
void set_random_state(std::int32_t state);
struct InputState;
std::shared_ptr<const InputState> save_input_state();
void restore_input_state(const InputState& state);

// The folder enter_program_folder makes the working directory, for an executable in `exe_folder`.
std::string program_folder(const std::string& exe_folder, const std::string& installed_data);

// Exit handlers, run by End and by fatal errors on the real back end.
void shutdown_sound();

}  // namespace media::detail
